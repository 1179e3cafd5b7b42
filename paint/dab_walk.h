#pragma once
// The dab walk both engines share: dabs at a fixed spacing along each
// segment, the distance left over carried into the next one, pressure
// interpolated between the segment's ends.
#include <cstdint>

#include "base/dib.h"

struct dab_walk {
  int32_t prev_x = 0, prev_y = 0;
  int32_t cur_x = 0, cur_y = 0;
  double prev_strength = 0, cur_strength = 0;
  int state = 0;  // 0 idle, 1 first segment, 2 continuing
  double leftover = 0;
};

// Draws one dab; returns the rectangle it may have changed (empty for none).
// Longer than the diagonal of the largest document, twice over.
inline constexpr double kWalkLongest = 65536.0;

using dab_fn = dib_rect (*)(void* context, double x, double y, double strength);

void walk_begin(dab_walk& w, int32_t x, int32_t y, double strength);
void walk_end(dab_walk& w);
// Walks the segment from the previous point to (x, y). Returns the number of
// dabs laid; *changed receives their united rectangle. A segment shorter than
// 0.2 pixels lays nothing and keeps the previous point; one longer than
// kWalkLongest lays nothing and moves it.
int walk_segment(dab_walk& w, int32_t x, int32_t y, double strength, double spacing, dab_fn dab,
                 void* context, dib_rect* changed);
