#include "paint/paint_state.h"

#include <cmath>

#include "paint/pen_catalogue.h"

namespace {
uint32_t g_colour = 0;
float g_opacity = 1.0f;

float clamp(float v, float lo, float hi) { return v < lo ? lo : v > hi ? hi : v; }
}  // namespace

uint32_t paint_colour() { return g_colour; }
void set_paint_colour(uint32_t colour) { g_colour = colour & 0xffffff; }
float paint_opacity() { return g_opacity; }

int set_paint_opacity(float opacity) {
  if (std::isnan(opacity)) return 0;
  opacity = clamp(opacity, 0.0f, 1.0f);
  if (std::fabs(opacity - g_opacity) <= 0.01f) return 0;
  g_opacity = opacity;
  return 1;
}

float pen_opacity(const pen_desc& desc, float opacity) {
  return clamp(desc.alpha_factor * opacity, 0.0f, 1.0f);
}

float stroke_pressure(const pen_desc& desc, float p, int has_pressure, int is_move) {
  if (has_pressure) {
    if (desc.invert) p = 1.0f - p;
  } else if (desc.kind == kPenBrush) {
    p = is_move ? 1.0f : 0.0f;
  } else {
    p = 1.0f;
  }
  if (std::isnan(p)) p = 1.0f;
  return clamp(p, desc.pressure_floor, desc.pressure_ceiling);
}
