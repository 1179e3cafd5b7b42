// Pasting a picture into a surface.
#include <cstring>

#include "base/dib_pixel.h"
#include "base/dib_sample.h"
#include "base/surface.h"

namespace {
void paste_rows(paint_surface* s, const dib_view& img, int32_t x, int32_t y, int32_t w, int32_t h) {
  for (int32_t j = 0; j < h; ++j) {
    const int32_t ty = y + j;
    unsigned char* q =
        s->colour_bits + std::size_t(s->colour_stride) * (s->height - 1 - ty) + std::size_t(x) * 3;
    std::memcpy(q, img.row(j), std::size_t(w) * 3);
    if (s->coverage_bits)
      std::memset(s->coverage_bits + std::size_t(s->coverage_stride) * (s->height - 1 - ty) + x,
                  255, w);
    if (s->reduced_bits)
      for (int32_t i = 0; i < w; ++i) surface_update_reduced(s, x + i, ty);
  }
  surface_note_rect(s, dib_rect{x, y, x + w, y + h});
}
}  // namespace

int surface_paste(paint_surface* s, int32_t x, int32_t y, const dib_block* image, int32_t width,
                  int32_t height, const dib_block* alpha, float opacity) {
  if (!s) return 0;
  dib_view img = dib_view_of(const_cast<dib_block*>(image));
  if (!img.pixels || img.bpp != 3) return 0;
  dib_view mask;
  if (alpha) {
    mask = dib_view_of(const_cast<dib_block*>(alpha));
    if (!mask.pixels || mask.bpp != 1) return 0;
  }
  if (width == 0 || height == 0) width = img.width, height = img.height;
  if (width < 0 || height < 0) return 0;
  const dib_rect full{x, y, static_cast<int32_t>(int64_t{x} + width),
                      static_cast<int32_t>(int64_t{y} + height)};
  const dib_rect r = dib_rect_intersect(full, dib_rect{0, 0, s->width, s->height});
  if (dib_rect_empty(r) || !(opacity > 0.0f)) return 0;

  if (!alpha && dib_opacity_is_one(opacity)) {
    const bool whole = r.left == full.left && r.top == full.top && r.right == full.right &&
                       r.bottom == full.bottom && width <= img.width && height <= img.height;
    if (whole) {
      paste_rows(s, img, x, y, width, height);
      return 1;
    }
    for (int32_t ty = r.top; ty < r.bottom; ++ty) {
      for (int32_t tx = r.left; tx < r.right; ++tx) {
        const unsigned char* p = img.at_checked(tx - x, ty - y);
        if (p)
          surface_paint_cell(s, tx, ty, kCellInterior, dib_colour(p[2], p[1], p[0]), 1.0f, nullptr);
      }
    }
    return 1;
  }
  const float g = opacity > 1.0f ? 1.0f : opacity;
  for (int32_t ty = r.top; ty < r.bottom; ++ty) {
    for (int32_t tx = r.left; tx < r.right; ++tx) {
      const unsigned char* p = img.at_checked(tx - x, ty - y);
      if (!p) continue;
      float a = g;
      if (alpha) {
        const unsigned char* m = mask.at_checked(tx - x, ty - y);
        if (!m || *m == 0) continue;
        a = alpha_table[*m] * g;
      }
      surface_blend_pixel(s, tx, ty, p[2], p[1], p[0], a);
    }
  }
  return 1;
}
