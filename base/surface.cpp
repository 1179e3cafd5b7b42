// The surface record, its blocks and caches, the changed area, the reduced
// copy and the per-pixel operations.
#include "base/surface.h"

#include <cstring>

#include "base/alloc.h"
#include "base/dib_pixel.h"

namespace {
void refresh(paint_surface* s) {
  s->colour_bits = dib_pixels(s->colour);
  s->colour_stride = dib_stride(s->colour);
  s->coverage_bits = s->coverage ? dib_pixels(s->coverage) : nullptr;
  s->coverage_stride = s->coverage ? dib_stride(s->coverage) : 0;
  s->reduced_bits = s->reduced ? dib_pixels(s->reduced) : nullptr;
  s->reduced_stride = s->reduced ? dib_stride(s->reduced) : 0;
}

inline bool inside(const paint_surface* s, int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && x < s->width && y < s->height;
}
inline unsigned char* colour_at(const paint_surface* s, int32_t x, int32_t y) {
  return s->colour_bits + std::size_t(s->colour_stride) * (s->height - 1 - y) + std::size_t(x) * 3;
}
inline unsigned char* coverage_at(const paint_surface* s, int32_t x, int32_t y) {
  if (!s->coverage_bits) return nullptr;
  return s->coverage_bits + std::size_t(s->coverage_stride) * (s->height - 1 - y) + x;
}

// Reduced copy update and changed-area note after a pixel was painted.
inline void touched(paint_surface* s, int32_t x, int32_t y) {
  if (s->reduced_bits) surface_update_reduced(s, x, y);
  if (s->kind == 0) return;
  dib_rect& c = s->changed;
  if (dib_rect_empty(c)) {
    c = dib_rect{x, y, x + 1, y + 1};
    return;
  }
  if (x < c.left) c.left = x;
  if (y < c.top) c.top = y;
  if (x >= c.right) c.right = x + 1;
  if (y >= c.bottom) c.bottom = y + 1;
}

paint_surface* make(int32_t height, int32_t width, uint16_t kind, uint32_t colour) {
  if (height <= 0 || width <= 0) return nullptr;
  auto* s = static_cast<paint_surface*>(mem_calloc(sizeof(paint_surface)));
  if (!s) return nullptr;
  s->kind = kind;
  s->width = width;
  s->height = height;
  s->step_x = s->step_y = 1.0f;
  s->colour = dib_create(height, 1, width, kind ? 0xFFFFFF : colour);
  if (kind) s->coverage = dib_create(height, 0, width, 0);
  if (!s->colour || (kind && !s->coverage)) {
    surface_free(s);
    return nullptr;
  }
  refresh(s);
  return s;
}
}  // namespace

paint_surface* surface_new(int32_t height, int32_t width) { return make(height, width, 1, 0); }

paint_surface* surface_new_plain(int32_t height, int32_t width, uint32_t colour) {
  return make(height, width, 0, colour);
}

paint_surface* surface_clone(const paint_surface* s) {
  if (!s) return nullptr;
  auto* c = static_cast<paint_surface*>(mem_alloc(sizeof(paint_surface)));
  if (!c) return nullptr;
  *c = *s;
  c->colour = dib_clone(s->colour);
  c->coverage = s->coverage ? dib_clone(s->coverage) : nullptr;
  c->reduced = s->reduced ? dib_clone(s->reduced) : nullptr;
  if (!c->colour || (s->coverage && !c->coverage) || (s->reduced && !c->reduced)) {
    surface_free(c);
    return nullptr;
  }
  refresh(c);
  return c;
}

void surface_free(paint_surface* s) {
  if (!s) return;
  dib_free(s->colour);
  dib_free(s->coverage);
  dib_free(s->reduced);
  mem_free(s);
}

int surface_clear(paint_surface* s, uint32_t colour) {
  if (!s) return 0;
  if (s->kind) {
    dib_fill(s->colour, 0xFFFFFF, nullptr);
    if (s->coverage) dib_fill(s->coverage, 0, nullptr);
    s->changed = dib_rect{0, 0, 0, 0};
  } else {
    dib_fill(s->colour, colour, nullptr);
  }
  surface_rebuild_reduced(s);
  return 1;
}

int surface_set_colour(paint_surface* s, dib_block* colour) {
  if (!s || dib_bits(colour) != 24 || dib_width(colour) != s->width ||
      dib_height(colour) != s->height)
    return 0;
  if (colour != s->colour) dib_free(s->colour);
  s->colour = colour;
  refresh(s);
  return 1;
}

int surface_set_coverage(paint_surface* s, dib_block* coverage) {
  if (!s || dib_bits(coverage) != 8 || dib_width(coverage) != s->width ||
      dib_height(coverage) != s->height)
    return 0;
  if (coverage != s->coverage) dib_free(s->coverage);
  s->coverage = coverage;
  refresh(s);
  return 1;
}

int surface_set_reduced(paint_surface* s, int32_t reduced_width, int32_t reduced_height) {
  if (!s) return 0;
  if (reduced_width <= 0 || reduced_height <= 0) {
    dib_free(s->reduced);
    s->reduced = nullptr;
    s->reduced_width = s->reduced_height = 0;
    s->step_x = s->step_y = 1.0f;
    refresh(s);
    return 1;
  }
  dib_block* r = dib_create(reduced_height, 1, reduced_width, 0xFFFFFF);
  if (!r) return 0;
  dib_free(s->reduced);
  s->reduced = r;
  s->reduced_width = reduced_width;
  s->reduced_height = reduced_height;
  s->step_x = static_cast<float>(s->width) / reduced_width;
  s->step_y = static_cast<float>(s->height) / reduced_height;
  refresh(s);
  surface_rebuild_reduced(s);
  return 1;
}

void surface_rebuild_reduced(paint_surface* s) {
  if (!s || !s->reduced_bits) return;
  for (int32_t j = 0; j < s->reduced_height; ++j) {
    const int32_t y = static_cast<int32_t>(j * s->step_y);
    if (y >= s->height) break;
    unsigned char* q =
        s->reduced_bits + std::size_t(s->reduced_stride) * (s->reduced_height - 1 - j);
    for (int32_t i = 0; i < s->reduced_width; ++i) {
      const int32_t x = static_cast<int32_t>(i * s->step_x);
      if (x >= s->width) break;
      std::memcpy(q + std::size_t(i) * 3, colour_at(s, x, y), 3);
    }
  }
}

void surface_update_reduced(paint_surface* s, int32_t x, int32_t y) {
  if (!s || !s->reduced_bits || !inside(s, x, y)) return;
  const int32_t ix = static_cast<int32_t>(s->step_x), iy = static_cast<int32_t>(s->step_y);
  if (ix > 1 && x % ix) return;
  if (iy >= 2 && y % iy) return;
  const int32_t rx = static_cast<int32_t>(x / s->step_x), ry = static_cast<int32_t>(y / s->step_y);
  if (rx < 0 || ry < 0 || rx >= s->reduced_width || ry >= s->reduced_height) return;
  unsigned char* q = s->reduced_bits +
                     std::size_t(s->reduced_stride) * (s->reduced_height - 1 - ry) +
                     std::size_t(rx) * 3;
  std::memcpy(q, colour_at(s, x, y), 3);
}

void surface_note_pixel(paint_surface* s, int32_t x, int32_t y) {
  if (!s || s->kind == 0 || !inside(s, x, y)) return;
  s->changed = dib_rect_union(s->changed, dib_rect{x, y, x + 1, y + 1});
}

void surface_note_rect(paint_surface* s, const dib_rect& r) {
  if (!s || s->kind == 0) return;
  s->changed =
      dib_rect_intersect(dib_rect_union(s->changed, r), dib_rect{0, 0, s->width, s->height});
}

dib_rect surface_changed_area(const paint_surface* s, int grow) {
  if (!s || dib_rect_empty(s->changed)) return dib_rect{0, 0, 0, 0};
  dib_rect r = s->changed;
  if (grow) r = dib_rect{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
  return dib_rect_intersect(r, dib_rect{0, 0, s->width, s->height});
}

int surface_blend_pixel(paint_surface* s, int32_t x, int32_t y, int red, int green, int blue,
                        float opacity) {
  if (!s || !inside(s, x, y)) return 0;
  dib_px_over(colour_at(s, x, y), coverage_at(s, x, y), dib_colour(red, green, blue), opacity);
  touched(s, x, y);
  return 1;
}

int surface_paint_pixel(paint_surface* s, int32_t x, int32_t y, uint32_t colour, float opacity) {
  if (!s || !inside(s, x, y)) return 0;
  dib_px_paint(colour_at(s, x, y), coverage_at(s, x, y), colour, opacity);
  touched(s, x, y);
  return 1;
}

int surface_fade_pixel(paint_surface* s, int32_t x, int32_t y, float opacity) {
  if (!s || !inside(s, x, y)) return 0;
  dib_px_fade(colour_at(s, x, y), coverage_at(s, x, y), opacity);
  touched(s, x, y);
  return 1;
}

int surface_erase_pixel(paint_surface* s, int32_t x, int32_t y, uint32_t colour) {
  if (!s || !inside(s, x, y)) return 0;
  dib_px_plain(colour_at(s, x, y), coverage_at(s, x, y), colour);
  touched(s, x, y);
  return 1;
}

int surface_read_pixel(const paint_surface* s, int32_t x, int32_t y, unsigned char bgra[4]) {
  if (!s || !inside(s, x, y) || !bgra) return 0;
  std::memcpy(bgra, colour_at(s, x, y), 3);
  const unsigned char* a = coverage_at(s, x, y);
  bgra[3] = a ? *a : 255;
  return 1;
}

int surface_copy_pixel(const paint_surface* src, paint_surface* dst, int32_t x, int32_t y) {
  unsigned char p[4];
  if (!surface_read_pixel(src, x, y, p)) return 0;
  if (p[3] == 0) return 1;  // nothing painted there: blending at 0 would change nothing
  return surface_blend_pixel(dst, x, y, p[2], p[1], p[0], alpha_table[p[3]]);
}
