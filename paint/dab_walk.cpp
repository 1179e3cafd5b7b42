#include "paint/dab_walk.h"

#include <cmath>

namespace {
double clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
}  // namespace

void walk_begin(dab_walk& w, int32_t x, int32_t y, double strength) {
  w = dab_walk{};
  w.prev_x = w.cur_x = x;
  w.prev_y = w.cur_y = y;
  w.prev_strength = w.cur_strength = clamp01(strength);
  w.state = 1;
}

void walk_end(dab_walk& w) { w = dab_walk{}; }

int walk_segment(dab_walk& w, int32_t x, int32_t y, double p1, double spacing, dab_fn dab,
                 void* context, dib_rect* changed) {
  *changed = dib_rect{0, 0, 0, 0};
  if (w.state == 0 || !dab) return 0;
  const double dx = double(x) - w.prev_x, dy = double(y) - w.prev_y;
  const double L = std::sqrt(dx * dx + dy * dy);
  if (L < 0.2) return 0;
  if (L > kWalkLongest) {
    // Points far outside any document (a damaged macro file): a jump, not
    // millions of dabs.
    w.prev_x = w.cur_x = x;
    w.prev_y = w.cur_y = y;
    w.prev_strength = w.cur_strength = clamp01(p1);
    w.leftover = 0;
    return 0;
  }
  // A walk that cannot advance would loop for ever; the engines refuse such tips.
  if (!(spacing > 0)) return 0;
  const double ux = dx / L, uy = dy / L, p0 = w.prev_strength;
  int dabs = 0;
  auto lay = [&](double m) {
    const double s = clamp01(p0 + m / L * (p1 - p0));
    *changed = dib_rect_union(*changed, dab(context, w.prev_x + m * ux, w.prev_y + m * uy, s));
    ++dabs;
  };
  if (w.state == 1) {
    double m = 0;
    for (;;) {
      lay(m);
      if (m + spacing >= L) break;
      m += spacing;
    }
    w.leftover = L - m;
    w.state = 2;
  } else {
    const double e = L + w.leftover;
    if (spacing > e) {
      w.leftover = e;
    } else {
      double m = spacing - w.leftover;
      for (;;) {
        lay(m);
        if (m + spacing >= L) break;
        m += spacing;
      }
      w.leftover = L - m;
    }
  }
  w.cur_x = x;
  w.cur_y = y;
  w.prev_x = x;
  w.prev_y = y;
  w.prev_strength = w.cur_strength = clamp01(p1);
  return dabs;
}
