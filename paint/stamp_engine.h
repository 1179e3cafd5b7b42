#pragma once
// The stamp engine: texture pens lay one square greyscale stamp per dab, its
// strength following the pressure.
#include <cstdint>

#include "base/dib.h"
#include "base/surface.h"
#include "paint/dab_walk.h"

struct stamp_engine {
  int32_t size = 0;                  // edge n
  unsigned char* stamp = nullptr;    // n x n, top row first
  unsigned char* work = nullptr;     // n x n
  dab_walk walk;
  paint_surface* layer = nullptr;
  const surface_rgn* mask = nullptr;
  unsigned char colour[3] = {0, 0, 0};  // red, green, blue
  float opacity = 1.0f;
  int32_t dabs = 0;  // of the last segment
};

// From an 8-bit picture whose width is n (at least n rows). A stamp one pixel
// wide is refused: its spacing would be 0 and the walk could not advance.
int stamp_load_block(stamp_engine& e, const dib_block* picture);
// From a file path.
int stamp_load_file(stamp_engine& e, const char* path);
void stamp_release(stamp_engine& e);
double stamp_spacing(const stamp_engine& e);

int stamp_begin(stamp_engine& e, paint_surface* layer, int32_t x, int32_t y, float pressure);
int stamp_segment(stamp_engine& e, paint_surface* layer, int32_t x, int32_t y, uint32_t colour,
                  float opacity, float pressure, const surface_rgn* mask, dib_rect* changed);
void stamp_end(stamp_engine& e);
