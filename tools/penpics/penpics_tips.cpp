// Strength tips of the mode-2 patterns: one square picture per even size.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/dib.h"
#include "tools/penpics/penpics.h"
#include "tools/penpics/penpics_noise.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

unsigned char byte(double v) { return static_cast<unsigned char>(std::clamp(v, 0.0, 255.0) + 0.5); }

// Watercolour: an irregular wet blob, darker at its rim where the pigment
// gathers as it dries, with a little granulation.
void draw_wash(dib_block* b, int32_t e) {
  const double c = (e - 1) / 2.0, R = std::max(e / 2.0 - 0.3, 0.8);
  for (int32_t y = 0; y < e; ++y) {
    unsigned char* row = dib_row(b, y);
    for (int32_t x = 0; x < e; ++x) {
      const double dx = x - c, dy = y - c, r = std::hypot(dx, dy);
      const double a = (std::atan2(dy, dx) + kPi) / (2 * kPi);
      const double edge = R * (0.86 + 0.14 * tile_noise(11, 7, a, 0.3));
      if (r >= edge) continue;
      const double rel = r / edge;
      const double rim = rel < 0.72 ? 0 : (rel - 0.72) / 0.28;
      const double grain = tile_fbm(23, 8, 3, double(x) / e, double(y) / e) - 0.5;
      // Never below the wash's threshold (160) at full pressure: a weaker
      // pixel would be taken for a weak dab's edge.
      row[x] = byte(184 + 55 * rim * rim + 30 * grain);
    }
  }
}

// Bristle brush: the tips of the hairs of a round brush, the same hairs at
// every size (scaled) so that a change of pressure does not jump.
void draw_bristles(dib_block* b, int32_t e) {
  pic_rng rng(5);
  const double c = (e - 1) / 2.0, R = e / 2.0 - 0.8;
  const int hairs = std::max(4, int(e * e / 14));
  for (int h = 0; h < hairs; ++h) {
    // Uniform over the disc, denser towards the middle.
    const double t = rng.unit() * 2 * kPi, u = std::pow(rng.unit(), 0.7);
    const double hx = c + std::cos(t) * u * R, hy = c + std::sin(t) * u * R * 0.9;
    const double rad = rng.range(0.55, 1.1) * std::max(1.0, e / 24.0);
    const double peak = rng.range(170, 255);
    for (int32_t y = std::max(0, int(hy - rad - 1)); y <= std::min(e - 1, int(hy + rad + 1)); ++y) {
      unsigned char* row = dib_row(b, y);
      for (int32_t x = std::max(0, int(hx - rad - 1)); x <= std::min(e - 1, int(hx + rad + 1)); ++x) {
        const double r = std::hypot(x - hx, y - hy);
        if (r >= rad + 0.5) continue;
        const double v = peak * std::min(1.0, rad + 0.5 - r);
        row[x] = std::max(row[x], byte(v));
      }
    }
  }
}

// Calligraphy brush: a tapered, tilted tip (full body, pointed tail) whose
// tail breaks into hair lines as it dries.
void draw_calligraphy(dib_block* b, int32_t e) {
  const double c = (e - 1) / 2.0, a = e / 2.0 - 0.5, w = std::max(e * 0.2, 0.8);
  const double ca = std::cos(kPi / 4), sa = std::sin(kPi / 4);
  for (int32_t y = 0; y < e; ++y) {
    unsigned char* row = dib_row(b, y);
    for (int32_t x = 0; x < e; ++x) {
      const double dx = x - c, dy = y - c;
      const double along = (dx * ca - dy * sa) / a;  // -1 tail .. 1 body
      const double across = dx * sa + dy * ca;
      if (along <= -1 || along >= 1) continue;
      const double width = w * std::sqrt(1 - along * along) * (0.45 + 0.55 * (along + 1) / 2);
      const double d = std::fabs(across);
      if (d >= width + 0.5) continue;
      double v = 255 * std::min(1.0, width + 0.5 - d);
      if (along < -0.35) {  // dry tail: hair lines across the tip
        const double hair = tile_noise(41, 16, 0.5 + across / e, 0.5);
        v *= std::clamp((hair - 0.3) * 2.5, 0.0, 1.0);
      }
      row[x] = byte(v);
    }
  }
}

}  // namespace

int32_t penpic_tip_largest(const char* code) {
  if (!code) return 0;
  if (!std::strcmp(code, "wa")) return 36;  // pen 4: size 36, tip = size
  if (!std::strcmp(code, "br")) return 48;  // pen 5: size 24, tip = 2 x size
  if (!std::strcmp(code, "ca")) return 64;  // pen 10: size 32, tip = 2 x size
  return 0;
}

dib_block* penpic_tip(const char* code, int32_t e) {
  if (e < 2 || e > penpic_tip_largest(code) || e % 2) return nullptr;
  dib_block* b = dib_create(e, 0, e, 0);
  if (!b) return nullptr;
  if (!std::strcmp(code, "wa")) draw_wash(b, e);
  else if (!std::strcmp(code, "br")) draw_bristles(b, e);
  else draw_calligraphy(b, e);
  return b;
}
