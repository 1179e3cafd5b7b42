#pragma once
// Transforms of a region in its own coordinates. The cells always move the
// way the bitmap transforms of base/dib.h move pixels over a block of the
// grid's size (dib_mirror, dib_flip, dib_rotate90, dib_rotate, dib_resize),
// so a region and the pixels lifted through it stay in register; the shape
// fields (points, centre, angles, radii) follow so that a later rebuild
// describes the same shape. Each returns 1, or 0 with the region unchanged.
#include <cstdint>

#include "paint/rgn_record.h"

int rgn_translate(rgn_record* r, int32_t dx, int32_t dy);
int rgn_mirror(rgn_record* r);        // left to right, within the grid
int rgn_flip(rgn_record* r);          // top to bottom, within the grid
int rgn_quarter_turn(rgn_record* r);  // anticlockwise on screen, about the grid's centre
// Anticlockwise on screen by degrees, about the grid's centre; the new grid
// has dib_rotate's size for the old one. 90 is exactly a quarter turn.
int rgn_rotate(rgn_record* r, double degrees);
// To a grid of width x height about the same centre (nearest cell).
int rgn_scale(rgn_record* r, int32_t width, int32_t height);
