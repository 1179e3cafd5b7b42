#include "paint/mp_math.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
inline uint64_t bits(double x) {
  uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  return u;
}
inline double from_bits(uint64_t u) {
  double x;
  std::memcpy(&x, &u, sizeof x);
  return x;
}
// 2^k for -1022 <= k <= 1023. In SSE2 registers where there are any: on
// 32-bit x86 a 64-bit integer goes through memory in two halves, and reading
// it back as a double then stalls the store forwarding.
inline double two_to(int k) {
#if defined(__SSE2__)
  return _mm_cvtsd_f64(_mm_castsi128_pd(_mm_slli_epi64(_mm_cvtsi32_si128(k + 1023), 52)));
#else
  return from_bits(uint64_t(k + 1023) << 52);
#endif
}

constexpr double kLn2Hi = 6.93147180369123816490e-01, kLn2Lo = 1.90821492927058770002e-10;
constexpr double kInvLn2 = 1.44269504088896338700e+00;
constexpr double kLg1 = 6.666666666666735130e-01, kLg2 = 3.999999999940941908e-01,
                 kLg3 = 2.857142874366239149e-01, kLg4 = 2.222219843214978396e-01,
                 kLg5 = 1.818357216161805012e-01, kLg6 = 1.531383769920937332e-01,
                 kLg7 = 1.479819860511658591e-01;
constexpr double kAtanHi[4] = {4.63647609000806093515e-01, 7.85398163397448278999e-01,
                               9.82793723247329054082e-01, 1.57079632679489655800e+00};
constexpr double kAtanLo[4] = {2.26987774529616870924e-17, 3.06161699786838301793e-17,
                               1.39033110312309984516e-17, 6.12323399573676603587e-17};
constexpr double kAt[11] = {3.33333333333329318027e-01,  -1.99999999998764832476e-01,
                            1.42857142725034663711e-01,  -1.11111104054623557880e-01,
                            9.09088713343650656196e-02,  -7.69187620504482999495e-02,
                            6.66107313738753120669e-02,  -5.83357013379057348645e-02,
                            4.97687799461593236017e-02,  -3.65315727442169155270e-02,
                            1.62858201153657823623e-02};
constexpr double kPi = 3.1415926535897931160e+00, kPiLo = 1.2246467991473531772e-16;

// atan of a finite x >= 0.
double atan_pos(double x) {
  if (x >= 0x1p66) return kAtanHi[3] + kAtanLo[3];
  int id;
  if (x < 0.4375) {
    if (x < 0x1p-27) return x;
    id = -1;
  } else if (x < 1.1875) {
    if (x < 0.6875) {
      id = 0;
      x = (2.0 * x - 1.0) / (2.0 + x);
    } else {
      id = 1;
      x = (x - 1.0) / (x + 1.0);
    }
  } else if (x < 2.4375) {
    id = 2;
    x = (x - 1.5) / (1.0 + 1.5 * x);
  } else {
    id = 3;
    x = -1.0 / x;
  }
  const double z = x * x, w = z * z;
  const double s1 = z * (kAt[0] + w * (kAt[2] + w * (kAt[4] + w * (kAt[6] + w * (kAt[8] + w * kAt[10])))));
  const double s2 = w * (kAt[1] + w * (kAt[3] + w * (kAt[5] + w * (kAt[7] + w * kAt[9]))));
  if (id < 0) return x - x * (s1 + s2);
  return kAtanHi[id] - ((x * (s1 + s2) - kAtanLo[id]) - x);
}
}  // namespace

double mp_atan2(double y, double x) {
  if (x != x || y != y) return x + y;
  const bool yneg = std::signbit(y), xneg = std::signbit(x);
  if (y == 0.0) return xneg ? (yneg ? -kPi : kPi) : y;
  if (x == 0.0) return yneg ? -kAtanHi[3] : kAtanHi[3];
  if (std::isinf(x)) {
    if (std::isinf(y)) {
      const double z = xneg ? 3.0 * kAtanHi[1] : kAtanHi[1];
      return yneg ? -z : z;
    }
    return xneg ? (yneg ? -kPi : kPi) : (yneg ? -0.0 : 0.0);
  }
  if (std::isinf(y)) return yneg ? -kAtanHi[3] : kAtanHi[3];
  const double ax = std::fabs(x), ay = std::fabs(y);
  double z;
  if (ay > ax * 0x1p60)
    z = kAtanHi[3] + 0.5 * kPiLo;
  else if (xneg && ay < ax * 0x1p-60)
    z = 0.0;
  else
    z = atan_pos(ay / ax);
  if (!xneg) return yneg ? -z : z;
  const double r = kPi - (z - kPiLo);
  return yneg ? -r : r;
}

double mp_hypot(double x, double y) {
  if (std::isinf(x) || std::isinf(y)) return std::numeric_limits<double>::infinity();
  if (x != x || y != y) return x + y;
  x = std::fabs(x), y = std::fabs(y);
  if (x < y) std::swap(x, y);
  if (x == 0.0) return 0.0;
  // Scaled by a power of two near the larger, so that the squares neither
  // overflow nor vanish.
  if (x > 0x1p500 || y < 0x1p-500) {
    int e;
    std::frexp(x, &e);
    const double sx = std::ldexp(x, -e), sy = std::ldexp(y, -e);
    return std::ldexp(std::sqrt(sx * sx + sy * sy), e);
  }
  return std::sqrt(x * x + y * y);
}

namespace {
// 2^(j/64), j = 0..63, from the long double exp2 once.
struct exp_table {
  double t[64];
  exp_table() {
    for (int j = 0; j < 64; ++j) t[j] = double(std::exp2((long double)j / 64.0L));
  }
};
const exp_table& exp2_64() {
  static const exp_table table;
  return table;
}
}  // namespace

double mp_exp(double x) {
  if (x != x) return x;
  if (x > 709.782712893383973096) return std::numeric_limits<double>::infinity();
  if (x < -745.13321910194110842) return 0.0;
  if (x < 0x1p-54 && x > -0x1p-54) return 1.0 + x;
  // x = (64 m + j) ln2 / 64 + r, |r| <= ln2 / 128: exp(x) = 2^m 2^(j/64) exp(r),
  // with exp(r) from its series (to r^5: the rest is below half an ulp). The
  // high part of ln2 / 64 has trailing zeros, so n times it is exact.
  const double n_real = x * (64.0 * kInvLn2);
  const int n = int(n_real + (n_real < 0 ? -0.5 : 0.5));
  const double r = (x - n * (kLn2Hi / 64.0)) - n * (kLn2Lo / 64.0);
  const double p = r + r * r * (0.5 + r * (1.0 / 6.0 + r * (1.0 / 24.0 + r * (1.0 / 120.0))));
  const int j = n & 63, k = (n - j) / 64;
  const double t = exp2_64().t[j];
  const double y = t + t * p;
  if (k >= -1021) return k > 1023 ? y * 2.0 * two_to(k - 1) : y * two_to(k);
  return y * two_to(k + 1000) * two_to(-1000);  // into the subnormals
}

double mp_log(double x) {
  if (x != x) return x;
  if (x < 0.0) return std::numeric_limits<double>::quiet_NaN();
  if (x == 0.0) return -std::numeric_limits<double>::infinity();
  if (std::isinf(x)) return x;
  int k = 0;
  if (x < 0x1p-1022) {  // subnormal
    x *= 0x1p54;
    k = -54;
  }
  // x = 2^k m with sqrt(2)/2 < m <= sqrt(2); f = m - 1.
#if defined(__SSE2__)
  const __m128i xi = _mm_castpd_si128(_mm_set_sd(x));
  k += _mm_cvtsi128_si32(_mm_srli_epi64(xi, 52)) - 1023;
  const __m128i mant = _mm_and_si128(xi, _mm_set_epi32(0, 0, 0x000FFFFF, -1));
  double m = _mm_cvtsd_f64(_mm_castsi128_pd(_mm_or_si128(mant, _mm_set_epi32(0, 0, 0x3FF00000, 0))));
#else
  const uint64_t u = bits(x);
  k += int(u >> 52) - 1023;
  double m = from_bits((u & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
#endif
  if (m > 1.41421356237309504880) {
    m *= 0.5;
    ++k;
  }
  const double f = m - 1.0;
  const double s = f / (2.0 + f), z = s * s, w = z * z;
  const double t1 = w * (kLg2 + w * (kLg4 + w * kLg6));
  const double t2 = z * (kLg1 + w * (kLg3 + w * (kLg5 + w * kLg7)));
  const double r = t2 + t1, hfsq = 0.5 * f * f;
  return k * kLn2Hi - ((hfsq - (s * (hfsq + r) + k * kLn2Lo)) - f);
}

double mp_pow(double x, double y) {
  if (y == 0.0 || x == 1.0) return 1.0;
  if (x != x || y != y) return x + y;
  if (std::isinf(y)) {
    const double ax = std::fabs(x);
    if (ax == 1.0) return 1.0;
    return (ax > 1.0) == (y > 0) ? std::numeric_limits<double>::infinity() : 0.0;
  }
  const bool y_int = std::floor(y) == y;
  const bool y_odd = y_int && std::fabs(y) < 0x1p53 && std::fmod(std::fabs(y), 2.0) == 1.0;
  if (x == 0.0) {
    const double z = y > 0 ? 0.0 : std::numeric_limits<double>::infinity();
    return y_odd && std::signbit(x) ? -z : z;
  }
  if (std::isinf(x)) {
    const double z = y > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return x < 0 && y_odd ? -z : z;
  }
  if (y_int && std::fabs(y) <= 64.0) {
    // Small whole powers by squaring: exact where the result is representable.
    double base = y < 0 ? 1.0 / x : x, z = 1.0;
    for (unsigned n = unsigned(std::fabs(y)); n; n >>= 1, base *= base)
      if (n & 1) z *= base;
    return z;
  }
  if (x < 0.0) {
    if (!y_int) return std::numeric_limits<double>::quiet_NaN();
    const double z = mp_exp(y * mp_log(-x));
    return y_odd ? -z : z;
  }
  return mp_exp(y * mp_log(x));
}
