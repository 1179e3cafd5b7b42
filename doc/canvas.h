#pragma once
// The view of the document inside the desktop's canvas area: pan (offsets in
// document pixels), integer zoom steps and a rotation in whole degrees. It
// maps points between document pixels and the area, keeps the document from
// being pushed out of sight and redraws changed parts into the desktop bitmap.
// The view never changes the document.
#include <cstdint>

#include "base/dib.h"

class zun_file_data;

struct canvas_point {
  int32_t x, y;
};

enum class canvas_key { left, right, up, down };

struct canvas_affine {
  double x0, xx, xy, y0, yx, yy;
};

// Scale steps are kept within these; beyond them nothing is visible anyway and
// screen coordinates would overflow.
inline constexpr int32_t kScaleMax = 64;
inline constexpr int32_t kScaleMin = -64;
inline constexpr int32_t kVisibilityMargin = 160;

// One step in (… -3, -2, 1, 2, 3 …) or out, within the limits.
int32_t scale_step_once(int32_t s, int in);

class zun_file_canvas {
 public:
  zun_file_canvas() = default;
  virtual ~zun_file_canvas();
  zun_file_canvas(const zun_file_canvas&) = delete;
  zun_file_canvas& operator=(const zun_file_canvas&) = delete;

  // The shell sets the view up once its window and desktop area exist (the
  // window handle itself stays in the shell); every operation below needs it.
  void view_setup(int32_t area_x, int32_t area_y, int32_t area_width, int32_t area_height);
  int ready() const { return active && set_up; }

  int set_document_size(int32_t width, int32_t height);

  canvas_point doc_to_screen(double x, double y) const;
  canvas_point screen_to_doc(double x, double y) const;
  // Window coordinates: the area's origin is subtracted first.
  canvas_point window_to_doc(int32_t x, int32_t y) const;
  dib_rect doc_rect_to_screen(const dib_rect& r) const;
  dib_rect screen_rect_to_doc(const dib_rect& r) const;
  int hit_test(int32_t window_x, int32_t window_y) const;

  int view_fit();
  int view_pan(int32_t* dx, int32_t* dy);
  // The arrows pan only while Space is held when the caller asks for that.
  int view_key_pan(canvas_key key, int need_space = 0, int space_held = 0);
  int view_set_angle(int32_t degrees);
  int view_rotate_by(int32_t delta) { return view_set_angle(angle + delta); }
  int view_zoom_step(int32_t window_x, int32_t window_y, int in);
  int view_zoom_to(int32_t window_x, int32_t window_y, int32_t s0, double factor);

  // Renders the document's dirty part into the back buffer and presents it
  // into desktop, a 24-bit bitmap of the window in which the area lies at its
  // origin. screen (optional) receives the window rectangle that changed.
  int view_redraw(zun_file_data& data, dib_block* desktop, dib_rect* screen = nullptr);
  // Presents a document rectangle of the back buffer (after a pan or zoom the
  // shell presents the whole document without rendering it again).
  int view_present(const dib_rect& doc_rect, dib_block* desktop, dib_rect* screen = nullptr);

  // A block placed at a window position turned into a document-space block
  // (white ground for 24 bits, 0 for 8); its document position goes to *at.
  dib_block* window_block_to_doc(const dib_block* block, int32_t window_x, int32_t window_y,
                                 canvas_point* at) const;
  // A screen-space block of width x height at a window position, every pixel
  // taken from the document block placed at doc_at (nearest pixel).
  dib_block* doc_block_to_window(const dib_block* doc_block, canvas_point doc_at, int32_t width,
                                 int32_t height, int32_t window_x, int32_t window_y) const;

  int active = 0;
  int set_up = 0;
  dib_block* back_buffer = nullptr;
  int32_t width = 0, height = 0;
  int32_t offset_x = 0, offset_y = 0;
  int32_t scale_step = 1;
  int32_t angle = 0;
  int32_t area_x = 0, area_y = 0, area_width = 0, area_height = 0;

 private:
  // Screen position of a document point before rounding.
  void forward(double x, double y, double* sx, double* sy) const;
  void inverse(double sx, double sy, double* x, double* y) const;
  canvas_affine inverse_affine() const;
  int axis_visible(int horizontal, int32_t offset) const;
  void recentre();
  void zoom_about(int32_t window_x, int32_t window_y, int32_t new_scale);
  void present_rotated(const dib_rect& sr, dib_block* desktop) const;
  void present_straight(const dib_rect& sr, dib_block* desktop) const;
};
