#pragma once
// One dab of the pattern engine: tip choice and compositing.
#include "base/dib.h"

struct pattern_engine;

// dab_fn of the walk: context is the pattern_engine. Returns the rectangle
// of the pixels it wrote (empty when none).
dib_rect pattern_draw_dab(void* context, double x, double y, double strength);
// The lit-sphere colour of the pen colour (0x00BBGGRR) for a pixel at
// offset (ox, oy) from the dab centre, sphere radius r.
uint32_t sphere_colour(uint32_t colour, double ox, double oy, double r);
