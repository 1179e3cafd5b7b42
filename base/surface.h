#pragma once
// The paint surface: a 24-bit colour block paired with an 8-bit coverage plane,
// which remembers the bounding box of everything painted on it (its changed
// area) and can keep a reduced copy of itself up to date pixel by pixel. Pens
// paint only into surfaces, through the per-pixel operations below.
//
// Kind 1 surfaces have a coverage plane and track their changed area; kind 0
// surfaces are colour only and track nothing. Coordinates are from the top.
#include <cstdint>

#include "base/dib.h"

struct paint_surface {
  uint16_t kind;
  int32_t width, height;
  int32_t reduced_width, reduced_height;  // 0: no reduced copy
  float step_x, step_y;                   // width / reduced width; 1 without a copy
  dib_block* colour;                      // white where nothing was painted
  dib_block* coverage;                    // 0 where nothing was painted; null on kind 0
  dib_block* reduced;
  dib_rect changed;
  // Pixel areas of the three blocks (bottom row first) and their strides,
  // refreshed whenever a block is replaced.
  unsigned char* colour_bits;
  unsigned char* coverage_bits;
  unsigned char* reduced_bits;
  uint32_t colour_stride, coverage_stride, reduced_stride;
};

// The cell grid of a region (the cells of an rgn_record), as the surface sees
// it: width x height cells, row-major, at (x, y) in surface pixels; a cell is
// 0 outside, else its cell code.
struct surface_rgn {
  int32_t x, y, width, height;
  const int32_t* cells;
  int32_t kind;
};

inline constexpr int32_t kCellInterior = 0x10000000;
inline constexpr int32_t kCellBorder = 0x210000FF;  // kind 1, factor 1

paint_surface* surface_new(int32_t height, int32_t width);  // kind 1, white, coverage 0
// A kind-0 surface (colour only) of the given colour.
paint_surface* surface_new_plain(int32_t height, int32_t width, uint32_t colour);
paint_surface* surface_clone(const paint_surface* s);
void surface_free(paint_surface* s);
// Kind 1: white, coverage 0, changed area emptied; kind 0: filled with colour.
int surface_clear(paint_surface* s, uint32_t colour);
// Replaces a block (the surface takes it; it must have the surface's size, 24
// bits for colour and 8 for coverage) and refreshes the caches.
int surface_set_colour(paint_surface* s, dib_block* colour);
int surface_set_coverage(paint_surface* s, dib_block* coverage);
// Makes (or with 0 x 0 drops) the reduced copy and builds it from the colours.
int surface_set_reduced(paint_surface* s, int32_t reduced_width, int32_t reduced_height);
void surface_rebuild_reduced(paint_surface* s);

// Changed-area bookkeeping (kind 0 tracks nothing).
void surface_note_pixel(paint_surface* s, int32_t x, int32_t y);
void surface_note_rect(paint_surface* s, const dib_rect& r);
// The changed area clipped to the surface, grown by one pixel each side first
// when grow is set.
dib_rect surface_changed_area(const paint_surface* s, int grow);
// Pushes colour pixel (x, y) into the reduced copy when it falls on a step.
void surface_update_reduced(paint_surface* s, int32_t x, int32_t y);

// Per-pixel painting; each also updates the reduced copy and notes the pixel.
// 0 for an absent surface or a pixel outside it.
int surface_blend_pixel(paint_surface* s, int32_t x, int32_t y, int red, int green, int blue,
                        float opacity);  // over
int surface_paint_pixel(paint_surface* s, int32_t x, int32_t y, uint32_t colour,
                        float opacity);  // paint, set coverage
int surface_fade_pixel(paint_surface* s, int32_t x, int32_t y, float opacity);  // eraser
int surface_erase_pixel(paint_surface* s, int32_t x, int32_t y,
                        uint32_t colour);  // plain set / erase
// Blue, green, red, alpha (coverage, or 255 without a plane).
int surface_read_pixel(const paint_surface* s, int32_t x, int32_t y, unsigned char bgra[4]);
// Blends source pixel (x, y) into the target's (x, y) with the source coverage as opacity.
int surface_copy_pixel(const paint_surface* src, paint_surface* dst, int32_t x, int32_t y);

// Cell painter: paints the pixel (x, y) of a region cell (and for border codes
// its neighbours) at the colour and opacity; rgn (optional) is the region the
// cell belongs to.
int surface_paint_cell(paint_surface* s, int32_t x, int32_t y, int32_t code, uint32_t colour,
                       float opacity, const surface_rgn* rgn);

// Region operations. A null region, or one of kind 2 covering the whole
// surface, is the whole surface.
int surface_rgn_is_whole(const surface_rgn* rgn, const paint_surface* s);
int surface_rgn_inside(const surface_rgn* rgn, int32_t x, int32_t y);  // null: 1
int32_t surface_rgn_cell(const surface_rgn* rgn, int32_t x, int32_t y);
int surface_copy_region(const paint_surface* src, const surface_rgn* rgn, paint_surface* dst,
                        int32_t dx, int32_t dy);
int surface_fill_region(paint_surface* s, const surface_rgn* rgn, int red, int green, int blue);
// Pastes image (its own size when width or height is 0) at (x, y), through the
// alpha plane (optional) at the opacity.
int surface_paste(paint_surface* s, int32_t x, int32_t y, const dib_block* image, int32_t width,
                  int32_t height, const dib_block* alpha, float opacity);

// Draws the changed area (clipped by clip, when given) over the target at the
// same position: kind 1 through the coverage plane at the opacity.
int surface_draw_to(const paint_surface* s, dib_block* target, const dib_rect* clip, float opacity);
