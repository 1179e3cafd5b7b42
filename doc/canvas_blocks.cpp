// Blocks between window space and document space (the floating selection).
#include <cstring>

#include "doc/canvas.h"

namespace {
dib_block* blank_like(const dib_block* like, int32_t w, int32_t h) {
  const int bits = dib_bits(like);
  if (bits == 24) return dib_create(h, 1, w, 0xFFFFFF);
  if (bits == 8) return dib_create_like(like, w, h);
  return nullptr;
}
}  // namespace

dib_block* zun_file_canvas::window_block_to_doc(const dib_block* block, int32_t window_x,
                                                int32_t window_y, canvas_point* at) const {
  if (!ready() || !block) return nullptr;
  const int32_t bw = dib_width(block), bh = dib_height(block), bpp = dib_bytes_per_pixel(block);
  if (bpp != 1 && bpp != 3) return nullptr;
  const int32_t sx = window_x - area_x, sy = window_y - area_y;
  if (angle == 0 && scale_step == 1) {
    dib_block* copy = dib_clone(block);
    if (copy && at) *at = canvas_point{sx - offset_x, sy - offset_y};
    return copy;
  }
  const dib_rect d = screen_rect_to_doc(dib_rect{sx, sy, sx + bw, sy + bh});
  dib_block* out = blank_like(block, d.right - d.left, d.bottom - d.top);
  if (!out) return nullptr;
  for (int32_t y = d.top; y < d.bottom; ++y) {
    for (int32_t x = d.left; x < d.right; ++x) {
      const canvas_point s = doc_to_screen(x, y);
      const unsigned char* p = dib_pixel(block, s.x - sx, s.y - sy);
      if (p) std::memcpy(dib_pixel(out, x - d.left, y - d.top), p, bpp);
    }
  }
  if (at) *at = canvas_point{d.left, d.top};
  return out;
}

dib_block* zun_file_canvas::doc_block_to_window(const dib_block* doc_block, canvas_point doc_at,
                                                int32_t w, int32_t h, int32_t window_x,
                                                int32_t window_y) const {
  if (!ready() || !doc_block) return nullptr;
  const int bpp = dib_bytes_per_pixel(doc_block);
  if (bpp != 1 && bpp != 3) return nullptr;
  dib_block* out = blank_like(doc_block, w, h);
  if (!out) return nullptr;
  const int32_t sx = window_x - area_x, sy = window_y - area_y;
  for (int32_t j = 0; j < h; ++j) {
    for (int32_t i = 0; i < w; ++i) {
      const canvas_point d = screen_to_doc(sx + i, sy + j);
      const unsigned char* p = dib_pixel(doc_block, d.x - doc_at.x, d.y - doc_at.y);
      if (p) std::memcpy(dib_pixel(out, i, j), p, bpp);
    }
  }
  return out;
}
