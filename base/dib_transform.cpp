// Conversions that take ownership: each returns a new block and frees the
// source, or returns the source unchanged when it cannot proceed.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/dib.h"
#include "base/dib_sample.h"

namespace {
// Whole-byte pixels only: the per-pixel moves below cannot split bytes.
bool movable(dib_block* b, dib_view& v) {
  v = dib_view_of(b);
  return v.pixels && v.bpp > 0;
}
}  // namespace

dib_block* dib_crop_center(dib_block* b, int32_t w, int32_t h) {
  dib_view s;
  if (!movable(b, s)) return b;
  if (w <= 0 || h <= 0 || w > s.width || h > s.height || (w == s.width && h == s.height)) return b;
  dib_block* out = dib_create_like(b, w, h);
  if (!out) return b;
  dib_view d = dib_view_of(out);
  const int32_t x0 = (s.width - w) / 2, y0 = (s.height - h) / 2;
  for (int32_t y = 0; y < h; ++y) std::memcpy(d.row(y), s.at(x0, y0 + y), std::size_t(w) * s.bpp);
  dib_free(b);
  return out;
}

dib_block* dib_resize(dib_block* b, int32_t w, int32_t h) {
  dib_view s;
  if (!movable(b, s) || w <= 0 || h <= 0) return b;
  dib_block* out = dib_create_like(b, w, h);
  if (!out) return b;
  if (!dib_blit(out, 0, 0, w, h, b, 0, 0, s.width, s.height, 1)) {
    dib_free(out);
    return b;
  }
  dib_free(b);
  return out;
}

dib_block* dib_rotate90(dib_block* b) {
  dib_view s;
  if (!movable(b, s)) return b;
  dib_block* out = dib_create_like(b, s.height, s.width);
  if (!out) return b;
  dib_view d = dib_view_of(out);
  for (int32_t y = 0; y < d.height; ++y) {
    unsigned char* row = d.row(y);
    for (int32_t x = 0; x < d.width; ++x)
      std::memcpy(row + std::size_t(x) * s.bpp, s.at(s.width - 1 - y, x), s.bpp);
  }
  dib_free(b);
  return out;
}

dib_block* dib_mirror(dib_block* b) {
  dib_view s;
  if (!movable(b, s)) return b;
  dib_block* out = dib_create_like(b, s.width, s.height);
  if (!out) return b;
  dib_view d = dib_view_of(out);
  for (int32_t y = 0; y < d.height; ++y) {
    unsigned char* q = d.row(y);
    const unsigned char* p = s.row(y);
    for (int32_t x = 0; x < d.width; ++x)
      std::memcpy(q + std::size_t(x) * s.bpp, p + std::size_t(s.width - 1 - x) * s.bpp, s.bpp);
  }
  dib_free(b);
  return out;
}

dib_block* dib_flip(dib_block* b) {
  dib_view s;
  if (!movable(b, s)) return b;
  dib_block* out = dib_create_like(b, s.width, s.height);
  if (!out) return b;
  dib_view d = dib_view_of(out);
  for (int32_t y = 0; y < d.height; ++y)
    std::memcpy(d.row(y), s.row(s.height - 1 - y), std::size_t(s.width) * s.bpp);
  dib_free(b);
  return out;
}

// Positive degrees turn the picture anticlockwise as seen on screen (as
// dib_rotate90 does). Screen y points down, so a point (x, y) about the centre
// goes to (x cos a + y sin a, -x sin a + y cos a).
dib_block* dib_rotate(dib_block* b, float degrees, uint32_t background) {
  dib_view s;
  if (!movable(b, s) || (s.bpp != 3 && s.bpp != 1)) return b;
  const float radians = degrees * 3.1415925f / 180.0f;
  const double ca = std::cos(double(radians)), sa = std::sin(double(radians));
  const double w2 = s.width / 2.0, h2 = s.height / 2.0;
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  const double cx[4] = {-w2, w2, w2, -w2}, cy[4] = {-h2, -h2, h2, h2};
  for (int i = 0; i < 4; ++i) {
    // Through radius and polar angle (mathematical orientation: y up).
    const double r = std::hypot(cx[i], cy[i]), th = std::atan2(-cy[i], cx[i]) + radians;
    const double x = r * std::cos(th), y = -r * std::sin(th);
    min_x = i ? std::min(min_x, x) : x, max_x = i ? std::max(max_x, x) : x;
    min_y = i ? std::min(min_y, y) : y, max_y = i ? std::max(max_y, y) : y;
  }
  // A hair of slack so that 0 and 90 degrees keep their exact sizes through
  // the rounding of the trigonometry.
  const double new_w = std::floor(max_x - min_x + 1e-3), new_h = std::floor(max_y - min_y + 1e-3);
  if (!(new_w >= 1 && new_h >= 1) || new_w * new_h * s.bpp > kDibMaxBytes) return b;
  const int32_t nw = static_cast<int32_t>(new_w), nh = static_cast<int32_t>(new_h);
  dib_block* out = dib_create_like(b, nw, nh);
  if (!out) return b;
  dib_fill(out, background, nullptr);
  dib_view d = dib_view_of(out);
  // Destination (u, v) about its centre maps back to (u c - v s, u s + v c).
  auto turn = [&](auto sample) {
    for (int32_t y = 0; y < nh; ++y) {
      const double v = y - nh / 2.0, u0 = -nw / 2.0;
      double fx = u0 * ca - v * sa + w2, fy = u0 * sa + v * ca + h2;
      unsigned char* q = d.row(y);
      for (int32_t x = 0; x < nw; ++x, fx += ca, fy += sa, q += s.bpp) sample(s, fx, fy, q);
    }
  };
  if (s.bpp == 3)
    turn(dib_view_sample_n<3>);
  else
    turn(dib_view_sample_n<1>);
  dib_free(b);
  return out;
}
