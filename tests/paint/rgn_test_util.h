#pragma once
// Helpers of the region tests: regions held by unique_ptr, cells as text
// pictures, and an independent even-odd point-in-outline test.
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "paint/rgn_record.h"

struct rgn_deleter {
  void operator()(rgn_record* r) const { rgn_free(r); }
};
using rgn_ptr = std::unique_ptr<rgn_record, rgn_deleter>;

// '#' inside, '.' outside, one line per grid row.
inline std::string rgn_picture(const rgn_record* r) {
  std::string s;
  for (int32_t j = 0; j < r->height; ++j) {
    for (int32_t i = 0; i < r->width; ++i) s += r->cells[j * r->width + i] ? '#' : '.';
    s += '\n';
  }
  return s;
}

// Even-odd test of a point against a closed outline (ray to the right).
inline bool outline_contains(const std::vector<rgn_point>& p, double x, double y) {
  bool in = false;
  for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
    const double yi = p[i].y, yj = p[j].y, xi = p[i].x, xj = p[j].x;
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
  }
  return in;
}

// Distance from a point to the outline's nearest segment.
inline double outline_distance(const std::vector<rgn_point>& p, double x, double y) {
  double best = 1e300;
  for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
    const double ax = p[j].x, ay = p[j].y, bx = p[i].x, by = p[i].y;
    const double dx = bx - ax, dy = by - ay, len = dx * dx + dy * dy;
    double t = len > 0 ? ((x - ax) * dx + (y - ay) * dy) / len : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    const double ex = ax + t * dx - x, ey = ay + t * dy - y, d = std::sqrt(ex * ex + ey * ey);
    if (d < best) best = d;
  }
  return best;
}
