#pragma once
// Internal to the bitmap and surface code: a block's header read once into a
// view, for loops that address many pixels, and the bilinear sample on it.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "base/dib.h"

struct dib_view {
  unsigned char* pixels = nullptr;  // the bottom row (start of the pixel area)
  int32_t width = 0, height = 0;
  int bpp = 0;  // bytes per pixel
  std::size_t stride = 0;

  unsigned char* row(int32_t y) const {
    return pixels + stride * static_cast<std::size_t>(height - 1 - y);
  }
  unsigned char* at(int32_t x, int32_t y) const { return row(y) + std::size_t(x) * bpp; }
  bool inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  unsigned char* at_checked(int32_t x, int32_t y) const {
    return inside(x, y) ? at(x, y) : nullptr;
  }
};

inline dib_view dib_view_of(dib_block* b) {
  dib_view v;
  if (!dib_valid(b) || dib_width(b) <= 0 || dib_height(b) <= 0) return v;
  v.pixels = dib_pixels(b);
  v.width = dib_width(b);
  v.height = dib_height(b);
  v.bpp = dib_bytes_per_pixel(b);
  v.stride = dib_stride(b);
  return v;
}

// Bilinear sample at (fx, fy): the four pixels at floor / ceil of each
// coordinate, a missing neighbour replaced by the base pixel; nothing is written
// when the base pixel is outside. Channels limited to 255 and truncated.
template <int bpp>
inline int dib_view_sample_n(const dib_view& v, double fx, double fy, unsigned char* out) {
  const double flx = std::floor(fx), fly = std::floor(fy);
  if (!(flx >= 0 && fly >= 0 && flx < v.width && fly < v.height)) return 0;
  const int32_t x0 = static_cast<int32_t>(flx), y0 = static_cast<int32_t>(fly);
  const int32_t x1 = fx > flx ? x0 + 1 : x0, y1 = fy > fly ? y0 + 1 : y0;
  const unsigned char* p00 = v.at(x0, y0);
  const unsigned char* p10 = x1 < v.width ? v.at(x1, y0) : p00;
  const unsigned char* p01 = y1 < v.height ? v.at(x0, y1) : p00;
  const unsigned char* p11 = x1 < v.width && y1 < v.height ? v.at(x1, y1) : p00;
  const float tx = static_cast<float>(fx - flx), ty = static_cast<float>(fy - fly);
  for (int c = 0; c < bpp; ++c) {
    float top = p00[c] + tx * (p10[c] - p00[c]);
    float bottom = p01[c] + tx * (p11[c] - p01[c]);
    float value = top + ty * (bottom - top);
    out[c] = static_cast<unsigned char>(value > 255.0f ? 255.0f : value);
  }
  return 1;
}

inline int dib_view_sample(const dib_view& v, double fx, double fy, unsigned char* out) {
  switch (v.bpp) {
    case 3:
      return dib_view_sample_n<3>(v, fx, fy, out);
    case 1:
      return dib_view_sample_n<1>(v, fx, fy, out);
    case 4:
      return dib_view_sample_n<4>(v, fx, fy, out);
    case 2:
      return dib_view_sample_n<2>(v, fx, fy, out);
    default:
      return 0;
  }
}
