#include "tools/penpics/penpics_noise.h"

#include <cmath>

namespace {
double lattice(uint32_t seed, int x, int y) {
  uint32_t h = seed * 374761393u + uint32_t(x) * 668265263u + uint32_t(y) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return ((h ^ (h >> 16)) & 0xffffff) / double(0xffffff);
}
double smooth(double t) { return t * t * (3 - 2 * t); }
}  // namespace

double tile_noise(uint32_t seed, int cells, double u, double v) {
  const double x = u * cells, y = v * cells;
  const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  const double fx = smooth(x - x0), fy = smooth(y - y0);
  auto at = [&](int i, int j) {
    return lattice(seed, ((i % cells) + cells) % cells, ((j % cells) + cells) % cells);
  };
  const double a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * fx;
  const double b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * fx;
  return a + (b - a) * fy;
}

double tile_fbm(uint32_t seed, int cells, int octaves, double u, double v) {
  double sum = 0, weight = 1, total = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += weight * tile_noise(seed + o * 7919u, cells << o, u, v);
    total += weight;
    weight *= 0.5;
  }
  return sum / total;
}
