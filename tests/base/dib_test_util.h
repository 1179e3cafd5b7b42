#pragma once
// Small helpers for the bitmap tests: pixels by value.
#include <cstdint>
#include <cstring>

#include "base/dib.h"

// 0x00BBGGRR of a 24-bit pixel, or the byte of an 8-bit one; 0xFFFFFFFF outside.
inline uint32_t px(const dib_block* b, int x, int y) {
  const unsigned char* p = dib_pixel(b, x, y);
  if (!p) return 0xFFFFFFFFu;
  if (dib_bits(b) == 8) return p[0];
  return dib_colour(p[2], p[1], p[0]);
}
inline void set_px(dib_block* b, int x, int y, uint32_t c) {
  unsigned char* p = dib_pixel(b, x, y);
  if (!p) return;
  if (dib_bits(b) == 8) {
    p[0] = static_cast<unsigned char>(c);
  } else {
    p[0] = dib_blue(c), p[1] = dib_green(c), p[2] = dib_red(c);
  }
}
// A block whose pixel (x, y) is unique: red = x, green = y, blue = x + y.
inline dib_block* numbered(int w, int h) {
  dib_block* b = dib_create(h, 1, w, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) set_px(b, x, y, dib_colour(x, y, x + y));
  return b;
}
inline bool same_pixels(const dib_block* a, const dib_block* b) {
  if (dib_width(a) != dib_width(b) || dib_height(a) != dib_height(b) || dib_bits(a) != dib_bits(b))
    return false;
  for (int y = 0; y < dib_height(a); ++y)
    for (int x = 0; x < dib_width(a); ++x)
      if (px(a, x, y) != px(b, x, y)) return false;
  return true;
}
