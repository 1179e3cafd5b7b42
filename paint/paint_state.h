#pragma once
// The current paint colour and opacity, shared by the colour and opacity
// pickers and read by every pen at each segment.
#include <cstdint>

struct pen_desc;

uint32_t paint_colour();  // 0x00BBGGRR
void set_paint_colour(uint32_t colour);
float paint_opacity();
// Clamped to 0..1; 0 (unchanged) when within 0.01 of the stored value.
int set_paint_opacity(float opacity);

// What the engines receive: alpha_factor * opacity, clamped to 0..1.
float pen_opacity(const pen_desc& desc, float opacity);
// The pressure fed to the engines (tablet or simulated pressure when
// has_pressure; otherwise full pressure, brush pens 0 for the pen-down dab).
float stroke_pressure(const pen_desc& desc, float pressure, int has_pressure, int is_move);
