#pragma once
// Regions meeting layers and the view: filling a region, pasting pixels
// through it, moving a region's pixels exactly, and mapping a region between
// screen (the canvas area's own coordinates) and document pixels.
#include <cstdint>

#include "base/dib.h"
#include "base/surface.h"
#include "paint/rgn_record.h"

class zun_file_canvas;

// Fills the region's cells of the layer with the colour (a layer with a
// coverage plane: white, coverage 0, as the surface's region fill does).
int rgn_fill(paint_surface* layer, const rgn_record* r, uint32_t colour);
// Sets the layer's pixels inside the region from a 24-bit picture placed at
// (x, y) and its 8-bit coverage plane (optional: 255), replacing what was
// there. Cells outside the picture or the layer are left alone.
int rgn_paste(paint_surface* layer, const rgn_record* r, const dib_block* colour,
              const dib_block* coverage, int32_t x, int32_t y);
// Copies the pixels (colour and coverage, byte for byte) of src under the
// region into dst moved by (dx, dy). src and dst have the same size.
int rgn_copy_pixels(const paint_surface* src, const rgn_record* r, paint_surface* dst, int32_t dx,
                    int32_t dy);

// A new region in document pixels for a region in screen pixels (and back).
// At 1:1 without rotation only the origin moves; otherwise outlines map
// their points, centred shapes their centre and radii (unrotated views
// only), and grids look up each target cell's position in the source grid.
rgn_record* rgn_to_document(const rgn_record* screen, const zun_file_canvas& view);
rgn_record* rgn_to_screen(const rgn_record* doc, const zun_file_canvas& view);
