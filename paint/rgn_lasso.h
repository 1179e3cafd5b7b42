#pragma once
// The lasso panel: a free-hand outline drawn on the canvas becomes a
// floating selection (zun_rgn_op) that the panel owns until it ends.
// Events are in window coordinates.
#include <cstdint>

#include "base/dib.h"
#include "paint/rgn_op.h"
#include "paint/rgn_record.h"

class zun_file;

// The outline's points, grown 4096 at a time.
class rgn_point_list {
 public:
  static constexpr int32_t kGrowStep = 4096;
  rgn_point_list() = default;
  ~rgn_point_list();
  rgn_point_list(const rgn_point_list&) = delete;
  rgn_point_list& operator=(const rgn_point_list&) = delete;

  int push(int32_t x, int32_t y);  // 0 without memory or beyond kRgnMaxPoints
  void clear() { count_ = 0; }
  int32_t count() const { return count_; }
  const rgn_point* data() const { return points_; }
  // Bounding box of the points, inclusive edges made exclusive (empty: none).
  dib_rect bounds() const;

 private:
  rgn_point* points_ = nullptr;
  int32_t count_ = 0, capacity_ = 0;
};

inline constexpr const char* kLassoCaption = "paint_rgn";  // "enum" text of the caption
inline constexpr const char* kLassoCanvasTag = "blank";
// An outline must cover more than this many pixels both ways to make a selection.
inline constexpr int32_t kLassoMinSide = 5;

class zun_enum_rgn_polygon {
 public:
  zun_enum_rgn_polygon(zun_file* doc, rgn_window* window) : doc_(doc), window_(window) {}
  virtual ~zun_enum_rgn_polygon();
  zun_enum_rgn_polygon(const zun_enum_rgn_polygon&) = delete;
  zun_enum_rgn_polygon& operator=(const zun_enum_rgn_polygon&) = delete;

  int open();
  void close();
  // Ends any drawing or selection (an unfinished selection is committed).
  void reset();

  int pen_down(int32_t x, int32_t y);
  int pen_move(int32_t x, int32_t y);
  int pen_up(int32_t x, int32_t y);
  int key_down(int code);
  int key_up(int code);
  void notify(uint32_t code);
  int draw(dib_block* desktop) const;

  int open_flag = 0;
  int state = 0;  // 0 idle, 1 drawing, 2 selection active
  rgn_point_list points;  // screen pixels
  zun_rgn_op* selection = nullptr;
  const rgn_handle_pictures* pictures = nullptr;  // handed to each selection

 private:
  int selecting() const { return selection && selection->active && !selection->finished; }
  void drop_selection();
  void invalidate_outline() const;

  zun_file* doc_;
  rgn_window* window_;
};
