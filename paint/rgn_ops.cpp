// Region transforms: cells by the bitmap rules, shape fields alongside.
#include "paint/rgn_ops.h"

#include <algorithm>
#include <cmath>

#include "base/alloc.h"
#include "paint/rgn_border.h"

namespace {
int32_t floor_div2(int64_t v) { return static_cast<int32_t>(v >= 0 ? v / 2 : -((-v + 1) / 2)); }
int32_t round_half_up(double v) { return static_cast<int32_t>(std::floor(v + 0.5)); }
int32_t norm_angle(int64_t a) { return static_cast<int32_t>(((a % 360) + 360) % 360); }

// A new grid of nw x nh at (nx, ny), each cell taken from the source cell
// that source(i, j, &si, &sj) names (nothing when outside), then classified.
template <class F>
int remap(rgn_record* r, int32_t nx, int32_t ny, int32_t nw, int32_t nh, F source) {
  int32_t* cells = rgn_grid_alloc(nw, nh);
  if (!cells) return 0;
  for (int32_t j = 0; j < nh; ++j) {
    for (int32_t i = 0; i < nw; ++i) {
      int64_t si, sj;
      source(i, j, &si, &sj);
      if (si >= 0 && sj >= 0 && si < r->width && sj < r->height)
        cells[int64_t{j} * nw + i] = r->cells[sj * r->width + si] ? 1 : 0;
    }
  }
  rgn_set_grid(r, nx, ny, nw, nh, cells);
  return rgn_classify(r);
}

template <class F>
void each_point(rgn_record* r, F f) {
  for (int32_t k = 0; k < r->point_count && r->points; ++k) f(r->points[k].x, r->points[k].y);
  f(r->centre_x, r->centre_y);
}

bool usable(const rgn_record* r) { return r && r->cells && r->width > 0 && r->height > 0; }
}  // namespace

int rgn_translate(rgn_record* r, int32_t dx, int32_t dy) {
  if (!r) return 0;
  r->x += dx, r->y += dy;
  for (int32_t k = 0; k < r->border_count && r->border; ++k)
    r->border[k].x += dx, r->border[k].y += dy;
  each_point(r, [&](int32_t& x, int32_t& y) { x += dx, y += dy; });
  return 1;
}

int rgn_mirror(rgn_record* r) {
  if (!usable(r)) return 0;
  const int32_t w = r->width;
  if (!remap(r, r->x, r->y, w, r->height, [&](int32_t i, int32_t j, int64_t* si, int64_t* sj) {
        *si = w - 1 - i, *sj = j;
      }))
    return 0;
  const int64_t axis = 2 * int64_t{r->x} + w - 1;
  each_point(r, [&](int32_t& x, int32_t&) { x = static_cast<int32_t>(axis - x); });
  if (r->kind == kRgnSector) r->start_angle = norm_angle(180 - int64_t{r->start_angle} - r->sweep);
  return 1;
}

int rgn_flip(rgn_record* r) {
  if (!usable(r)) return 0;
  const int32_t h = r->height;
  if (!remap(r, r->x, r->y, r->width, h, [&](int32_t i, int32_t j, int64_t* si, int64_t* sj) {
        *si = i, *sj = h - 1 - j;
      }))
    return 0;
  const int64_t axis = 2 * int64_t{r->y} + h - 1;
  each_point(r, [&](int32_t&, int32_t& y) { y = static_cast<int32_t>(axis - y); });
  if (r->kind == kRgnSector) r->start_angle = norm_angle(-int64_t{r->start_angle} - r->sweep);
  return 1;
}

// dib_rotate90: destination (i, j) is source (w - 1 - j, i).
int rgn_quarter_turn(rgn_record* r) {
  if (!usable(r)) return 0;
  const int32_t w = r->width, h = r->height, ox = r->x, oy = r->y;
  const int32_t nx = ox + floor_div2(int64_t{w} - h), ny = oy + floor_div2(int64_t{h} - w);
  if (!remap(r, nx, ny, h, w, [&](int32_t i, int32_t j, int64_t* si, int64_t* sj) {
        *si = w - 1 - j, *sj = i;
      }))
    return 0;
  each_point(r, [&](int32_t& x, int32_t& y) {
    const int64_t i = int64_t{x} - ox, j = int64_t{y} - oy;
    x = static_cast<int32_t>(nx + j), y = static_cast<int32_t>(ny + (w - 1) - i);
  });
  if (r->kind == kRgnEllipse || r->kind == kRgnRoundRect) std::swap(r->radius1, r->radius2);
  if (r->kind == kRgnSector) r->start_angle = norm_angle(int64_t{r->start_angle} + 90);
  return 1;
}

int rgn_rotate(rgn_record* r, double degrees) {
  if (!usable(r) || !std::isfinite(degrees)) return 0;
  const double turns = degrees / 90.0;
  if (std::fabs(turns - std::round(turns)) < 1e-9) {
    const int q = static_cast<int>(((static_cast<int64_t>(std::llround(turns)) % 4) + 4) % 4);
    rgn_record* backup = rgn_copy(r);
    if (!backup) return 0;
    for (int k = 0; k < q; ++k) {
      if (!rgn_quarter_turn(r)) {
        std::swap(*r, *backup);
        rgn_free(backup);
        return 0;
      }
    }
    rgn_free(backup);
    return 1;
  }
  // The same size and sampling as dib_rotate, at cell centres.
  const double a = double(float(degrees) * 3.1415925f / 180.0f), c = std::cos(a), s = std::sin(a);
  const int32_t w = r->width, h = r->height, ox = r->x, oy = r->y;
  const double w2 = w / 2.0, h2 = h / 2.0;
  double lx = 0, hx = 0, ly = 0, hy = 0;
  const double cx[4] = {-w2, w2, w2, -w2}, cy[4] = {-h2, -h2, h2, h2};
  for (int k = 0; k < 4; ++k) {
    const double x = cx[k] * c + cy[k] * s, y = -cx[k] * s + cy[k] * c;
    lx = k ? std::min(lx, x) : x, hx = k ? std::max(hx, x) : x;
    ly = k ? std::min(ly, y) : y, hy = k ? std::max(hy, y) : y;
  }
  const double fw = std::floor(hx - lx + 1e-3), fh = std::floor(hy - ly + 1e-3);
  if (!(fw >= 1 && fh >= 1) || fw > kRgnMaxSide || fh > kRgnMaxSide) return 0;
  const int32_t nw = int32_t(fw), nh = int32_t(fh);
  const int32_t nx = ox + floor_div2(int64_t{w} - nw), ny = oy + floor_div2(int64_t{h} - nh);
  if (!remap(r, nx, ny, nw, nh, [&](int32_t i, int32_t j, int64_t* si, int64_t* sj) {
        const double u = i + 0.5 - nw / 2.0, v = j + 0.5 - nh / 2.0;
        *si = static_cast<int64_t>(std::floor(u * c - v * s + w2));
        *sj = static_cast<int64_t>(std::floor(u * s + v * c + h2));
      }))
    return 0;
  each_point(r, [&](int32_t& x, int32_t& y) {
    const double u = x - ox + 0.5 - w2, v = y - oy + 0.5 - h2;
    x = nx + round_half_up(u * c + v * s + nw / 2.0 - 0.5);
    y = ny + round_half_up(-u * s + v * c + nh / 2.0 - 0.5);
  });
  // Axis-aligned shapes cannot describe a turned copy: keep the cells only.
  if (r->kind == kRgnEllipse || r->kind == kRgnRoundRect) r->kind = kRgnCells;
  if (r->kind == kRgnSector)
    r->start_angle = norm_angle(int64_t{r->start_angle} + std::llround(std::fmod(degrees, 360.0)));
  return 1;
}

int rgn_scale(rgn_record* r, int32_t width, int32_t height) {
  if (!usable(r) || width <= 0 || height <= 0) return 0;
  const int32_t w = r->width, h = r->height, ox = r->x, oy = r->y;
  const int32_t nx = ox + floor_div2(int64_t{w} - width), ny = oy + floor_div2(int64_t{h} - height);
  const double fx = double(w) / width, fy = double(h) / height;
  if (!remap(r, nx, ny, width, height, [&](int32_t i, int32_t j, int64_t* si, int64_t* sj) {
        *si = static_cast<int64_t>(std::floor((i + 0.5) * fx));
        *sj = static_cast<int64_t>(std::floor((j + 0.5) * fy));
      }))
    return 0;
  each_point(r, [&](int32_t& x, int32_t& y) {
    x = nx + round_half_up((x - ox + 0.5) / fx - 0.5);
    y = ny + round_half_up((y - oy + 0.5) / fy - 0.5);
  });
  switch (r->kind) {
    case kRgnEllipse:
    case kRgnRoundRect:
      r->radius1 = std::max(1, (width - 1) / 2), r->radius2 = std::max(1, (height - 1) / 2);
      r->radius3 = std::max(1, round_half_up(r->radius3 / std::max(fx, fy)));
      break;
    case kRgnSector:
      if (width * int64_t{h} == height * int64_t{w})
        r->radius1 = std::max(1, round_half_up(r->radius1 / fx));
      else
        r->kind = kRgnCells;  // stretched unevenly it is no sector any more
      break;
    default:
      break;
  }
  return 1;
}
