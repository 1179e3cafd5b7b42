#pragma once
// The region record: a grid of document (or screen) cells, optionally
// described by a shape that can be rasterised again after a transform.
// Cells are 0 outside and a cell code inside (kCellInterior or a border code,
// base/surface.h). Every record is one counted block plus its arrays.
#include <cstdint>

#include "base/dib.h"
#include "base/surface.h"

struct rgn_point {
  int32_t x, y;
};

struct rgn_cell {
  int32_t x, y, code;
};

enum : int32_t {
  kRgnCells = 0,
  kRgnPolygon = 1,
  kRgnPoints = 2,
  kRgnEllipse = 3,
  kRgnSector = 4,
  kRgnRoundRect = 5,
  kRgnCurve = 6,
};

// Bounds on what a size or a count may ask for: a grid never holds more
// cells than the largest document has pixels, an outline never more points.
inline constexpr int64_t kRgnMaxCells = 64ll << 20;
inline constexpr int32_t kRgnMaxSide = 32768;
inline constexpr int32_t kRgnMaxPoints = 1 << 20;

struct rgn_record {
  int32_t x, y;
  int32_t width, height;
  int32_t* cells;  // width * height, row-major
  int32_t kind;
  int32_t point_count;
  rgn_point* points;
  int32_t centre_x, centre_y;
  int32_t radius1, radius2, radius3;
  int32_t start_angle, sweep;
  int32_t curve_parameter;
  int32_t border_count;
  rgn_cell* border;
};

// Makers: null when the shape cannot be made (too few points, no memory, a
// grid beyond the bounds). Each result is classified with its border list.
rgn_record* rgn_make_cells(int32_t x, int32_t y, int32_t width, int32_t height);  // all outside
rgn_record* rgn_make_polygon(const rgn_point* points, int32_t count);
rgn_record* rgn_make_points(const rgn_point* points, int32_t count);  // kind 2
rgn_record* rgn_make_rect(int32_t x, int32_t y, int32_t width, int32_t height);  // kind 2
rgn_record* rgn_make_ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry);
rgn_record* rgn_make_sector(int32_t cx, int32_t cy, int32_t radius, int32_t start, int32_t sweep);
rgn_record* rgn_make_round_rect(int32_t cx, int32_t cy, int32_t half_width, int32_t half_height,
                                int32_t corner);
rgn_record* rgn_make_curve(const rgn_point* points, int32_t count, int32_t parameter);
rgn_record* rgn_copy(const rgn_record* r);
void rgn_free(rgn_record* r);

// Rasterises the shape again from its fields (kind 0 keeps its cells) and
// classifies. 0 leaves the record as it was.
int rgn_rebuild(rgn_record* r);

// Replaces the cell grid (the record takes cells, a mem_alloc block of
// width * height) and drops the border list.
void rgn_set_grid(rgn_record* r, int32_t x, int32_t y, int32_t width, int32_t height,
                  int32_t* cells);
// A zeroed grid of the size, or null beyond the bounds.
int32_t* rgn_grid_alloc(int32_t width, int32_t height);

// Cell at a position in the record's coordinates (0 outside the grid).
int32_t rgn_cell_at(const rgn_record* r, int32_t x, int32_t y);
int64_t rgn_inside_count(const rgn_record* r);
// The grid's rectangle (exclusive right and bottom).
dib_rect rgn_box(const rgn_record* r);
// The rectangle of the cells that are inside (empty when none).
dib_rect rgn_inside_box(const rgn_record* r);

// The record as the surface and the pen engines see it: a view that stays
// valid while the record lives unchanged. Null record: a null view pointer.
surface_rgn rgn_mask(const rgn_record* r);
