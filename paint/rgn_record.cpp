// Region records: making, copying and freeing them, and the cell lookups.
#include "paint/rgn_record.h"

#include <cstring>

#include "base/alloc.h"
#include "paint/rgn_border.h"
#include "paint/rgn_raster.h"

namespace {
rgn_record* blank(int32_t kind) {
  auto* r = static_cast<rgn_record*>(mem_calloc(sizeof(rgn_record)));
  if (r) r->kind = kind;
  return r;
}

int set_points(rgn_record* r, const rgn_point* points, int32_t count) {
  if (!points || count <= 0 || count > kRgnMaxPoints) return 0;
  auto* p = static_cast<rgn_point*>(mem_alloc(std::size_t(count) * sizeof(rgn_point)));
  if (!p) return 0;
  std::memcpy(p, points, std::size_t(count) * sizeof(rgn_point));
  mem_free(r->points);
  r->points = p;
  r->point_count = count;
  return 1;
}

// A made record keeps its shape only when it rasterises.
rgn_record* finish(rgn_record* r) {
  if (r && rgn_rebuild(r)) return r;
  rgn_free(r);
  return nullptr;
}

template <class T>
T* duplicate(const T* src, int64_t count) {
  if (!src || count <= 0) return nullptr;
  auto* p = static_cast<T*>(mem_alloc(std::size_t(count) * sizeof(T)));
  if (p) std::memcpy(p, src, std::size_t(count) * sizeof(T));
  return p;
}
}  // namespace

int32_t* rgn_grid_alloc(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || width > kRgnMaxSide || height > kRgnMaxSide ||
      int64_t{width} * height > kRgnMaxCells)
    return nullptr;
  return static_cast<int32_t*>(mem_calloc(std::size_t(width) * height * sizeof(int32_t)));
}

void rgn_set_grid(rgn_record* r, int32_t x, int32_t y, int32_t width, int32_t height,
                  int32_t* cells) {
  if (!r) {
    mem_free(cells);
    return;
  }
  mem_free(r->cells);
  mem_free(r->border);
  r->border = nullptr;
  r->border_count = 0;
  r->x = x, r->y = y;
  r->cells = cells;
  r->width = cells ? width : 0;
  r->height = cells ? height : 0;
}

rgn_record* rgn_make_cells(int32_t x, int32_t y, int32_t width, int32_t height) {
  int32_t* cells = rgn_grid_alloc(width, height);
  rgn_record* r = cells ? blank(kRgnCells) : nullptr;
  if (!r) {
    mem_free(cells);
    return nullptr;
  }
  rgn_set_grid(r, x, y, width, height, cells);
  return r;
}

rgn_record* rgn_make_polygon(const rgn_point* points, int32_t count) {
  if (count < 3) return nullptr;
  rgn_record* r = blank(kRgnPolygon);
  if (r && !set_points(r, points, count)) {
    rgn_free(r);
    return nullptr;
  }
  return finish(r);
}

rgn_record* rgn_make_points(const rgn_point* points, int32_t count) {
  if (count < 3) return nullptr;
  rgn_record* r = blank(kRgnPoints);
  if (r && !set_points(r, points, count)) {
    rgn_free(r);
    return nullptr;
  }
  return finish(r);
}

rgn_record* rgn_make_rect(int32_t x, int32_t y, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || width > kRgnMaxSide || height > kRgnMaxSide) return nullptr;
  const int32_t r0 = x + width - 1, b0 = y + height - 1;
  const rgn_point corners[4] = {{x, y}, {r0, y}, {r0, b0}, {x, b0}};
  return rgn_make_points(corners, 4);
}

rgn_record* rgn_make_ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry) {
  rgn_record* r = blank(kRgnEllipse);
  if (!r) return nullptr;
  r->centre_x = cx, r->centre_y = cy, r->radius1 = rx, r->radius2 = ry;
  return finish(r);
}

rgn_record* rgn_make_sector(int32_t cx, int32_t cy, int32_t radius, int32_t start, int32_t sweep) {
  rgn_record* r = blank(kRgnSector);
  if (!r) return nullptr;
  r->centre_x = cx, r->centre_y = cy, r->radius1 = radius;
  r->start_angle = start, r->sweep = sweep;
  return finish(r);
}

rgn_record* rgn_make_round_rect(int32_t cx, int32_t cy, int32_t half_width, int32_t half_height,
                                int32_t corner) {
  rgn_record* r = blank(kRgnRoundRect);
  if (!r) return nullptr;
  r->centre_x = cx, r->centre_y = cy;
  r->radius1 = half_width, r->radius2 = half_height, r->radius3 = corner;
  return finish(r);
}

rgn_record* rgn_make_curve(const rgn_point* points, int32_t count, int32_t parameter) {
  if (count < 3) return nullptr;
  rgn_record* r = blank(kRgnCurve);
  if (r && !set_points(r, points, count)) {
    rgn_free(r);
    return nullptr;
  }
  if (r) r->curve_parameter = parameter;
  return finish(r);
}

rgn_record* rgn_copy(const rgn_record* src) {
  if (!src) return nullptr;
  rgn_record* r = blank(src->kind);
  if (!r) return nullptr;
  *r = *src;
  r->cells = duplicate(src->cells, int64_t{src->width} * src->height);
  r->points = duplicate(src->points, src->point_count);
  r->border = duplicate(src->border, src->border_count);
  if ((src->cells && !r->cells) || (src->points && src->point_count > 0 && !r->points) ||
      (src->border && src->border_count > 0 && !r->border)) {
    rgn_free(r);
    return nullptr;
  }
  return r;
}

void rgn_free(rgn_record* r) {
  if (!r) return;
  mem_free(r->cells);
  mem_free(r->points);
  mem_free(r->border);
  mem_free(r);
}

int rgn_rebuild(rgn_record* r) {
  if (!r) return 0;
  if (r->kind != kRgnCells && !rgn_rasterise(r)) return 0;
  return rgn_classify(r);
}

int32_t rgn_cell_at(const rgn_record* r, int32_t x, int32_t y) {
  if (!r || !r->cells) return 0;
  const int64_t i = int64_t{x} - r->x, j = int64_t{y} - r->y;
  if (i < 0 || j < 0 || i >= r->width || j >= r->height) return 0;
  return r->cells[j * r->width + i];
}

int64_t rgn_inside_count(const rgn_record* r) {
  if (!r || !r->cells) return 0;
  int64_t n = 0;
  const int64_t total = int64_t{r->width} * r->height;
  for (int64_t k = 0; k < total; ++k) n += r->cells[k] != 0;
  return n;
}

dib_rect rgn_box(const rgn_record* r) {
  if (!r || !r->cells) return dib_rect{0, 0, 0, 0};
  return dib_rect{r->x, r->y, r->x + r->width, r->y + r->height};
}

dib_rect rgn_inside_box(const rgn_record* r) {
  dib_rect b{0, 0, 0, 0};
  if (!r || !r->cells) return b;
  bool any = false;
  for (int32_t j = 0; j < r->height; ++j) {
    for (int32_t i = 0; i < r->width; ++i) {
      if (!r->cells[int64_t{j} * r->width + i]) continue;
      const int32_t x = r->x + i, y = r->y + j;
      if (!any) {
        b = dib_rect{x, y, x + 1, y + 1};
        any = true;
        continue;
      }
      if (x < b.left) b.left = x;
      if (x + 1 > b.right) b.right = x + 1;
      if (y + 1 > b.bottom) b.bottom = y + 1;
    }
  }
  return b;
}

surface_rgn rgn_mask(const rgn_record* r) {
  if (!r) return surface_rgn{0, 0, 0, 0, nullptr, 0};
  return surface_rgn{r->x, r->y, r->width, r->height, r->cells, r->kind};
}
