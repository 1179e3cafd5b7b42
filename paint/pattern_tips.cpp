#include "paint/pattern_tips.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/alloc.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

unsigned char to_byte(double v) { return static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v); }

// The weakening that every second map applies: full coverage at full strength.
void second_map(unsigned char* second, double x) {
  const double f = 0.25 + 0.75 * x;
  for (int v = 0; v < 256; ++v) second[v] = to_byte(std::floor(v * f + 0.5));
}

// Lower strength cuts more of the soft edge away.
void variant_threshold(unsigned char* first, double x) {
  const int cut = int((1 - x) * 192);
  for (int v = 0; v < 256; ++v)
    first[v] = v < cut ? 0 : to_byte(double(v - cut) * 255 / (255 - cut));
}

void variant_ramp(unsigned char* first, double x) {
  const int start = int((1 - x) * 160);
  for (int v = 0; v < 256; ++v) first[v] = to_byte(std::max(0, v - start) * (1 + x * 0.6));
}

void comb(unsigned char* first, int n, double start) {
  std::memset(first, 0, 256);
  const double step = 255.0 / n;
  for (int k = 0; k < n; ++k) {
    const int at = int(std::floor((k + start) * step + 0.5));
    if (at > 0 && at < 256) first[at] = 255;
  }
}

// A smooth curve over the entries 0..top (the range of the type's tips):
// increments that shrink (strong pens) or grow (weak pens) by a fixed rate,
// so weaker strokes keep only the tip's core.
void variant_curve(unsigned char* first, double x, const pattern_params& p, int top) {
  const double rate = (x - p.curve_a) / p.curve_b;
  double g[256];
  double step = 1.0;
  g[0] = 0;
  for (int v = 1; v <= top; ++v) {
    g[v] = g[v - 1] + step;
    step *= 1.0 - rate * 4 / top;
  }
  for (int v = 0; v < 256; ++v)
    first[v] = v > top ? to_byte(top) : to_byte(std::floor(g[v] * top / g[top] + 0.5));
}

}  // namespace

void transfer_generate(const pattern_params& p, unsigned char* table, pattern_rng& rng) {
  std::memset(table, 0, kTransferSide * kTransferSide);
  if (p.mode != 0 || p.transfer_variant == 6) return;
  for (int r = 0; r < kTransferSide; ++r) {
    const double x = r / 511.0;
    unsigned char* first = table + r * kTransferSide;
    switch (p.transfer_variant) {
      case 0: variant_threshold(first, x); break;
      case 1: variant_ramp(first, x); break;
      case 2: {
        const int n = rng.next() % 6 < 3 ? rng.next() % 3 + r / 9 + 2 : rng.next() % 4 + r / 7 + 3;
        comb(first, n, rng.next() % 199 < 100 ? 0.49 : 0.35);
        break;
      }
      case 5: {
        const int n = rng.next() % 19 < 9 ? rng.next() % 21 + 7 * r / 20 + 4
                                          : rng.next() % 17 + 4 * r / 11 + 3;
        comb(first, n, rng.next() % 399 < 200 ? 0.89 : 1.53);
        break;
      }
      case 3: variant_curve(first, x, p, 64); break;
      case 4: variant_curve(first, x, p, 255); break;
      default: break;
    }
    second_map(first + 256, x);
  }
}

// Every sample of every phase lies on one grid of 0.1 pixel around the tip
// centre, so the profile is summed once over that grid and each pixel of
// each phase is a 10 x 10 block of it, read from running sums.
int tips_profile(const pattern_params& p, unsigned char* tips, pattern_rng& rng) {
  const int32_t d = p.size;
  const double R = d / 2.0, reach = p.radius * R, scale = kPi / 2 / (p.profile * R);
  const int kind = p.profile_kind;
  // Grid index u = 10 x + a - i runs over -9 .. 10 d - 1.
  const int32_t n = 10 * d + 9;
  const std::size_t side = std::size_t(n) + 1;
  double* sum = nullptr;
  if (kind != kProfileSpeckle) {
    sum = static_cast<double*>(mem_calloc(side * side * sizeof(double)));
    if (!sum) return 0;
    for (int32_t v = 0; v < n; ++v) {
      const double sy = (v - 9) * 0.1 + 0.05 - R;
      for (int32_t u = 0; u < n; ++u) {
        const double sx = (u - 9) * 0.1 + 0.05 - R;
        const double r = std::sqrt(sx * sx + sy * sy);
        double add = 0;
        if (r <= reach) {
          const double angle = r * scale + kPi / 2;
          add = angle <= kPi ? 2.55 * std::sin(angle) : -2.55 * (std::sin(angle) + 1);
          if (kind == kProfileEdge && std::fabs(r - reach) < 1e-9) add *= 0.25;
        }
        sum[(v + 1) * side + u + 1] =
            add + sum[v * side + u + 1] + sum[(v + 1) * side + u] - sum[v * side + u];
      }
    }
  }
  auto block = [&](int32_t u0, int32_t v0) {  // grid cells u0..u0+9, v0..v0+9 (shifted by 9)
    const std::size_t a = std::size_t(v0) * side + u0, b = std::size_t(v0 + 10) * side + u0;
    return sum[b + 10] - sum[b] - sum[a + 10] + sum[a];
  };
  for (int j = 0; j < 10; ++j) {
    for (int i = 0; i < 10; ++i) {
      unsigned char* tip = tips + std::size_t(j * 10 + i) * d * d;
      const double cx = R + 0.1 * i, cy = R + 0.1 * j;
      for (int32_t y = 0; y < d; ++y) {
        for (int32_t x = 0; x < d; ++x) {
          double v = 0;
          if ((kind == kProfileSpeckle && rng.next() % 11 < 3) ||
              (kind == kProfileSparse && rng.next() % 17 < 5)) {
            tip[y * d + x] = 0;
            continue;
          }
          if (kind == kProfileSpeckle) {
            const double r = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (r <= R) v = (1 - r / R * p.radius) * 255;
          } else {
            v = std::min(block(10 * x - i + 9, 10 * y - j + 9), 255.0);
          }
          if (v < p.threshold) v = 0;
          tip[y * d + x] = to_byte(v * p.intensity);
        }
      }
    }
  }
  mem_free(sum);
  return 1;
}

void tip_round(const pattern_params& p, unsigned char* tip) {
  const int32_t d = p.size;
  int32_t m = d / 2 * 2;
  if (m < 4) m = 2;
  const double c = m / 2.0, reach = c * p.radius;
  for (int32_t y = 0; y < d; ++y) {
    for (int32_t x = 0; x < d; ++x) {
      const double r = std::hypot(x + 0.5 - c, y + 0.5 - c);
      double v = r <= reach ? (1 - r / reach) * 255 : 0;
      if (v < p.threshold) v = 0;
      tip[y * d + x] = to_byte(p.intensity * v);
    }
  }
}

void tip_soft(int32_t d, unsigned char* tip) {
  const int32_t k = std::max((d - 2) / 2, 2);
  const double w = std::max(1.0, (2.0 * k - 2) / 5.0);
  const double outer = k - 1, inner = outer - w;
  for (int32_t y = 0; y < d; ++y) {
    for (int32_t x = 0; x < d; ++x) {
      const double r = std::hypot(y - (k + 0.9), x - (k + 0.9));
      int v;
      if (r <= inner) v = 255;
      else if (r >= outer) v = 0;
      else v = std::clamp(int((outer - r) * (outer - r) * 255 / (w * w)), 0, 255);
      tip[y * d + x] = static_cast<unsigned char>(v);
    }
  }
}
