#pragma once
// The floating selection: the pixels inside a region are lifted out of the
// current layer and can be moved, scaled, rotated, flipped and mirrored
// through nine handles before they are put back (commit), thrown away
// (discard: the cut stays white) or the cut is undone (cancel). Regions of
// the selection are in screen pixels (the canvas area's own coordinates);
// events and drawing are in window coordinates.
#include <cstdint>

#include "base/dib.h"
#include "base/surface.h"
#include "doc/canvas.h"
#include "paint/rgn_record.h"

class zun_file;

// What the selection and the lasso need of the window layer.
class rgn_window {
 public:
  virtual ~rgn_window() = default;
  virtual int covered(int32_t x, int32_t y) { return 0; }  // a floating panel there
  virtual void invalidate(const dib_rect& window_rect) = 0;
  // The window layer's "a selection is active" flag and interaction mode 1.
  virtual void selection_mode(int active) {}
  // The canvas panel's tag while the lasso is open ("blank").
  virtual void tag_canvas(const char* tag) {}
};

// The nine handle pictures "Renum\rgn\op%d.jpg" and their mask
// "Renum\rgn\opa.bmp" (owned by whoever loaded them; any may be null).
struct rgn_handle_pictures {
  dib_block* picture[9] = {};
  dib_block* mask = nullptr;
};
using rgn_resolver = int (*)(const char* name, char* out, int size);
// Loads the pictures through the resolver; 1 when all ten were read.
int rgn_handles_load(rgn_handle_pictures& h, rgn_resolver resolve);
void rgn_handles_free(rgn_handle_pictures& h);

enum : int {
  kHandleScale = 0,    // top-right
  kHandleMove = 1,     // centre
  kHandleFlip = 2,     // top-centre
  kHandleMirror = 3,   // left-middle
  kHandleTurn = 4,     // top-left
  kHandleRotate = 5,   // right-middle
  kHandleCommit = 6,   // bottom-right
  kHandleCancel = 7,   // bottom-centre
  kHandleDiscard = 8,  // bottom-left
  kHandleCount = 9,
};
inline constexpr int32_t kHandleSize = 15;  // without pictures
inline constexpr const char* kHandleHintKey = "paint_op_but%d";  // hover texts, 0-8
inline constexpr int kKeyEnter = 13, kKeyEscape = 27, kKeyDelete = 46, kKeyControl = 17;

class zun_rgn_op {
 public:
  zun_rgn_op(zun_file* doc, rgn_window* window) : doc_(doc), window_(window) {}
  // An active, unfinished selection is committed first.
  virtual ~zun_rgn_op();
  zun_rgn_op(const zun_rgn_op&) = delete;
  zun_rgn_op& operator=(const zun_rgn_op&) = delete;

  // Lifts the pixels under r (screen pixels) out of the current layer. 0,
  // with nothing changed, when the layer copy or the lifted pixels cannot be made.
  int start(const rgn_record* r);

  int pen_down(int32_t x, int32_t y);
  int pen_move(int32_t x, int32_t y);
  int pen_up(int32_t x, int32_t y);
  int key_down(int code);
  int key_up(int code);

  int commit();
  int cancel();
  int discard();

  // Lifted pixels through the working region, its border, the box and the
  // handles, into the 24-bit desktop bitmap (window coordinates).
  int draw(dib_block* desktop) const;

  // The handle under a window point (-1: none), and each handle's rectangle.
  int handle_at(int32_t x, int32_t y) const;
  dib_rect handle_rect(int handle) const;
  // The window rectangle the selection draws into (box, border and handles).
  dib_rect extent() const;

  int active = 0;
  int finished = 0;
  paint_surface* layer_copy = nullptr;
  rgn_record* document_region = nullptr;
  dib_block* lifted_colour = nullptr;    // 24-bit, box-sized, at view scale
  dib_block* lifted_coverage = nullptr;  // 8-bit
  rgn_record* drawn_region = nullptr;
  rgn_record* working_region = nullptr;
  dib_rect box{0, 0, 0, 0};  // screen pixels
  canvas_point drag_start{-1, -1};
  canvas_point drag_current{-1, -1};
  int move_only = 1;
  int32_t offset_x = 0, offset_y = 0;
  int pressed_handle = -1;
  int keep_ratio = 0;
  // The background colour the corners of a rotation are filled with.
  uint32_t background = 0xffffff;
  const rgn_handle_pictures* pictures = nullptr;

 private:
  int act(int handle);
  int scale_to_drag();
  int rotate_by_drag();
  int move_by_drag();
  int transform(int (*region_op)(rgn_record*), dib_block* (*bitmap_op)(dib_block*));
  int replace_lifted(dib_block* colour, dib_block* coverage);
  void end_selection();
  void release_all();
  void invalidate_all() const;
  int32_t area_x() const;
  int32_t area_y() const;

  zun_file* doc_;
  rgn_window* window_;
};
