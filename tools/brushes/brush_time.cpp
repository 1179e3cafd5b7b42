// brush_time [TREE] [PEN...]: dabs per second of every brush pen (or those
// given), the best of three runs each, on the benchmark's event stream (20 s of a spiral at 200 Hz,
// pressure varying), painted by our engine onto a 3000 x 2000 layer and by
// libmypaint onto its own MyPaintFixedTiledSurface. A plain program, so that
// the Windows build can be measured under Wine beside the native one.
#include <mypaint-brush.h>
#include <mypaint-fixed-tiled-surface.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/dib.h"
#include "base/surface.h"
#include "paint/mp_engine.h"
#include "paint/pen_catalogue.h"

namespace {
constexpr int kW = 3000, kH = 2000, kRate = 200, kSeconds = 20;

struct event {
  float x, y, p;
};

std::vector<event> spiral() {
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
}

struct counting_surface {
  MyPaintSurface iface;
  MyPaintSurface* inner;
  long long dabs;
};

int count_dab(MyPaintSurface* s, float x, float y, float radius, float r, float g, float b,
              float opaque, float hardness, float eraser, float ratio, float angle, float lock,
              float colorize) {
  auto* c = reinterpret_cast<counting_surface*>(s);
  ++c->dabs;
  return c->inner->draw_dab(c->inner, x, y, radius, r, g, b, opaque, hardness, eraser, ratio,
                            angle, lock, colorize);
}
void forward_get(MyPaintSurface* s, float x, float y, float radius, float* r, float* g, float* b,
                 float* a) {
  auto* c = reinterpret_cast<counting_surface*>(s);
  c->inner->get_color(c->inner, x, y, radius, r, g, b, a);
}
void forward_begin(MyPaintSurface* s) {
  mypaint_surface_begin_atomic(reinterpret_cast<counting_surface*>(s)->inner);
}
void forward_end(MyPaintSurface* s, MyPaintRectangle* roi) {
  mypaint_surface_end_atomic(reinterpret_cast<counting_surface*>(s)->inner, roi);
}

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct rates {
  double lib, ours;
  long long dabs;
};

rates run_once(const pen_desc& d, const std::string& folder, const std::vector<event>& ev) {
  rates out{0, 0, 0};
  const uint32_t colour = d.uses_colour ? dib_colour(30, 60, 160) : 0u;
  const float size = 0.5f * (d.size_min + d.size_max);
  mp_engine lib, ours;
  if (!lib.create() || !ours.create() || !lib.load_brush(d.brush_name, folder.c_str()) ||
      !ours.load_brush(d.brush_name, folder.c_str()))
    return out;
  MyPaintFixedTiledSurface* tiled = mypaint_fixed_tiled_surface_new(kW, kH);
  paint_surface* layer = surface_new(kH, kW);
  if (!tiled || !layer) return out;
  counting_surface counter{};
  counter.inner = mypaint_fixed_tiled_surface_interface(tiled);
  counter.iface.draw_dab = count_dab;
  counter.iface.get_color = forward_get;
  counter.iface.begin_atomic = forward_begin;
  counter.iface.end_atomic = forward_end;
  counter.iface.refcount = 1;
  lib.set_paint(colour, d.alpha_factor, size, nullptr, d.brush_flag);
  lib.begin(ev[0].x, ev[0].y, ev[0].p);
  ours.begin(ev[0].x, ev[0].y, ev[0].p);

  // QM_BRUSH_TIME=ours skips the library's run (for CPU-time measurements of
  // ours alone, e.g. with perf stat).
  const char* only = std::getenv("QM_BRUSH_TIME");
  const bool lib_too = !only || std::strcmp(only, "ours") != 0;
  double t0 = now();
  for (std::size_t i = 1; lib_too && i < ev.size(); ++i) {
    mypaint_surface_begin_atomic(&counter.iface);
    mypaint_brush_stroke_to(lib.brush().handle(), &counter.iface, ev[i].x, ev[i].y, ev[i].p, 0, 0,
                            1.0 / kRate);
    MyPaintRectangle roi;
    mypaint_surface_end_atomic(&counter.iface, &roi);
  }
  const double lib_s = now() - t0;
  t0 = now();
  for (std::size_t i = 1; i < ev.size(); ++i) {
    ours.set_paint(colour, d.alpha_factor, size, nullptr, d.brush_flag);
    ours.set_eraser(0);
    ours.step(layer, ev[i].x, ev[i].y, ev[i].p, 1.0 / kRate, nullptr, nullptr);
  }
  const double our_s = now() - t0;
  out = rates{lib_too ? counter.dabs / lib_s : 1.0, ours.surface().dabs / our_s, ours.surface().dabs};
  surface_free(layer);
  mypaint_surface_unref(counter.inner);
  return out;
}

int measure(const pen_desc& d, const std::string& folder, const std::vector<event>& ev) {
  rates best{0, 0, 0};
  const char* reps = std::getenv("QM_BRUSH_RUNS");
  const int runs = reps ? std::atoi(reps) : 3;
  for (int r = 0; r < runs; ++r) {
    rates x = run_once(d, folder, ev);
    if (x.dabs == 0 && x.ours == 0) {
      std::printf("%d %s: brush not found in %s\n", d.id, d.brush_name, folder.c_str());
      return 0;
    }
    if (x.lib > best.lib) best.lib = x.lib;
    if (x.ours > best.ours) best.ours = x.ours;
    best.dabs = x.dabs;
  }
  std::printf("%3d %-28s dabs %8lld  library %10.0f/s  ours %10.0f/s  ours/library %.2f\n", d.id,
              d.brush_name, best.dabs, best.lib, best.ours, best.ours / best.lib);
  std::fflush(stdout);
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  const char* tree = argc > 1 ? argv[1] : std::getenv("QM_TREE");
  if (!tree) {
    std::fprintf(stderr, "usage: brush_time TREE [PEN...]\n");
    return 2;
  }
  const std::string folder = std::string(tree) + "\\GLIB\\penpat\\mp";
  const std::vector<event> ev = spiral();
  for (int i = 0; i < kPenCount; ++i) {
    const pen_desc& d = pen_catalogue()[i];
    if (d.kind != kPenBrush) continue;
    bool wanted = argc <= 2;
    for (int a = 2; a < argc; ++a) wanted |= std::atoi(argv[a]) == d.id;
    if (wanted) measure(d, folder, ev);
  }
  return 0;
}
