#pragma once
// The drawing surface of the brush engine: libmypaint's MyPaintSurface
// interface over the program's paint surfaces. Dabs become blended (or
// erased) pixels of the layer, limited by the mask and modulated by the
// paper; colour queries for smudging read the layer back.
#include <mypaint-surface.h>

#include <cstdint>

#include "base/dib.h"
#include "paint/mp_rand.h"

struct paint_surface;
struct surface_rgn;

struct mp_surface {
  MyPaintSurface iface;  // first: the library's callbacks cast back from it
  paint_surface* layer = nullptr;
  const surface_rgn* mask = nullptr;
  float pen_r = 1.0f, pen_g = 1.0f, pen_b = 1.0f;
  const dib_block* colour_texture = nullptr;  // always none for pens
  const dib_block* paper = nullptr;           // 8-bit
  int eraser = 0;
  int oil = 0;
  dib_rect changed{0, 0, 0, 0};  // union of the dabs of the current step
  long long dabs = 0;            // dabs asked for while a layer was set (statistics)
  mp_rand rand;

  mp_surface();
};

// The two operations the library calls, also callable directly. The dab
// returns 1 when it touched the layer; the query returns 0 when no pixel was
// read (rgba untouched).
int mp_surface_draw_dab(mp_surface* s, float x, float y, float radius, float r, float g, float b,
                        float opaque, float hardness, float alpha_eraser, float aspect_ratio,
                        float angle);
int mp_surface_get_color(mp_surface* s, float x, float y, float radius, float rgba[4]);

// The dab's blend of a run of n pixels of one row (colour bytes px, coverage
// bytes cov or null) at the opacities g (0: pixel left alone); the same
// result, byte for byte, as blend-pixel (dib_px_over) on each.
void mp_blend_run(unsigned char* px, unsigned char* cov, const float* g, int n, uint32_t colour);
inline constexpr int kMpRun = 256;
