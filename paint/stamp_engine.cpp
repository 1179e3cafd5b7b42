#include "paint/stamp_engine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/alloc.h"
#include "base/dib_pixel.h"
#include "paint/pen_resources.h"

namespace {

dib_rect stamp_dab(void* context, double x, double y, double strength) {
  stamp_engine& e = *static_cast<stamp_engine*>(context);
  paint_surface* s = e.layer;
  const int32_t n = e.size;
  if (!(std::fabs(x) < 1e9 && std::fabs(y) < 1e9)) return dib_rect{0, 0, 0, 0};  // no int overflow
  const double q = std::clamp(strength, 0.1, 1.0);
  const std::size_t area = std::size_t(n) * n;
  const unsigned char* src = e.stamp;
  if (std::fabs(q - 1) > 0.01) {
    const int k = int(q * 256);
    for (std::size_t i = 0; i < area; ++i) e.work[i] = static_cast<unsigned char>(e.stamp[i] * k >> 8);
    src = e.work;
  }
  const double half = (n - 1) / 2.0, fx = std::floor(x), fy = std::floor(y);
  const int32_t left = int32_t(std::floor(fx - half)), top = int32_t(std::floor(fy - half));
  // The whole stamp: ceil((n - 1) / 2 + x) as the right edge would cut the
  // last column and row of an odd-sized stamp.
  dib_rect r{left, top, left + n, top + n};
  r = dib_rect_intersect(r, dib_rect{0, 0, s->width, s->height});
  if (dib_rect_empty(r)) return dib_rect{0, 0, 0, 0};
  int32_t x0 = r.right, x1 = r.left, y0 = r.bottom, y1 = r.top;
  for (int32_t py = r.top; py < r.bottom; ++py) {
    const unsigned char* row = src + std::size_t(py - top) * n;
    for (int32_t px = r.left; px < r.right; ++px) {
      const unsigned char c = row[px - left];
      if (c == 0) continue;
      if (e.mask && surface_rgn_cell(e.mask, px, py) == 0) continue;
      surface_blend_pixel(s, px, py, e.colour[0], e.colour[1], e.colour[2],
                          alpha_table[c] * e.opacity);
      x0 = std::min(x0, px), x1 = std::max(x1, px + 1);
      y0 = std::min(y0, py), y1 = std::max(y1, py + 1);
    }
  }
  if (x0 >= x1) return dib_rect{0, 0, 0, 0};
  return dib_rect{x0, y0, x1, y1};
}

}  // namespace

void stamp_release(stamp_engine& e) {
  stamp_end(e);
  mem_free(e.stamp);
  mem_free(e.work);
  e.stamp = e.work = nullptr;
  e.size = 0;
}

int stamp_load_block(stamp_engine& e, const dib_block* b) {
  stamp_release(e);
  if (!b || dib_bits(b) != 8) return 0;
  const int32_t n = dib_width(b);
  if (n < 2 || dib_height(b) < n) return 0;
  e.stamp = static_cast<unsigned char*>(mem_alloc(std::size_t(n) * n));
  e.work = static_cast<unsigned char*>(mem_alloc(std::size_t(n) * n));
  if (!e.stamp || !e.work) {
    stamp_release(e);
    return 0;
  }
  for (int32_t y = 0; y < n; ++y) std::memcpy(e.stamp + std::size_t(y) * n, dib_row(b, y), n);
  e.size = n;
  return 1;
}

int stamp_load_file(stamp_engine& e, const char* path) {
  dib_block* b = pen_read_grey_file(path);
  const int ok = stamp_load_block(e, b);
  dib_free(b);
  return ok;
}

double stamp_spacing(const stamp_engine& e) {
  return (e.size - 1) * std::min(2.0 / std::max(e.size, 1), 0.1);
}

int stamp_begin(stamp_engine& e, paint_surface* layer, int32_t x, int32_t y, float pressure) {
  stamp_end(e);
  if (!e.stamp || !layer) return 0;
  e.layer = layer;
  walk_begin(e.walk, x, y, std::clamp(pressure, 0.0f, 1.0f));
  return 1;
}

int stamp_segment(stamp_engine& e, paint_surface* layer, int32_t x, int32_t y, uint32_t colour,
                  float opacity, float pressure, const surface_rgn* mask, dib_rect* changed) {
  dib_rect none{0, 0, 0, 0};
  if (!changed) changed = &none;
  *changed = none;
  if (!e.stamp || !layer || layer != e.layer || e.walk.state == 0) return 0;
  e.colour[0] = dib_red(colour), e.colour[1] = dib_green(colour), e.colour[2] = dib_blue(colour);
  e.opacity = std::clamp(opacity, 0.0f, 1.0f);
  e.mask = mask;
  e.dabs = walk_segment(e.walk, x, y, pressure, stamp_spacing(e), stamp_dab, &e, changed);
  return !dib_rect_empty(*changed);
}

void stamp_end(stamp_engine& e) {
  walk_end(e.walk);
  e.layer = nullptr;
  e.mask = nullptr;
}
