// The brush engine's exp, log and pow against the C runtime's long double
// versions: within 1 ulp (pow: 32 ulps) over the ranges the brush dynamics use
// and at the special values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "paint/mp_math.h"

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

}  // namespace
