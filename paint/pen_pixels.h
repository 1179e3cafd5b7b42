#pragma once
// Direct access to a surface pixel for the blends the surface has no
// operation for (multiply, restoring a pixel), with the same bookkeeping
// as the surface's own per-pixel operations.
#include <cstdint>

#include "base/surface.h"

inline unsigned char* pen_colour_at(const paint_surface* s, int32_t x, int32_t y) {
  return s->colour_bits + std::size_t(s->colour_stride) * (s->height - 1 - y) + std::size_t(x) * 3;
}
inline unsigned char* pen_coverage_at(const paint_surface* s, int32_t x, int32_t y) {
  if (!s->coverage_bits) return nullptr;
  return s->coverage_bits + std::size_t(s->coverage_stride) * (s->height - 1 - y) + x;
}
inline void pen_touched(paint_surface* s, int32_t x, int32_t y) {
  if (s->reduced_bits) surface_update_reduced(s, x, y);
  surface_note_pixel(s, x, y);
}
