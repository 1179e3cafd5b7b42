#include "base/dib_line.h"

#include <cmath>
#include <cstdlib>

#include "base/alloc.h"
#include "base/dib_pixel.h"
#include "base/dib_sample.h"

namespace {
constexpr int kTraceGrow = 4096;

float line_weight(double distance) {
  distance = std::fabs(distance);
  return distance <= 1.4142137 ? static_cast<float>(1.0 - distance * 0.70711) : 0.0f;
}
}  // namespace

dib_smart_trace::~dib_smart_trace() { mem_free(points_); }

int dib_smart_trace::push(int32_t x, int32_t y, float weight) {
  if (count_ == capacity_) {
    if (capacity_ > (1 << 28)) return 0;
    const int grown = capacity_ + kTraceGrow;
    void* p = mem_realloc(points_, sizeof(dib_trace_point) * std::size_t(grown));
    if (!p) return 0;
    points_ = static_cast<dib_trace_point*>(p);
    capacity_ = grown;
  }
  if (!(weight > 0.0f)) weight = 0.0f;
  if (weight > 1.0f) weight = 1.0f;
  points_[count_++] = dib_trace_point{x, y, weight};
  return 1;
}

// Gupta-Sproull: the Bresenham error, scaled by 1 / (2 * length), is the
// distance of the line from the pixel centre.
int dib_smart_trace::trace_line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  if (x0 == x1 || y0 == y1) {
    const int32_t sx = x1 > x0 ? 1 : x1 < x0 ? -1 : 0, sy = y1 > y0 ? 1 : y1 < y0 ? -1 : 0;
    for (int32_t x = x0, y = y0;; x += sx, y += sy) {
      if (!push(x, y, 1.0f)) return 0;
      if (x == x1 && y == y1) break;
    }
    return 1;
  }
  const bool steep = std::llabs(int64_t{y1} - y0) > std::llabs(int64_t{x1} - x0);
  // Walk along the major axis a; b is the minor one.
  int64_t a0 = steep ? y0 : x0, b0 = steep ? x0 : y0, a1 = steep ? y1 : x1, b1 = steep ? x1 : y1;
  const int64_t da = std::llabs(a1 - a0), db = std::llabs(b1 - b0);
  const int64_t sa = a1 > a0 ? 1 : -1, sb = b1 > b0 ? 1 : -1;
  const double inv = 1.0 / (2.0 * std::sqrt(double(da) * da + double(db) * db));
  const double across = 2.0 * da * inv;  // distance to the neighbours when on the line
  auto put = [&](int64_t a, int64_t b, double d) {
    const int32_t x = static_cast<int32_t>(steep ? b : a), y = static_cast<int32_t>(steep ? a : b);
    const int32_t nx = steep ? 1 : 0, ny = steep ? 0 : 1;
    // sb orients "across": the neighbour on the side the line moves towards
    // gets the distance across - d.
    const int32_t px = static_cast<int32_t>(nx * sb), py = static_cast<int32_t>(ny * sb);
    return push(x, y, line_weight(d)) && push(x + px, y + py, line_weight(across - d)) &&
           push(x - px, y - py, line_weight(across + d));
  };
  int64_t d = 2 * db - da, two_v = 0;
  int64_t a = a0, b = b0;
  if (!put(a, b, 0.0)) return 0;
  while (a != a1) {
    if (d < 0) {
      two_v = d + da;
      d += 2 * db;
    } else {
      two_v = d - da;
      d += 2 * (db - da);
      b += sb;
    }
    a += sa;
    if (!put(a, b, double(two_v) * inv)) return 0;
  }
  return 1;
}

int dib_line(dib_block* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour,
             float opacity, int dot) {
  dib_view v = dib_view_of(target);
  if (!v.pixels || (v.bpp != 3 && v.bpp != 1)) return 0;
  dib_smart_trace trace;
  if (!trace.trace_line(x0, y0, x1, y1)) return 0;
  if (dot < 1) dot = 1;
  const int32_t half = dot / 2;
  for (int i = 0; i < trace.count(); ++i) {
    const dib_trace_point& t = trace[i];
    const float g = t.weight * opacity;
    if (!(g > 0.0f)) continue;
    for (int32_t yy = t.y - half; yy < t.y - half + dot; ++yy) {
      for (int32_t xx = t.x - half; xx < t.x - half + dot; ++xx) {
        unsigned char* p = v.at_checked(xx, yy);
        if (!p) continue;
        if (v.bpp == 3) {
          dib_px_set(p, colour, g);
        } else {
          const float gg = dib_opacity(g);
          *p = static_cast<unsigned char>(*p + gg * (dib_red(colour) - *p));
        }
      }
    }
  }
  return 1;
}

int dib_rect_outline(dib_block* target, const dib_rect& r, uint32_t colour, float opacity,
                     int dot) {
  if (dib_rect_empty(r)) return 0;
  const int32_t right = r.right - 1, bottom = r.bottom - 1;
  return dib_line(target, r.left, r.top, right, r.top, colour, opacity, dot) &&
         dib_line(target, r.left, bottom, right, bottom, colour, opacity, dot) &&
         dib_line(target, r.left, r.top, r.left, bottom, colour, opacity, dot) &&
         dib_line(target, right, r.top, right, bottom, colour, opacity, dot);
}
