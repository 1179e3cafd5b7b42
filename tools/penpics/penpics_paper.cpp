// Paper textures: tileable 8-bit pictures, the share of paint each spot of
// the paper takes (255 all of it).
#include <algorithm>
#include <cmath>

#include "base/dib.h"
#include "tools/penpics/penpics.h"
#include "tools/penpics/penpics_noise.h"

namespace {

constexpr int kSide = 256;
constexpr double kPi = 3.14159265358979323846;

unsigned char byte(double v) { return static_cast<unsigned char>(std::clamp(v, 0.0, 255.0) + 0.5); }

// A woven canvas: threads crossing over and under, with uneven thickness.
double weave(double u, double v, int threads, uint32_t seed) {
  const double tx = u * threads, ty = v * threads;
  const int cx = int(std::floor(tx)), cy = int(std::floor(ty));
  const double fx = tx - cx, fy = ty - cy;
  const bool over = ((cx + cy) & 1) == 0;
  const double bump = over ? std::sin(fx * kPi) * (0.6 + 0.4 * std::sin(fy * kPi))
                           : std::sin(fy * kPi) * (0.6 + 0.4 * std::sin(fx * kPi));
  return 0.75 * bump + 0.25 * tile_noise(seed, threads, u, v);
}

double paper_value(int number, double u, double v) {
  switch (number) {
    case 1: {  // crayon paper: a strong tooth; the valleys take nothing
      const double n = tile_fbm(101, 64, 2, u, v);
      return std::clamp((n - 0.3) * 3.0, 0.0, 1.0) * 255;
    }
    case 2:  // brush canvas: a fine weave
      return 120 + 135 * weave(u, v, 64, 202);
    case 3: {  // smooth pen paper with faint fibres
      const double n = tile_fbm(303, 32, 3, u, v);
      return 222 + 33 * n;
    }
    case 4: {  // cold-pressed watercolour paper: broad dimples and fine grain
      const double broad = tile_fbm(404, 8, 3, u, v), fine = tile_noise(405, 64, u, v);
      return 120 + 110 * broad + 25 * fine;
    }
    case 5:  // oil canvas: a coarse, deep weave
      return 70 + 185 * weave(u, v, 32, 505);
    case 6: {  // rough ground for the palette knife: ridges and pits
      const double n = tile_fbm(606, 6, 4, u, v);
      const double ridge = 1 - std::fabs(2 * tile_noise(607, 12, u, v) - 1);
      return std::clamp(60 + 160 * n + 60 * ridge, 0.0, 255.0);
    }
    case 7: {  // rice paper: a pale ground crossed by long fibres
      double fibre = 0;
      for (int k = 0; k < 3; ++k) {
        // Fibres stretched along one direction each, periodic in both.
        const double a = tile_noise(707 + k, 4 << k, u, v) * 2 * kPi;
        const double s = std::sin((u * std::cos(a) + v * std::sin(a)) * 2 * kPi * (6 + 4 * k));
        fibre += std::pow(std::fabs(s), 24.0);
      }
      const double ground = tile_fbm(717, 16, 3, u, v);
      return 190 + 45 * ground - 70 * std::min(1.0, fibre);
    }
    default:
      return 255;
  }
}

}  // namespace

dib_block* penpic_paper(int number) {
  if (number < 1 || number > kPaperCount) return nullptr;
  dib_block* b = dib_create(kSide, 0, kSide, 0);
  if (!b) return nullptr;
  for (int y = 0; y < kSide; ++y) {
    unsigned char* row = dib_row(b, y);
    for (int x = 0; x < kSide; ++x) row[x] = byte(paper_value(number, double(x) / kSide, double(y) / kSide));
  }
  return b;
}
