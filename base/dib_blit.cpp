// Copies between blocks: nearest resampling, blits (1:1 and scaled) and the
// bilinear sample they and the rotation share.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/dib.h"
#include "base/dib_sample.h"

int dib_sample_bilinear(const dib_block* b, double fx, double fy, unsigned char* out) {
  dib_view v = dib_view_of(const_cast<dib_block*>(b));
  if (!v.pixels || (v.bpp != 3 && v.bpp != 1) || !out) return 0;
  return dib_view_sample(v, fx, fy, out);
}

int dib_resample_into(dib_block* dst, const dib_block* src) {
  dib_view d = dib_view_of(dst), s = dib_view_of(const_cast<dib_block*>(src));
  if (!d.pixels || !s.pixels || d.bpp != s.bpp || d.bpp == 0) return 0;
  if (d.width == s.width && d.height == s.height) {
    for (int32_t y = 0; y < d.height; ++y)
      std::memcpy(d.row(y), s.row(y), std::size_t(d.width) * d.bpp);
    return 1;
  }
  const double step_x = double(s.width) / d.width, step_y = double(s.height) / d.height;
  double fy = 0;
  for (int32_t y = 0; y < d.height; ++y, fy += step_y) {
    const int32_t sy = std::min(static_cast<int32_t>(fy), s.height - 1);
    const unsigned char* srow = s.row(sy);
    unsigned char* drow = d.row(y);
    double fx = 0;
    for (int32_t x = 0; x < d.width; ++x, fx += step_x) {
      const int32_t sx = std::min(static_cast<int32_t>(fx), s.width - 1);
      std::memcpy(drow + std::size_t(x) * d.bpp, srow + std::size_t(sx) * d.bpp, d.bpp);
    }
  }
  return 1;
}

namespace {
int blit_scaled(const dib_view& d, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                const dib_view& s, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int bilinear) {
  const double kx = double(sw) / dw, ky = double(sh) / dh;
  // Only destination pixels inside the target are visited.
  const int32_t j0 = std::max(0, -dx), j1 = std::min(dw, d.width - dx);
  const int32_t i0 = std::max(0, -dy), i1 = std::min(dh, d.height - dy);
  for (int32_t i = i0; i < i1; ++i) {
    const double fy = sy + i * ky;
    unsigned char* drow = d.row(dy + i);
    for (int32_t j = j0; j < j1; ++j) {
      const double fx = sx + j * kx;
      unsigned char* out = drow + std::size_t(dx + j) * d.bpp;
      if (bilinear) {
        dib_view_sample(s, fx, fy, out);
      } else {
        const unsigned char* p = s.at_checked(static_cast<int32_t>(std::floor(fx)),
                                              static_cast<int32_t>(std::floor(fy)));
        if (p) std::memcpy(out, p, d.bpp);
      }
    }
  }
  return 1;
}
}  // namespace

int dib_blit(dib_block* dst, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib_block* src,
             int32_t sx, int32_t sy, int32_t sw, int32_t sh, int bilinear) {
  dib_view d = dib_view_of(dst), s = dib_view_of(const_cast<dib_block*>(src));
  if (!d.pixels || !s.pixels || d.bpp != s.bpp || d.bpp == 0) return 0;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return 0;
  if (dw != sw || dh != sh) return blit_scaled(d, dx, dy, dw, dh, s, sx, sy, sw, sh, bilinear);
  if (dx < 0 || dy < 0) {
    for (int32_t i = 0; i < dh; ++i) {
      for (int32_t j = 0; j < dw; ++j) {
        unsigned char* q = d.at_checked(dx + j, dy + i);
        const unsigned char* p = s.at_checked(sx + j, sy + i);
        if (p && q) std::memcpy(q, p, d.bpp);
      }
    }
    return 1;
  }
  int32_t w = dw, h = dh;
  if (sx < 0) w += sx, dx -= sx, sx = 0;
  if (sy < 0) h += sy, dy -= sy, sy = 0;
  w = std::min({w, d.width - dx, s.width - sx});
  h = std::min({h, d.height - dy, s.height - sy});
  if (w <= 0 || h <= 0) return 0;
  const std::size_t n = std::size_t(w) * d.bpp;
  // Source and target may be one block: memmove, and rows bottom-up when moving down.
  const bool up = dst == src && dy > sy;
  for (int32_t k = 0; k < h; ++k) {
    const int32_t i = up ? h - 1 - k : k;
    std::memmove(d.row(dy + i) + std::size_t(dx) * d.bpp,
                 s.row(sy + i) + std::size_t(sx) * d.bpp, n);
  }
  return 1;
}
