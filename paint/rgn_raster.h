#pragma once
// The rasterisers behind the region makers: from a record's shape fields to
// its cell grid (unclassified: inside cells are 1).
#include <cstdint>

#include "paint/rgn_record.h"

// Replaces the grid of r from its kind and shape fields; 0 (r untouched)
// when the shape is degenerate or the grid cannot be had.
int rgn_rasterise(rgn_record* r);

// Even-odd scan-line fill of a closed outline into a grid at (gx, gy) of
// gw x gh cells, the outline itself included. Crossings on a vertex count
// once where the outline passes the row and twice at a peak or valley.
int rgn_fill_outline(const rgn_point* points, int32_t count, int32_t* cells, int32_t gx,
                     int32_t gy, int32_t gw, int32_t gh);
