// The brush engine's maths against the C runtime's long double versions:
// double exp, log, atan2 and hypot within 1 ulp (pow: 32 ulps) over the ranges
// the brush dynamics use; the float versions within 1 ulp over the whole float
// range (fmod exactly); and both at the special values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "paint/mp_math.h"
#include "paint/mp_mathf.h"

namespace {

int64_t ulps(double a, double b) {
  if (a == b) return 0;
  int64_t ia, ib;
  std::memcpy(&ia, &a, 8);
  std::memcpy(&ib, &b, 8);
  if (ia < 0) ia = INT64_MIN - ia;
  if (ib < 0) ib = INT64_MIN - ib;
  return ia > ib ? ia - ib : ib - ia;
}

TEST(MpMath, ExpAndLogWithinAnUlp) {
  int64_t worst_exp = 0, worst_log = 0;
  for (int i = -20000; i <= 20000; ++i) {
    const double x = i * 0.0350123;  // -700 .. 700
    worst_exp = std::max(worst_exp, ulps(mp_exp(x), double(std::exp((long double)x))));
    const double y = std::ldexp(1.0 + (i + 20000) / 40001.0, (i % 200) - 100);
    worst_log = std::max(worst_log, ulps(mp_log(y), double(std::log((long double)y))));
  }
  EXPECT_LE(worst_exp, 1);
  EXPECT_LE(worst_log, 1);
  EXPECT_EQ(mp_exp(0.0), 1.0);
  EXPECT_EQ(mp_log(1.0), 0.0);
  EXPECT_EQ(mp_exp(1000.0), std::numeric_limits<double>::infinity());
  EXPECT_EQ(mp_exp(-1000.0), 0.0);
  EXPECT_GT(mp_exp(-740.0), 0.0);  // subnormal, not flushed
  EXPECT_LE(ulps(mp_exp(-740.0), double(std::exp((long double)-740.0))), 1);
  EXPECT_TRUE(std::isnan(mp_exp(std::nan(""))));
  EXPECT_TRUE(std::isnan(mp_log(-1.0)));
  EXPECT_EQ(mp_log(0.0), -std::numeric_limits<double>::infinity());
  EXPECT_LE(ulps(mp_log(4.9e-324), double(std::log((long double)4.9e-324))), 1);
}

TEST(MpMath, PowCloseAndSpecialValues) {
  int64_t worst = 0;
  for (int i = 1; i <= 4000; ++i) {
    const double x = i * 0.00731, y = (i % 97) * 0.13 - 6.0;
    worst = std::max(worst, ulps(mp_pow(x, y), double(std::pow((long double)x, (long double)y))));
  }
  EXPECT_LE(worst, 32);
  EXPECT_EQ(mp_pow(2.0, 10.0), 1024.0);
  EXPECT_EQ(mp_pow(-2.0, 3.0), -8.0);
  EXPECT_EQ(mp_pow(3.0, -2.0), 1.0 / 9.0);
  EXPECT_EQ(mp_pow(1.5, 2.0), 2.25);
  EXPECT_TRUE(std::isnan(mp_pow(-2.0, 0.5)));
  EXPECT_EQ(mp_pow(0.0, 2.0), 0.0);
  EXPECT_EQ(mp_pow(0.0, -1.0), std::numeric_limits<double>::infinity());
  EXPECT_EQ(mp_pow(5.0, 0.0), 1.0);
  EXPECT_EQ(mp_pow(0.5, std::numeric_limits<double>::infinity()), 0.0);
}

TEST(MpMath, Atan2AndHypotWithinAnUlp) {
  int64_t worst_atan = 0, worst_hypot = 0;
  for (int i = -3000; i <= 3000; ++i) {
    const double y = i * 0.0137 + 0.001, x = std::cos(i * 0.37) * 3.0 + (i % 3 == 0 ? 1e-9 : 0.0);
    worst_atan = std::max(worst_atan, ulps(mp_atan2(y, x), double(std::atan2((long double)y, (long double)x))));
    const double t = std::ldexp(1.0 + (i + 3000) / 6001.0, i % 40);
    worst_atan = std::max(worst_atan, ulps(mp_atan2(t, 1.0), double(std::atan((long double)t))));
    worst_hypot = std::max(worst_hypot, ulps(mp_hypot(x, y), double(std::hypot((long double)x, (long double)y))));
  }
  EXPECT_LE(worst_atan, 1);
  EXPECT_LE(worst_hypot, 1);
  const double pi = 3.14159265358979323846;
  EXPECT_EQ(mp_atan2(0.0, -1.0), pi);
  EXPECT_EQ(mp_atan2(-0.0, -1.0), -pi);
  EXPECT_EQ(mp_atan2(1.0, 0.0), pi / 2);
  EXPECT_EQ(mp_atan2(-1.0, 0.0), -pi / 2);
  EXPECT_EQ(mp_atan2(1.0, 1.0), pi / 4);
  EXPECT_EQ(mp_hypot(3.0, 4.0), 5.0);
  EXPECT_EQ(mp_hypot(3e300, 4e300), 5e300);
  EXPECT_EQ(mp_hypot(3e-310, 4e-310), 5e-310);
  EXPECT_EQ(mp_hypot(std::nan(""), std::numeric_limits<double>::infinity()),
            std::numeric_limits<double>::infinity());
}

int32_t ulpsf(float a, float b) {
  if (a == b || (a != a && b != b)) return 0;
  if (a != a || b != b) return INT32_MAX;
  int32_t ia, ib;
  std::memcpy(&ia, &a, 4);
  std::memcpy(&ib, &b, 4);
  if (ia < 0) ia = INT32_MIN - ia;
  if (ib < 0) ib = INT32_MIN - ib;
  const int64_t d = int64_t(ia) - ib;
  return int32_t(d < 0 ? -d : d);
}

// Every 61 * 331st float bit pattern of either sign: all exponents, many
// mantissas. The worst error in ulps, and how many results are not the
// correctly rounded one: so rare that the Windows build's brush dynamics
// follow the native build's libm.
struct float_errors {
  int32_t worst = 0;
  int64_t inexact = 0, samples = 0;
};
template <class F>
float_errors over_floats(F&& f) {
  float_errors e;
  for (uint64_t b = 0; b < 0x100000000ull; b += 61 * 331) {
    float x;
    const uint32_t u = uint32_t(b);
    std::memcpy(&x, &u, 4);
    const int32_t d = f(x);
    e.worst = std::max(e.worst, d);
    e.inexact += d != 0;
    ++e.samples;
  }
  return e;
}

TEST(MpMathF, ExpAndLogCorrectlyRoundedAlmostEverywhere) {
  const float_errors ex = over_floats([](float x) {
    return ulpsf(mp_expf(x), float(std::exp((long double)x)));
  });
  const float_errors lg = over_floats([](float x) {
    return ulpsf(mp_logf(x), float(std::log((long double)x)));
  });
  EXPECT_LE(ex.worst, 1);
  EXPECT_LE(lg.worst, 1);
  EXPECT_LE(ex.inexact, ex.samples / 10000);
  EXPECT_LE(lg.inexact, lg.samples / 10000);
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(mp_expf(0.0f), 1.0f);
  EXPECT_EQ(mp_expf(-inf), 0.0f);
  EXPECT_EQ(mp_expf(inf), inf);
  EXPECT_EQ(mp_expf(88.8f), inf);
  EXPECT_GT(mp_expf(-103.0f), 0.0f);  // subnormal, not flushed
  EXPECT_TRUE(std::isnan(mp_expf(std::nanf(""))));
  EXPECT_EQ(mp_logf(1.0f), 0.0f);
  EXPECT_EQ(mp_logf(0.0f), -inf);
  EXPECT_EQ(mp_logf(-0.0f), -inf);
  EXPECT_EQ(mp_logf(inf), inf);
  EXPECT_TRUE(std::isnan(mp_logf(-1.0f)));
  EXPECT_TRUE(std::isnan(mp_logf(std::nanf(""))));
}

TEST(MpMathF, SinCosCorrectlyRoundedAlmostEverywhere) {
  const auto sin_err = [](float x) {
    float s, c;
    mp_sincosf(x, &s, &c);
    return ulpsf(s, float(std::sin((long double)x)));
  };
  const auto cos_err = [](float x) {
    float s, c;
    mp_sincosf(x, &s, &c);
    return ulpsf(c, float(std::cos((long double)x)));
  };
  for (const float_errors& e : {over_floats(sin_err), over_floats(cos_err)}) {
    EXPECT_LE(e.worst, 1);
    EXPECT_LE(e.inexact, e.samples / 10000);
  }
  float s, c;
  mp_sincosf(-0.0f, &s, &c);
  EXPECT_TRUE(s == 0.0f && std::signbit(s));
  EXPECT_EQ(c, 1.0f);
  mp_sincosf(std::numeric_limits<float>::infinity(), &s, &c);
  EXPECT_TRUE(std::isnan(s) && std::isnan(c));
}

TEST(MpMathF, Atan2HypotAndFmodOverPairs) {
  int32_t worst_atan = 0, worst_hypot = 0, fmod_wrong = 0, inexact_atan = 0;
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed;
  };
  for (int i = 0; i < 400000; ++i) {
    // Random signs, mantissas and exponents within 40 binades of each other,
    // so both the small and the large quotients come up.
    const float y = std::ldexp(float(next() >> 8) / 16777216.0f, int(next() % 40) - 20) *
                    (next() & 1 ? -1.0f : 1.0f);
    const float x = std::ldexp(float(next() >> 8) / 16777216.0f, int(next() % 40) - 20) *
                    (next() & 1 ? -1.0f : 1.0f);
    const int32_t atan_ulps = ulpsf(mp_atan2f(y, x), float(std::atan2((long double)y, (long double)x)));
    worst_atan = std::max(worst_atan, atan_ulps);
    inexact_atan += atan_ulps != 0;
    worst_hypot = std::max(worst_hypot, ulpsf(mp_hypotf(x, y), float(std::hypot((long double)x, (long double)y))));
    const float ours = mp_fmodf(y, x), exact = std::fmod(y, x);  // sign of a zero included
    if (x != 0.0f && std::memcmp(&ours, &exact, 4) != 0) ++fmod_wrong;
  }
  EXPECT_LE(worst_atan, 1);
  EXPECT_LE(worst_hypot, 1);
  EXPECT_LE(inexact_atan, 40);  // of 400000
  EXPECT_EQ(fmod_wrong, 0);

  const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  const float pi = 3.14159265358979323846f;
  EXPECT_EQ(mp_atan2f(0.0f, -1.0f), pi);
  EXPECT_EQ(mp_atan2f(-0.0f, -1.0f), -pi);
  EXPECT_EQ(mp_atan2f(-0.0f, -0.0f), -pi);
  EXPECT_TRUE(std::signbit(mp_atan2f(-0.0f, 0.0f)));
  EXPECT_EQ(mp_atan2f(1.0f, 0.0f), pi / 2);
  EXPECT_EQ(mp_atan2f(inf, -inf), 0.75f * pi);
  EXPECT_EQ(mp_atan2f(-inf, inf), -0.25f * pi);
  EXPECT_EQ(mp_atan2f(1.0f, -inf), pi);
  EXPECT_EQ(mp_atan2f(1.0f, 1.0f), pi / 4);
  EXPECT_TRUE(std::isnan(mp_atan2f(nan, 1.0f)));
  EXPECT_EQ(mp_hypotf(3.0f, 4.0f), 5.0f);
  EXPECT_EQ(mp_hypotf(3e38f, 3e38f), float(std::hypot(3e38, 3e38)));  // no overflow
  EXPECT_EQ(mp_hypotf(nan, -inf), inf);
  EXPECT_TRUE(std::isnan(mp_hypotf(nan, 1.0f)));
  // fmod: the brush's angle wrapping, huge quotients, signs and the NaN cases.
  EXPECT_EQ(mp_fmodf(-90.0f + 720.5f, 360.0f), 270.5f);
  EXPECT_EQ(mp_fmodf(3e38f, 7.0f), std::fmod(3e38f, 7.0f));
  EXPECT_EQ(mp_fmodf(-3e38f, 1e-38f), std::fmod(-3e38f, 1e-38f));
  EXPECT_TRUE(std::signbit(mp_fmodf(-720.0f, 360.0f)));
  EXPECT_EQ(mp_fmodf(5.0f, inf), 5.0f);
  EXPECT_TRUE(std::isnan(mp_fmodf(5.0f, 0.0f)));
  EXPECT_TRUE(std::isnan(mp_fmodf(inf, 2.0f)));
  EXPECT_TRUE(std::isnan(mp_fmodf(5.0f, nan)));
}

}  // namespace
