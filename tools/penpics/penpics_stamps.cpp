// Stamp sets of the texture pens: thirteen characters, sixteen sizes each.
#include <algorithm>
#include <cmath>
#include <vector>

#include "base/dib.h"
#include "tools/penpics/penpics.h"
#include "tools/penpics/penpics_noise.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

const char* const kTitles[kStampSets] = {
    "bristle", "sponge", "dry brush", "spatter", "grain", "chalk", "charcoal",
    "stipple", "grass",  "cloud",     "hatch",   "ink blot", "fur",
};

// A stamp being drawn: n x n values 0..1, written out as bytes at the end.
struct canvas {
  int n;
  std::vector<double> v;
  explicit canvas(int n) : n(n), v(std::size_t(n) * n, 0.0) {}
  double& at(int x, int y) { return v[std::size_t(y) * n + x]; }
  // A soft round dot; values combine by maximum.
  void dot(double cx, double cy, double r, double peak) {
    for (int y = std::max(0, int(cy - r - 1)); y <= std::min(n - 1, int(cy + r + 1)); ++y)
      for (int x = std::max(0, int(cx - r - 1)); x <= std::min(n - 1, int(cx + r + 1)); ++x) {
        const double d = std::hypot(x - cx, y - cy);
        if (d < r + 0.5) at(x, y) = std::max(at(x, y), peak * std::min(1.0, r + 0.5 - d));
      }
  }
  // A thin line from a to b of the given half width.
  void line(double ax, double ay, double bx, double by, double w, double peak) {
    const double len = std::hypot(bx - ax, by - ay);
    const int steps = std::max(1, int(len * 2));
    for (int i = 0; i <= steps; ++i) {
      const double t = double(i) / steps;
      dot(ax + (bx - ax) * t, ay + (by - ay) * t, w, peak);
    }
  }
};

// 0 at the rim of the stamp's disc, 1 well inside it.
double disc(int n, int x, int y, double soft) {
  const double c = (n - 1) / 2.0, r = std::hypot(x - c, y - c) / (n / 2.0);
  return std::clamp((1 - r) / soft, 0.0, 1.0);
}

void draw(int set, canvas& k, pic_rng& rng) {
  const int n = k.n;
  const double c = (n - 1) / 2.0, R = n / 2.0;
  switch (set) {
    case 0: {  // bristle: hair tips of a flat brush in a band across the stamp
      const int hairs = std::max(3, n * n / 10);
      for (int h = 0; h < hairs; ++h) {
        const double x = rng.range(0.08, 0.92) * n;
        const double y = c + rng.range(-0.22, 0.22) * n * (1 - std::fabs(x - c) / R * 0.5);
        k.dot(x, y, rng.range(0.4, 0.9) * std::max(1.0, n / 30.0), rng.range(0.45, 0.75));
      }
      break;
    }
    case 1:  // sponge: an open-pored blob
      for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
          const double p = tile_fbm(1100, 4 + n / 8, 2, double(x) / n, double(y) / n);
          k.at(x, y) = (p > 0.5 ? 0.55 : 0.0) * disc(n, x, y, 0.25);
        }
      break;
    case 2:  // dry brush: broken streaks in one direction, ragged ends
      for (int y = 0; y < n; ++y) {
        const double streak = tile_noise(1200, std::max(4, n / 2), 0.5, double(y) / n);
        for (int x = 0; x < n; ++x) {
          const double end = tile_noise(1201, std::max(3, n / 3), 0.3 * x / n, double(y) / n);
          const double body = std::clamp((streak - 0.5) * 5, 0.0, 1.0);
          k.at(x, y) = 0.6 * body * (end > 0.3 ? 1 : 0) * disc(n, x, y, 0.15);
        }
      }
      break;
    case 3: {  // spatter: drops of every size flung over the square
      const int drops = std::max(2, n * n / 40);
      for (int d = 0; d < drops; ++d) {
        const double r = std::pow(rng.unit(), 3.0) * std::max(1.0, n / 8.0) + 0.4;
        k.dot(rng.range(0.05, 0.95) * n, rng.range(0.05, 0.95) * n, r, 0.85);
      }
      break;
    }
    case 4:  // grain: sparse single grains of graphite, denser inside
      for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
          if (rng.unit() < 0.35 * disc(n, x, y, 0.5)) k.at(x, y) = rng.range(0.25, 0.6);
      break;
    case 5:  // chalk: a rough-edged disc full of small gaps
      for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
          const double a = (std::atan2(y - c, x - c) + kPi) / (2 * kPi);
          const double rim = 0.75 + 0.25 * tile_noise(1500, 9, a, 0.5);
          const double r = std::hypot(x - c, y - c) / R;
          if (r < rim && rng.unit() < 0.7) k.at(x, y) = rng.range(0.35, 0.6);
        }
      break;
    case 6:  // charcoal: a soft square smudge with dark speckles
      for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
          const double fx = std::fabs(x - c) / R, fy = std::fabs(y - c) / R;
          const double body = std::clamp((1 - std::max(fx, fy)) * 2.5, 0.0, 1.0);
          const double speck = rng.unit() < 0.12 ? 0.5 : 0.0;
          k.at(x, y) = std::min(1.0, body * (0.22 + 0.2 * tile_noise(1600, 5, double(x) / n, double(y) / n)) + speck * body);
        }
      break;
    case 7: {  // stipple: even dots on a jittered grid
      const double step = std::max(2.5, n / 6.0);
      for (double y = step / 2; y < n; y += step)
        for (double x = step / 2; x < n; x += step) {
          const double jx = x + rng.range(-0.3, 0.3) * step, jy = y + rng.range(-0.3, 0.3) * step;
          if (disc(n, int(jx), int(jy), 0.1) > 0) k.dot(jx, jy, std::max(0.5, step * 0.18), 0.8);
        }
      break;
    }
    case 8: {  // grass: blades rising from the bottom, bending
      const int blades = std::max(2, n / 4);
      for (int b = 0; b < blades; ++b) {
        double x = rng.range(0.15, 0.85) * n, y = n - 1.0;
        const double h = rng.range(0.5, 0.95) * n, lean = rng.range(-0.6, 0.6);
        const int steps = std::max(2, int(h));
        for (int i = 0; i < steps; ++i) {
          const double t = double(i) / steps;
          const double nx = x + lean * (1 + 2 * t) * 0.8, ny = y - 1.0;
          k.line(x, y, nx, ny, std::max(0.4, (1 - t) * n / 40.0), 0.7);
          x = nx, y = ny;
        }
      }
      break;
    }
    case 9:  // cloud: billows fading towards the rim
      for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
          const double f = tile_fbm(1900, 3, 4, double(x) / n, double(y) / n);
          k.at(x, y) = std::clamp((f - 0.35) * 1.2, 0.0, 0.5) * disc(n, x, y, 0.6);
        }
      break;
    case 10: {  // hatch: two sets of diagonal lines
      const double gap = std::max(2.5, n / 7.0);
      for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
          const double a = std::fmod(x + y + 1000 * gap, gap), b = std::fmod(x - y + 1000 * gap, gap);
          const double line = (a < 1.0 ? 1.0 : 0.0) + (b < 1.0 ? 0.7 : 0.0);
          k.at(x, y) = std::min(0.8, 0.6 * line) * disc(n, x, y, 0.2);
        }
      break;
    }
    case 11: {  // ink blot: a solid splash with satellite drops
      for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
          const double a = (std::atan2(y - c, x - c) + kPi) / (2 * kPi);
          const double rim = R * (0.45 + 0.25 * tile_fbm(2100, 5, 2, a, 0.5));
          const double r = std::hypot(x - c, y - c);
          if (r < rim + 0.5) k.at(x, y) = 0.9 * std::min(1.0, rim + 0.5 - r);
        }
      const int drops = std::max(1, n / 6);
      for (int d = 0; d < drops; ++d) {
        const double t = rng.unit() * 2 * kPi, dist = rng.range(0.75, 0.92) * R;
        k.dot(c + std::cos(t) * dist, c + std::sin(t) * dist, rng.range(0.4, 1.0) * std::max(1.0, n / 16.0), 0.9);
      }
      break;
    }
    case 12: {  // fur: fine curved hairs radiating out
      // Each point from its own angle and distance, nothing accumulated, so
      // the last bits of the maths library cannot drift a hair sideways.
      const int hairs = std::max(4, n);
      for (int h = 0; h < hairs; ++h) {
        const double t = rng.unit() * 2 * kPi, bend = rng.range(-0.5, 0.5);
        const double len = rng.range(0.5, 0.85) * R, r0 = R * 0.15;
        double px = c + std::cos(t) * r0, py = c + std::sin(t) * r0;
        for (int i = 1; i < int(len); ++i) {
          const double a = t + bend * i / len, r = r0 + i;
          const double nx = c + std::cos(a) * r, ny = c + std::sin(a) * r;
          k.line(px, py, nx, ny, 0.35, 0.6 * (1 - double(i) / len) + 0.1);
          px = nx, py = ny;
        }
      }
      break;
    }
  }
}

}  // namespace

int32_t penpic_stamp_edge(int step) { return 5 + 3 * step; }

const char* penpic_stamp_title(int set) {
  return set >= 0 && set < kStampSets ? kTitles[set] : "";
}

dib_block* penpic_stamp(int set, int step) {
  if (set < 0 || set >= kStampSets || step < 0 || step >= kStampSteps) return nullptr;
  const int n = penpic_stamp_edge(step);
  canvas k(n);
  pic_rng rng(uint64_t(set) * 1000 + step + 17);
  draw(set, k, rng);
  // A stroke lays about ten stamps over every pixel: light stamps keep their
  // texture instead of building up to a solid band.
  static constexpr double kStrength[kStampSets] = {0.3, 0.3, 0.5, 0.35, 0.35, 0.3, 0.3,
                                                   0.35, 0.4, 0.5, 0.35, 0.5, 0.4};
  dib_block* b = dib_create(n, 0, n, 0);
  if (!b) return nullptr;
  for (int y = 0; y < n; ++y) {
    unsigned char* row = dib_row(b, y);
    for (int x = 0; x < n; ++x)
      row[x] = static_cast<unsigned char>(std::clamp(k.at(x, y) * kStrength[set], 0.0, 1.0) * 255 + 0.5);
  }
  return b;
}
