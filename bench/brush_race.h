// The brush pens' race, shared by the benchmark (bench_brush) and the plain
// program that times the Windows build under Wine (brush_time): one brush
// file and one recorded event stream (20 s of a spiral at 200 Hz, pressure
// varying) painted by libmypaint onto its own MyPaintFixedTiledSurface and by
// our engine onto a 3000 x 2000 layer, one after the other.
#pragma once

#include <mypaint-brush.h>
#include <mypaint-fixed-tiled-surface.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "base/dib.h"
#include "base/surface.h"
#include "paint/mp_engine.h"
#include "paint/pen_catalogue.h"

namespace brush_race {

constexpr int kW = 3000, kH = 2000, kRate = 200, kSeconds = 20;

struct event {
  float x, y, p;
};

inline const std::vector<event>& spiral() {
  static const std::vector<event> events = [] {
    std::vector<event> v;
    const int n = kRate * kSeconds;
    for (int i = 0; i < n; ++i) {
      const float t = float(i) / n;
      const float a = t * 6.2831853f * 12.0f;
      const float r = 50.0f + 900.0f * t;
      v.push_back({kW / 2 + r * std::cos(a), kH / 2 + r * std::sin(a),
                   0.55f + 0.45f * std::sin(t * 6.2831853f * 7.0f)});
    }
    return v;
  }();
  return events;
}

// Forwards to the library's surface, counting dabs.
struct counting_surface {
  MyPaintSurface iface;
  MyPaintSurface* inner;
  long long dabs;
};

inline int count_dab(MyPaintSurface* s, float x, float y, float radius, float r, float g, float b,
                     float opaque, float hardness, float eraser, float ratio, float angle,
                     float lock, float colorize) {
  auto* c = reinterpret_cast<counting_surface*>(s);
  ++c->dabs;
  return c->inner->draw_dab(c->inner, x, y, radius, r, g, b, opaque, hardness, eraser, ratio,
                            angle, lock, colorize);
}
inline void forward_get(MyPaintSurface* s, float x, float y, float radius, float* r, float* g,
                        float* b, float* a) {
  auto* c = reinterpret_cast<counting_surface*>(s);
  c->inner->get_color(c->inner, x, y, radius, r, g, b, a);
}
inline void forward_begin(MyPaintSurface* s) {
  mypaint_surface_begin_atomic(reinterpret_cast<counting_surface*>(s)->inner);
}
inline void forward_end(MyPaintSurface* s, MyPaintRectangle* roi) {
  mypaint_surface_end_atomic(reinterpret_cast<counting_surface*>(s)->inner, roi);
}

struct result {
  int ok;
  double lib_seconds, our_seconds;
  long long lib_dabs, our_dabs;
};

inline double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// One race with fresh engines, so that both start from the same brush state.
// Without lib_too only ours runs (CPU-time measurements of ours alone).
inline result run(const pen_desc& d, const char* folder, bool lib_too = true) {
  result out{0, 0, 0, 0, 0};
  const std::vector<event>& ev = spiral();
  const uint32_t colour = d.uses_colour ? dib_colour(30, 60, 160) : 0u;
  const float size = 0.5f * (d.size_min + d.size_max);
  mp_engine lib, ours;
  if (!lib.create() || !ours.create() || !lib.load_brush(d.brush_name, folder) ||
      !ours.load_brush(d.brush_name, folder))
    return out;
  MyPaintFixedTiledSurface* tiled = mypaint_fixed_tiled_surface_new(kW, kH);
  paint_surface* layer = surface_new(kH, kW);
  if (!tiled || !layer) {
    if (tiled) mypaint_surface_unref(mypaint_fixed_tiled_surface_interface(tiled));
    surface_free(layer);
    return out;
  }
  counting_surface counter{};
  counter.inner = mypaint_fixed_tiled_surface_interface(tiled);
  counter.iface.draw_dab = count_dab;
  counter.iface.get_color = forward_get;
  counter.iface.begin_atomic = forward_begin;
  counter.iface.end_atomic = forward_end;
  counter.iface.refcount = 1;
  // The library's brush gets the paint state once; ours per segment, as the
  // pen object sets it.
  lib.set_paint(colour, d.alpha_factor, size, nullptr, d.brush_flag);
  lib.begin(ev[0].x, ev[0].y, ev[0].p);
  ours.begin(ev[0].x, ev[0].y, ev[0].p);

  auto t0 = std::chrono::steady_clock::now();
  for (std::size_t i = 1; lib_too && i < ev.size(); ++i) {
    mypaint_surface_begin_atomic(&counter.iface);
    mypaint_brush_stroke_to(lib.brush().handle(), &counter.iface, ev[i].x, ev[i].y, ev[i].p, 0, 0,
                            1.0 / kRate);
    MyPaintRectangle roi;
    mypaint_surface_end_atomic(&counter.iface, &roi);
  }
  out.lib_seconds = seconds_since(t0);
  t0 = std::chrono::steady_clock::now();
  for (std::size_t i = 1; i < ev.size(); ++i) {
    ours.set_paint(colour, d.alpha_factor, size, nullptr, d.brush_flag);
    ours.set_eraser(0);
    ours.step(layer, ev[i].x, ev[i].y, ev[i].p, 1.0 / kRate, nullptr, nullptr);
  }
  out.our_seconds = seconds_since(t0);
  out.lib_dabs = counter.dabs;
  out.our_dabs = ours.surface().dabs;
  out.ok = 1;
  surface_free(layer);
  mypaint_surface_unref(counter.inner);
  return out;
}

}  // namespace brush_race
