#pragma once
// Per-pixel blend primitives on a 24-bit pixel p (bytes blue, green, red), with
// the optional coverage byte a of a parallel 8-bit plane, an opacity g in 0..1
// and a colour c (0x00BBGGRR). Inline: the painting code calls them per pixel.
#include <array>
#include <cstdint>

#include "base/dib.h"

// alpha_table[i] = i / 255: coverage byte to opacity. Built at compile time,
// so it exists before any start-up code runs.
inline constexpr std::array<float, 256> alpha_table = [] {
  std::array<float, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<float>(i) / 255.0f;
  return t;
}();

// Opacities within 0.01 of 1 count as exactly 1; the result is limited to 0..1.
inline float dib_opacity(float g) {
  if (!(g > 0.0f)) return 0.0f;  // also NaN
  if (g >= 0.99f) return 1.0f;
  return g;
}
inline bool dib_opacity_is_one(float g) { return g >= 0.99f && g <= 1.01f; }

// Added before truncating a blend whose exact value may be whole: float
// rounding must not turn 128 into 127.99999 and then 127.
inline constexpr float kDibTruncSlack = 1.0f / 1024.0f;

// Integer blend t + (s - t) * a / 256 with the quotient truncated toward zero
// (so (0 - 255) * 128 / 256 gives -127), done with a shift.
inline uint8_t dib_blend256(int t, int s, int a) {
  int d = (s - t) * a;
  return static_cast<uint8_t>(t + ((d + ((d >> 31) & 255)) >> 8));
}

// set with opacity: p = c at full opacity, else p += g * (c - p), truncated.
inline void dib_px_set(unsigned char* p, uint32_t c, float g) {
  const uint8_t cb = dib_blue(c), cg = dib_green(c), cr = dib_red(c);
  g = dib_opacity(g);
  if (g == 1.0f) {
    p[0] = cb, p[1] = cg, p[2] = cr;
    return;
  }
  p[0] = static_cast<uint8_t>(p[0] + g * (cb - p[0]));
  p[1] = static_cast<uint8_t>(p[1] + g * (cg - p[1]));
  p[2] = static_cast<uint8_t>(p[2] + g * (cr - p[2]));
}

// The same towards the inverse of the current pixel.
inline void dib_px_set_inverse(unsigned char* p, float g) {
  uint32_t inv = dib_colour(255 - p[2], 255 - p[1], 255 - p[0]);
  dib_px_set(p, inv, g);
}

// over with coverage. With a plane (a non-null): A = alpha(a), T = g + A - gA;
// p = (1 - g) p A / T + g c / T and a = T * 255, truncated. Without: p += g (c - p).
// bgra (optional) receives the result.
inline void dib_px_over(unsigned char* p, unsigned char* a, uint32_t c, float g,
                        unsigned char* bgra = nullptr) {
  g = dib_opacity(g);
  const float cb = dib_blue(c), cg = dib_green(c), cr = dib_red(c);
  if (a) {
    const float A = alpha_table[*a];
    const float T = g + A - g * A;
    // g = 0 changes nothing (T = A): leaving early also keeps the pixel exact.
    if (g != 0.0f) {
      // The shares sum to one, but in floats the sum can fall a hair short of
      // a whole number; kDibTruncSlack keeps such results from truncating one
      // step down, or every dab of a colour over itself would darken it.
      const float inv = 1.0f / T;
      const float keep = (1.0f - g) * A * inv, add = g * inv;
      p[0] = static_cast<uint8_t>(keep * p[0] + add * cb + kDibTruncSlack);
      p[1] = static_cast<uint8_t>(keep * p[1] + add * cg + kDibTruncSlack);
      p[2] = static_cast<uint8_t>(keep * p[2] + add * cr + kDibTruncSlack);
      *a = static_cast<uint8_t>(T * 255.0f + kDibTruncSlack);
    }
  } else {
    p[0] = static_cast<uint8_t>(p[0] + g * (cb - p[0]));
    p[1] = static_cast<uint8_t>(p[1] + g * (cg - p[1]));
    p[2] = static_cast<uint8_t>(p[2] + g * (cr - p[2]));
  }
  if (bgra) {
    bgra[0] = p[0], bgra[1] = p[1], bgra[2] = p[2];
    bgra[3] = a ? *a : 255;
  }
}

// paint and set coverage: p = c; with a plane a = g * 255.
inline void dib_px_paint(unsigned char* p, unsigned char* a, uint32_t c, float g) {
  p[0] = dib_blue(c), p[1] = dib_green(c), p[2] = dib_red(c);
  if (a) *a = static_cast<uint8_t>(dib_opacity(g) * 255.0f);
}

// plain set / erase: without a plane p = c; with one p = white and a = 0.
inline void dib_px_plain(unsigned char* p, unsigned char* a, uint32_t c) {
  if (a) {
    p[0] = p[1] = p[2] = 255;
    *a = 0;
  } else {
    p[0] = dib_blue(c), p[1] = dib_green(c), p[2] = dib_red(c);
  }
}

// fade out: with a plane the coverage drops by g (reaching 0 leaves white);
// without one each channel moves towards white by g.
inline void dib_px_fade(unsigned char* p, unsigned char* a, float g) {
  g = dib_opacity(g);
  if (a) {
    const float A = alpha_table[*a];
    if (A > g) {
      *a = static_cast<uint8_t>((A - g) * 255.0f);
    } else {
      *a = 0;
      p[0] = p[1] = p[2] = 255;
    }
  } else {
    p[0] = static_cast<uint8_t>(g * (255 - p[0]) + p[0]);
    p[1] = static_cast<uint8_t>(g * (255 - p[1]) + p[1]);
    p[2] = static_cast<uint8_t>(g * (255 - p[2]) + p[2]);
  }
}
