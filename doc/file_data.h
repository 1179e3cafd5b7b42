#pragma once
// The document's content: a fixed size, a list of sheets with a current one,
// and the area waiting to be redrawn. Owned by the controller zun_file, whose
// modified flag and canvas view it reports to.
#include <cstdint>

#include "base/dib.h"
#include "doc/sheet.h"

class zun_file;

// How sheets are drawn for display: 0 every layer at full opacity, 1 placed
// pictures at half opacity (set by the board list when it opens an entry).
extern int view_mode;

// Largest document accepted anywhere (new, open): bounds every allocation a
// size field could ask for. A 24-bit sheet block stays well under kDibMaxBytes.
inline constexpr int32_t kDocMaxSide = 16384;
inline constexpr int64_t kDocMaxPixels = 64ll << 20;
int doc_size_allowed(int32_t width, int32_t height);

class zun_file_data {
 public:
  explicit zun_file_data(zun_file* owner = nullptr) : owner(owner) {}
  virtual ~zun_file_data();
  zun_file_data(const zun_file_data&) = delete;
  zun_file_data& operator=(const zun_file_data&) = delete;

  int doc_reset(int32_t width, int32_t height);
  doc_sheet* current_sheet();
  paint_surface* current_surface();
  sheet_background* current_background();
  placed_picture* current_pictures();
  int doc_add_sheet();
  void doc_mark_dirty(const dib_rect* rect, int set_modified);
  int doc_clear_surface();
  int32_t picture_count();
  int doc_remove_pictures();
  int doc_toggle_background();
  int doc_data_new(int32_t width, int32_t height);
  // drawn (optional) receives the rectangle that was redrawn (empty for none).
  int doc_render_dirty(dib_block* target, dib_rect* drawn = nullptr);
  dib_block* doc_render_all() const;
  // Takes a read sheet list: count and current index (clamped) follow it.
  void install_sheets(doc_sheet* list, int32_t current);

  zun_file* owner = nullptr;
  int32_t width = 0, height = 0;
  int redraw_pending = 1;
  dib_rect dirty{0, 0, 0, 0};
  int32_t current_index = -1;
  int32_t sheet_count = 0;
  doc_sheet* sheets = nullptr;

 private:
  bool usable() const { return owner && sheet_count > 0; }
  void set_modified(uint32_t key);
};
