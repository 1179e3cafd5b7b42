// Rasterisers of the region kinds.
#include "paint/rgn_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/alloc.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

int32_t round_half_up(double v) { return static_cast<int32_t>(std::floor(v + 0.5)); }

struct grid {
  int32_t* cells;
  int32_t x, y, w, h;
  void set(int64_t px, int64_t py) const {
    const int64_t i = px - x, j = py - y;
    if (i >= 0 && j >= 0 && i < w && j < h) cells[j * w + i] = 1;
  }
  void span(int64_t py, int64_t x0, int64_t x1) const {
    for (int64_t px = std::max<int64_t>(x0, x); px <= std::min<int64_t>(x1, int64_t{x} + w - 1);
         ++px)
      set(px, py);
  }
  void line(rgn_point a, rgn_point b) const {
    int64_t px = a.x, py = a.y;
    const int64_t dx = std::llabs(int64_t{b.x} - a.x), dy = -std::llabs(int64_t{b.y} - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int64_t err = dx + dy;
    for (;;) {
      set(px, py);
      if (px == b.x && py == b.y) break;
      const int64_t e2 = 2 * err;
      if (e2 >= dy) err += dy, px += sx;
      if (e2 <= dx) err += dx, py += sy;
    }
  }
};

// The outline's points without repeats (the closing point included when
// the first is repeated at the end); the caller frees the result.
rgn_point* clean_outline(const rgn_point* points, int32_t count, int32_t* out_count) {
  auto* p = static_cast<rgn_point*>(mem_alloc(std::size_t(count) * sizeof(rgn_point)));
  if (!p) return nullptr;
  int32_t n = 0;
  for (int32_t i = 0; i < count; ++i)
    if (n == 0 || p[n - 1].x != points[i].x || p[n - 1].y != points[i].y) p[n++] = points[i];
  while (n > 1 && p[n - 1].x == p[0].x && p[n - 1].y == p[0].y) --n;
  *out_count = n;
  return p;
}

int bounds_of(const rgn_point* p, int32_t n, int32_t* x0, int32_t* y0, int32_t* w, int32_t* h) {
  int64_t lx = p[0].x, hx = p[0].x, ly = p[0].y, hy = p[0].y;
  for (int32_t i = 1; i < n; ++i) {
    lx = std::min<int64_t>(lx, p[i].x), hx = std::max<int64_t>(hx, p[i].x);
    ly = std::min<int64_t>(ly, p[i].y), hy = std::max<int64_t>(hy, p[i].y);
  }
  if (hx - lx + 1 > kRgnMaxSide || hy - ly + 1 > kRgnMaxSide) return 0;
  *x0 = static_cast<int32_t>(lx), *y0 = static_cast<int32_t>(ly);
  *w = static_cast<int32_t>(hx - lx + 1), *h = static_cast<int32_t>(hy - ly + 1);
  return 1;
}

// A grid for an outline's box, filled; kind and shape fields stay.
int outline_grid(rgn_record* r, const rgn_point* points, int32_t count) {
  if (!points || count < 3) return 0;
  int32_t x0, y0, w, h;
  if (!bounds_of(points, count, &x0, &y0, &w, &h)) return 0;
  int32_t* cells = rgn_grid_alloc(w, h);
  if (!cells) return 0;
  if (!rgn_fill_outline(points, count, cells, x0, y0, w, h)) {
    mem_free(cells);
    return 0;
  }
  rgn_set_grid(r, x0, y0, w, h, cells);
  return 1;
}

int ellipse_grid(rgn_record* r, int32_t cx, int32_t cy, int32_t rx, int32_t ry) {
  rx = std::max(rx, 1), ry = std::max(ry, 1);
  if (rx > kRgnMaxSide / 2 || ry > kRgnMaxSide / 2) return 0;
  const int32_t w = 2 * rx + 1, h = 2 * ry + 1;
  int32_t* cells = rgn_grid_alloc(w, h);
  if (!cells) return 0;
  const grid g{cells, cx - rx, cy - ry, w, h};
  const double ratio = double(std::min(rx, ry)) / std::max(rx, ry);
  if (rx == ry || ratio > 0.5) {
    // Near-circular: the cell centres within the ellipse grown by half a
    // radius step (for a circle: dx^2 + dy^2 <= r^2 + r), row by row.
    const double ax = double(rx) * rx + rx, ay = double(ry) * ry + ry;
    for (int32_t dy = -ry; dy <= ry; ++dy) {
      const double f = 1.0 - double(dy) * dy / ay;
      if (f < 0) continue;
      const int32_t half = static_cast<int32_t>(std::floor(std::sqrt(ax * f) + 1e-9));
      g.span(int64_t{cy} + dy, int64_t{cx} - half, int64_t{cx} + half);
    }
  } else {
    // Flat: one span across the short axis per step of the long one, so
    // that the thin ends keep every cell up to the tips.
    const bool wide = rx >= ry;
    const int32_t lng = wide ? rx : ry, sht = wide ? ry : rx;
    for (int32_t d = -lng; d <= lng; ++d) {
      const double t = double(d) / lng;
      const int32_t half = round_half_up(sht * std::sqrt(std::max(0.0, 1.0 - t * t)));
      for (int32_t e = -half; e <= half; ++e)
        wide ? g.set(int64_t{cx} + d, int64_t{cy} + e) : g.set(int64_t{cx} + e, int64_t{cy} + d);
    }
  }
  rgn_set_grid(r, g.x, g.y, w, h, cells);
  return 1;
}

int sector_grid(rgn_record* r) {
  const int32_t radius = std::max(r->radius1, 1);
  int32_t start = r->start_angle, sweep = r->sweep;
  if (sweep < 0) start += sweep, sweep = -sweep;
  start %= 360;
  if (start < 0) start += 360;
  if (sweep >= 360) return ellipse_grid(r, r->centre_x, r->centre_y, radius, radius);
  if (sweep == 0 || radius > kRgnMaxSide / 2) return 0;
  const int32_t n = sweep + 2;
  auto* p = static_cast<rgn_point*>(mem_alloc(std::size_t(n) * sizeof(rgn_point)));
  if (!p) return 0;
  p[0] = rgn_point{r->centre_x, r->centre_y};
  for (int32_t k = 0; k <= sweep; ++k) {
    const double a = (start + k) * kPi / 180.0;
    p[k + 1] = rgn_point{r->centre_x + round_half_up(radius * std::cos(a)),
                         r->centre_y - round_half_up(radius * std::sin(a))};
  }
  const int ok = outline_grid(r, p, n);
  mem_free(p);
  return ok;
}

int round_rect_grid(rgn_record* r) {
  const int32_t hw = std::clamp(r->radius1, 4, kRgnMaxSide / 2 - 1);
  const int32_t hh = std::clamp(r->radius2, 4, kRgnMaxSide / 2 - 1);
  const int32_t c = std::clamp(r->radius3, 2, std::min(hw, hh) - 2);
  const int32_t w = 2 * hw + 1, h = 2 * hh + 1;
  int32_t* cells = rgn_grid_alloc(w, h);
  if (!cells) return 0;
  // Straight parts fill fully; each corner is a quarter disc about the point
  // c cells in from the box's corner.
  for (int32_t dy = -hh; dy <= hh; ++dy) {
    for (int32_t dx = -hw; dx <= hw; ++dx) {
      const int32_t ax = std::abs(dx) - (hw - c), ay = std::abs(dy) - (hh - c);
      const bool in = ax <= 0 || ay <= 0 || int64_t{ax} * ax + int64_t{ay} * ay <= int64_t{c} * c + c;
      if (in) cells[int64_t{dy + hh} * w + dx + hw] = 1;
    }
  }
  rgn_set_grid(r, r->centre_x - hw, r->centre_y - hh, w, h, cells);
  return 1;
}

// A closed Catmull-Rom curve through the points, sampled `steps` times per
// span (the curve parameter; 0 or less: 8).
int curve_grid(rgn_record* r) {
  const int32_t n = r->point_count;
  if (!r->points || n < 3) return 0;
  const int32_t steps = r->curve_parameter > 0 ? std::min(r->curve_parameter, 64) : 8;
  if (int64_t{n} * steps > kRgnMaxPoints) return 0;
  const int32_t m = n * steps;
  auto* out = static_cast<rgn_point*>(mem_alloc(std::size_t(m) * sizeof(rgn_point)));
  if (!out) return 0;
  const rgn_point* p = r->points;
  for (int32_t i = 0; i < n; ++i) {
    const rgn_point& p0 = p[(i + n - 1) % n];
    const rgn_point& p1 = p[i];
    const rgn_point& p2 = p[(i + 1) % n];
    const rgn_point& p3 = p[(i + 2) % n];
    for (int32_t s = 0; s < steps; ++s) {
      const double t = double(s) / steps, t2 = t * t, t3 = t2 * t;
      auto f = [&](double a, double b, double c, double d) {
        return 0.5 * (2 * b + (c - a) * t + (2 * a - 5 * b + 4 * c - d) * t2 +
                      (3 * b - a - 3 * c + d) * t3);
      };
      out[i * steps + s] = rgn_point{round_half_up(f(p0.x, p1.x, p2.x, p3.x)),
                                     round_half_up(f(p0.y, p1.y, p2.y, p3.y))};
    }
  }
  const int ok = outline_grid(r, out, m);
  mem_free(out);
  return ok;
}
}  // namespace

int rgn_fill_outline(const rgn_point* points, int32_t count, int32_t* cells, int32_t gx,
                     int32_t gy, int32_t gw, int32_t gh) {
  if (!points || count < 3 || !cells) return 0;
  int32_t n = 0;
  rgn_point* p = clean_outline(points, count, &n);
  if (!p) return 0;
  const grid g{cells, gx, gy, gw, gh};
  for (int32_t i = 0; i < n; ++i) g.line(p[i], p[(i + 1) % n]);
  if (n < 3) {
    mem_free(p);
    return 1;  // a line or a dot: only the outline
  }
  bool flat = true;
  for (int32_t i = 1; i < n && flat; ++i) flat = p[i].y == p[0].y;
  if (flat) {
    mem_free(p);
    return 1;  // every vertex on one row: the outline is all there is
  }
  auto at = [&](int32_t i) -> const rgn_point& { return p[((i % n) + n) % n]; };
  // Edges wait in a bucket of the first row they cross strictly, runs of
  // vertices in the bucket of their own row; each row then sees only the
  // edges that cross it. At most n crossings fit on one row (an edge that
  // touches a run crosses nothing there).
  const std::size_t rows = std::size_t(gh), edges = std::size_t(n);
  auto* edge_head = static_cast<int32_t*>(mem_alloc(rows * sizeof(int32_t)));
  auto* run_head = static_cast<int32_t*>(mem_alloc(rows * sizeof(int32_t)));
  auto* edge_next = static_cast<int32_t*>(mem_alloc(edges * sizeof(int32_t)));
  auto* run_next = static_cast<int32_t*>(mem_alloc(edges * sizeof(int32_t)));
  auto* active = static_cast<int32_t*>(mem_alloc(edges * sizeof(int32_t)));
  auto* xs = static_cast<double*>(mem_alloc(edges * 2 * sizeof(double)));
  auto release = [&] {
    mem_free(edge_head), mem_free(run_head), mem_free(edge_next), mem_free(run_next);
    mem_free(active), mem_free(xs), mem_free(p);
  };
  if (!edge_head || !run_head || !edge_next || !run_next || !active || !xs) {
    release();
    return 0;
  }
  for (int32_t r = 0; r < gh; ++r) edge_head[r] = run_head[r] = -1;
  const int64_t top = gy, bottom = int64_t{gy} + gh - 1;
  for (int32_t i = 0; i < n; ++i) {
    const int64_t lo = std::min(p[i].y, at(i + 1).y), hi = std::max(p[i].y, at(i + 1).y);
    const int64_t first = std::max(lo + 1, top);
    if (hi - lo >= 2 && first <= std::min(hi - 1, bottom)) {
      edge_next[i] = edge_head[first - top];
      edge_head[first - top] = i;
    }
    if (p[i].y != at(i - 1).y && p[i].y >= top && p[i].y <= bottom) {
      run_next[i] = run_head[p[i].y - top];
      run_head[p[i].y - top] = i;
    }
  }
  int32_t live = 0;
  for (int32_t row = 0; row < gh; ++row) {
    const int64_t y = top + row;
    int32_t kept = 0;
    for (int32_t k = 0; k < live; ++k) {
      const int32_t e = active[k];
      if (std::max(p[e].y, at(e + 1).y) > y) active[kept++] = e;
    }
    live = kept;
    for (int32_t e = edge_head[row]; e >= 0; e = edge_next[e]) active[live++] = e;
    int32_t k = 0;
    for (int32_t j = 0; j < live; ++j) {
      const rgn_point& a = p[active[j]];
      const rgn_point& b = at(active[j] + 1);
      xs[k++] = a.x + double(y - a.y) * (b.x - a.x) / double(b.y - a.y);
    }
    // Runs of consecutive vertices on the row (a single vertex, or the ends
    // of horizontal edges): where the outline passes through the row they
    // cross once; at a peak or valley twice, so the pairing stays intact.
    for (int32_t i = run_head[row]; i >= 0; i = run_next[i]) {
      int32_t len = 1;
      int64_t lx = p[i].x, hx = p[i].x;
      while (at(i + len).y == y) lx = std::min<int64_t>(lx, at(i + len).x),
                                 hx = std::max<int64_t>(hx, at(i + len).x), ++len;
      const int64_t before = at(i - 1).y - y, after = at(i + len).y - y;
      xs[k++] = double(lx);
      if ((before < 0) == (after < 0)) xs[k++] = double(hx);
    }
    std::sort(xs, xs + k);
    for (int32_t c = 0; c + 1 < k; c += 2) g.span(y, round_half_up(xs[c]), round_half_up(xs[c + 1]));
  }
  release();
  return 1;
}

int rgn_rasterise(rgn_record* r) {
  if (!r) return 0;
  switch (r->kind) {
    case kRgnPolygon:
    case kRgnPoints:
      return outline_grid(r, r->points, r->point_count);
    case kRgnEllipse:
      return ellipse_grid(r, r->centre_x, r->centre_y, r->radius1, r->radius2);
    case kRgnSector:
      return sector_grid(r);
    case kRgnRoundRect:
      return round_rect_grid(r);
    case kRgnCurve:
      return curve_grid(r);
    default:
      return r->cells != nullptr;
  }
}
