/* Float exp, log, hypot, atan2, fmod and sincos for the brush dynamics, inline and in C
 * as well as C++: the Windows build compiles libmypaint with these in place of
 * the runtime's (tools/winlibs/mypaint_mathf.h), whose float calls widen to
 * double x87 routines and return through the x87 stack on 32-bit x86.
 * Each works in double with a short polynomial and rounds once to float: exp,
 * log and atan2 within an ulp of the exact result, hypot and fmod exact up to
 * that rounding (fmod exactly). */
#ifndef QM_PAINT_MP_MATHF_H
#define QM_PAINT_MP_MATHF_H

#include <math.h>
#include <stdint.h>
#include <string.h>

static inline uint32_t mp_hi_word(double x) {
  uint64_t u;
  memcpy(&u, &x, sizeof u);
  return (uint32_t)(u >> 32);
}
static inline double mp_with_hi_word(double x, uint32_t hi) {
  uint64_t u;
  memcpy(&u, &x, sizeof u);
  u = (u & 0xffffffffu) | ((uint64_t)hi << 32);
  memcpy(&x, &u, sizeof u);
  return x;
}

/* exp(x) = 2^(k/32) 2^(r/32), k whole and |r| <= 1/2; 2^(r/32) to r^5 is
 * within 2^-46 of the truth, so that the result rounds as the exact one would
 * but for the rarest ties (and a native libm's then agrees with it). */
static inline float mp_expf(float x) {
  static const double t32[32] = {
      0x1.0000000000000p+0, 0x1.059b0d3158574p+0, 0x1.0b5586cf9890fp+0, 0x1.11301d0125b51p+0,
      0x1.172b83c7d517bp+0, 0x1.1d4873168b9aap+0, 0x1.2387a6e756238p+0, 0x1.29e9df51fdee1p+0,
      0x1.306fe0a31b715p+0, 0x1.371a7373aa9cbp+0, 0x1.3dea64c123422p+0, 0x1.44e086061892dp+0,
      0x1.4bfdad5362a27p+0, 0x1.5342b569d4f82p+0, 0x1.5ab07dd485429p+0, 0x1.6247eb03a5585p+0,
      0x1.6a09e667f3bcdp+0, 0x1.71f75e8ec5f74p+0, 0x1.7a11473eb0187p+0, 0x1.82589994cce13p+0,
      0x1.8ace5422aa0dbp+0, 0x1.93737b0cdc5e5p+0, 0x1.9c49182a3f090p+0, 0x1.a5503b23e255dp+0,
      0x1.ae89f995ad3adp+0, 0x1.b7f76f2fb5e47p+0, 0x1.c199bdd85529cp+0, 0x1.cb720dcef9069p+0,
      0x1.d5818dcfba487p+0, 0x1.dfc97337b9b5fp+0, 0x1.ea4afa2a490dap+0, 0x1.f50765b6e4540p+0};
  if (!(x > -104.0f)) return x != x ? x + x : 0.0f; /* NaN, or below the subnormals */
  if (x > 89.0f) return (float)(1e300 * 1e300);     /* overflows to infinity */
  const double z = (double)x * 0x1.71547652b82fep+5; /* x * 32 / ln 2 */
  /* Rounded to a whole number by the 1.5 * 2^52 shift: the low word is k. */
  const double shifted = z + 0x1.8p52;
  uint64_t bits;
  memcpy(&bits, &shifted, sizeof bits);
  const int32_t k = (int32_t)(uint32_t)bits;
  const double r = (z - (shifted - 0x1.8p52)) * 0x1.62e42fefa39efp-6; /* r ln2 / 32 */
  const double p = 1.0 + r + r * r * (0.5 + r * (1.0 / 6 + r * (1.0 / 24 + r * (1.0 / 120))));
  /* 2^(k >> 5) put straight into the exponent of the table's entry. */
  const double t = t32[k & 31];
  return (float)(mp_with_hi_word(t, mp_hi_word(t) + ((uint32_t)(k >> 5) << 20)) * p);
}

/* log(x) = e ln2 + log(m), sqrt(1/2) <= m < sqrt(2), from s = (m - 1) / (m + 1):
 * log(m) = 2 (s + s^3/3 + ... + s^13/13), within 2^-40 of it. */
static inline float mp_logf(float x) {
  if (!(x > 0.0f)) return x == 0.0f ? -1.0f / 0.0f : (x - x) / (x - x);
  if (x > 3.40282347e38f) return x; /* infinity */
  const double d = x;                /* float subnormals are normal doubles */
  uint32_t hi = mp_hi_word(d);
  int e = (int)(hi >> 20) - 1023;
  hi = (hi & 0x000fffffu) | 0x3ff00000u;
  if (hi > 0x3ff6a09eu) { /* m > sqrt(2): halve it */
    hi -= 0x00100000u;
    ++e;
  }
  const double m = mp_with_hi_word(d, hi);
  const double s = (m - 1.0) / (m + 1.0), s2 = s * s;
  const double lm =
      2.0 * s *
      (1.0 + s2 * (1.0 / 3 +
                   s2 * (1.0 / 5 + s2 * (1.0 / 7 + s2 * (1.0 / 9 + s2 * (1.0 / 11 + s2 * (1.0 / 13)))))));
  return (float)(e * 0x1.62e42fefa39efp-1 + lm);
}

/* A float's square is exact in double and cannot overflow there. */
static inline float mp_hypotf(float x, float y) {
  const double dx = x, dy = y;
  if (dx * 0.0 != 0.0 || dy * 0.0 != 0.0) { /* an infinity or a NaN */
    if (x - x != 0.0f && x == x) return 1.0f / 0.0f;
    if (y - y != 0.0f && y == y) return 1.0f / 0.0f;
    return x + y;
  }
  return (float)sqrt(dx * dx + dy * dy);
}

/* atan(t), 0 <= t <= 1. Below tan(pi/16) from its series to t^15 (within
 * 2^-41 of it, relatively); above, t is moved to u = (t - c) / (1 + t c) with
 * c the tangent of the middle of its sixteenth of a turn, |u| <= tan(pi/32),
 * and the series to u^9 is within 2^-40 of an angle of at least pi/16. */
static inline double mp_atan_unit(double t) {
  static const double mid[4] = {0.0, 0x1.2d97c7f3321d2p-2, 0x1.f6a7a2955385ep-2,
                                0x1.5fdbbe9bba775p-1};
  static const double tan_mid[4] = {0.0, 0x1.36a08355c63dcp-2, 0x1.11ab7190834ebp-1,
                                    0x1.a43002ae4284fp-1};
  if (t < 0.198912367379658) {
    const double t2 = t * t;
    return t * (1.0 - t2 * (1.0 / 3 - t2 * (1.0 / 5 - t2 * (1.0 / 7 - t2 * (1.0 / 9 -
                t2 * (1.0 / 11 - t2 * (1.0 / 13 - t2 * (1.0 / 15))))))));
  }
  const int i = t < 0.41421356237309503 ? 1 : (t < 0.6681786379192989 ? 2 : 3);
  const double c = tan_mid[i];
  const double u = (t - c) / (1.0 + t * c), u2 = u * u;
  return mid[i] + u * (1.0 - u2 * (1.0 / 3 - u2 * (1.0 / 5 - u2 * (1.0 / 7 - u2 * (1.0 / 9)))));
}

static inline float mp_atan2f(float y, float x) {
  const double pi = 0x1.921fb54442d18p+1;
  if (x != x || y != y) return x + y;
  const int yneg = y < 0.0f || (y == 0.0f && 1.0f / y < 0.0f);
  const int xneg = x < 0.0f || (x == 0.0f && 1.0f / x < 0.0f);
  double ay = yneg ? -(double)y : (double)y, ax = xneg ? -(double)x : (double)x;
  double a;
  if (ay == 0.0) {
    a = xneg ? pi : 0.0;
  } else if (ax - ax != 0.0 || ay - ay != 0.0) { /* an infinity */
    const int xi = ax - ax != 0.0, yi = ay - ay != 0.0;
    if (xi && yi)
      a = xneg ? 0.75 * pi : 0.25 * pi;
    else if (yi)
      a = 0.5 * pi;
    else
      a = xneg ? pi : 0.0;
  } else {
    a = ay <= ax ? mp_atan_unit(ay / ax) : 0.5 * pi - mp_atan_unit(ax / ay);
    if (xneg) a = pi - a;
  }
  return (float)(yneg ? -a : a);
}

/* fmod of floats, exact: with |x / y| < 2^29 the quotient times y and the
 * remainder are exact in double; a quotient rounded up to the next whole
 * number shows as a remainder of the wrong sign. */
static inline float mp_fmodf(float x, float y) {
  const double dx = x, dy = y;
  if (y == 0.0f || x - x != 0.0f || y != y) return (x * y) / (x * y); /* NaN */
  const double ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
  if (ax < ay) return x;
  if (ax >= ay * 0x1p29) {
    double r = ax; /* long division, a bit at a time */
    double b = ay;
    while (b * 2.0 <= r) b *= 2.0;
    for (; b >= ay; b *= 0.5)
      if (r >= b) r -= b;
    return (float)(dx < 0 ? -r : r);
  }
  const double q = ax / ay;
  /* Whole part of q below 2^29: through a 32-bit integer. */
  double r = ax - (double)(int32_t)q * ay;
  if (r < 0.0) r += ay;
  return (float)(dx < 0 ? -r : r);
}

/* sin and cos of a float at once: x = n pi/2 + r, |r| <= pi/4, with pi/2 in
 * two parts (Cody and Waite) so that n pi/2 is exact for |n| < 2^20; the
 * series to r^13 and r^14 are within 2^-45. Larger angles take the runtime's
 * double sin and cos. */
static inline void mp_sincosf(float x, float* sin_x, float* cos_x) {
  const double d = x;
  if (!(d - d == 0.0)) { /* an infinity or a NaN */
    *sin_x = *cos_x = x - x;
    return;
  }
  if (d > 1e6 || d < -1e6) {
    *sin_x = (float)sin(d);
    *cos_x = (float)cos(d);
    return;
  }
  const double n = (double)(int32_t)(d * 0x1.45f306dc9c883p-1 + (d < 0 ? -0.5 : 0.5)); /* x 2/pi */
  const double r = (d - n * 1.57079632673412561417e+00) - n * 6.07710050650619224932e-11;
  const double r2 = r * r;
  const double s =
      r * (1.0 - r2 / 6 * (1.0 - r2 / 20 * (1.0 - r2 / 42 * (1.0 - r2 / 72 * (1.0 - r2 / 110 *
          (1.0 - r2 / 156))))));
  const double c =
      1.0 - r2 / 2 * (1.0 - r2 / 12 * (1.0 - r2 / 30 * (1.0 - r2 / 56 * (1.0 - r2 / 90 *
          (1.0 - r2 / 132 * (1.0 - r2 / 182))))));
  switch ((int32_t)n & 3) {
    case 0: *sin_x = (float)s, *cos_x = (float)c; break;
    case 1: *sin_x = (float)c, *cos_x = (float)-s; break;
    case 2: *sin_x = (float)-s, *cos_x = (float)-c; break;
    default: *sin_x = (float)-c, *cos_x = (float)s; break;
  }
}

#endif
