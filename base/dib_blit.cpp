// Copies between blocks: nearest resampling, blits (1:1 and scaled) and the
// bilinear sample they and the rotation share.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/alloc.h"
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
// Where each destination column samples: the same positions, floors and
// fractions as dib_view_sample, worked out once per column instead of per pixel.
struct column_tap {
  int32_t off0, off1;  // byte offsets of floor x and of its right neighbour (or floor x)
  float tx;
  bool valid, right;  // floor x inside; the right neighbour exists
};

template <int bpp>
void bilinear_rows(const dib_view& d, int32_t dx, int32_t dy, int32_t j0, int32_t j1, int32_t i0,
                   int32_t i1, const dib_view& s, double sx, double sy, double ky,
                   const column_tap* taps) {
  for (int32_t i = i0; i < i1; ++i) {
    const double fy = sy + i * ky, fly = std::floor(fy);
    if (!(fly >= 0 && fly < s.height)) continue;
    const int32_t y0 = static_cast<int32_t>(fly);
    const bool below = fy > fly && y0 + 1 < s.height;
    const unsigned char* r0 = s.row(y0);
    const unsigned char* r1 = below ? s.row(y0 + 1) : r0;
    const float ty = static_cast<float>(fy - fly);
    unsigned char* out = d.row(dy + i) + std::size_t(dx) * bpp;
    for (int32_t j = j0; j < j1; ++j) {
      const column_tap& c = taps[j - j0];
      if (!c.valid) continue;
      const unsigned char* p00 = r0 + c.off0;
      const unsigned char* p10 = r0 + c.off1;
      const unsigned char* p01 = r1 + c.off0;
      const unsigned char* p11 = below && c.right ? r1 + c.off1 : p00;
      unsigned char* q = out + std::size_t(j) * bpp;
      for (int k = 0; k < bpp; ++k) {
        const float top = p00[k] + c.tx * (p10[k] - p00[k]);
        const float bottom = p01[k] + c.tx * (p11[k] - p01[k]);
        const float v = top + ty * (bottom - top);
        q[k] = static_cast<unsigned char>(v > 255.0f ? 255.0f : v);
      }
    }
  }
}

int blit_scaled(const dib_view& d, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                const dib_view& s, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int bilinear) {
  const double kx = double(sw) / dw, ky = double(sh) / dh;
  // Only destination pixels inside the target are visited.
  const int32_t j0 = std::max(0, -dx), j1 = std::min(dw, d.width - dx);
  const int32_t i0 = std::max(0, -dy), i1 = std::min(dh, d.height - dy);
  if (j0 >= j1 || i0 >= i1) return 1;
  if (bilinear) {
    auto* taps = static_cast<column_tap*>(mem_alloc(sizeof(column_tap) * std::size_t(j1 - j0)));
    if (!taps) return 0;
    for (int32_t j = j0; j < j1; ++j) {
      const double fx = sx + j * kx, flx = std::floor(fx);
      column_tap& c = taps[j - j0];
      c.valid = flx >= 0 && flx < s.width;
      const int32_t x0 = c.valid ? static_cast<int32_t>(flx) : 0;
      c.right = fx > flx && x0 + 1 < s.width;
      c.off0 = x0 * s.bpp;
      c.off1 = (c.right ? x0 + 1 : x0) * s.bpp;
      c.tx = static_cast<float>(fx - flx);
    }
    switch (s.bpp) {  // unrolled for the kinds the program makes
      case 3:
        bilinear_rows<3>(d, dx, dy, j0, j1, i0, i1, s, sx, sy, ky, taps);
        break;
      case 1:
        bilinear_rows<1>(d, dx, dy, j0, j1, i0, i1, s, sx, sy, ky, taps);
        break;
      case 4:
        bilinear_rows<4>(d, dx, dy, j0, j1, i0, i1, s, sx, sy, ky, taps);
        break;
      default:
        bilinear_rows<2>(d, dx, dy, j0, j1, i0, i1, s, sx, sy, ky, taps);
        break;
    }
    mem_free(taps);
    return 1;
  }
  for (int32_t i = i0; i < i1; ++i) {
    const double fy = sy + i * ky;
    unsigned char* drow = d.row(dy + i);
    for (int32_t j = j0; j < j1; ++j) {
      const double fx = sx + j * kx;
      const unsigned char* p =
          s.at_checked(static_cast<int32_t>(std::floor(fx)), static_cast<int32_t>(std::floor(fy)));
      if (p) std::memcpy(drow + std::size_t(dx + j) * d.bpp, p, d.bpp);
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
  const bool scaled = dw != sw || dh != sh;
  if (dst == src && (scaled || dx < 0 || dy < 0)) {
    // Within one block only whole-row copies are safe (see below): the
    // pixel-by-pixel paths read from a copy.
    dib_block* copy = dib_clone(src);
    if (!copy) return 0;
    const int ok = dib_blit(dst, dx, dy, dw, dh, copy, sx, sy, sw, sh, bilinear);
    dib_free(copy);
    return ok;
  }
  if (scaled) return blit_scaled(d, dx, dy, dw, dh, s, sx, sy, sw, sh, bilinear);
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
    std::memmove(d.row(dy + i) + std::size_t(dx) * d.bpp, s.row(sy + i) + std::size_t(sx) * d.bpp,
                 n);
  }
  return 1;
}
