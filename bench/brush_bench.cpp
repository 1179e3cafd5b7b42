// Brush pens: the same brush files and the same recorded event stream (20 s
// of a spiral at 200 Hz, pressure varying) painted by libmypaint onto its own
// MyPaintFixedTiledSurface and by our engine onto a 3000 x 2000 layer, one
// after the other in each iteration. Counters: dabs per second of each and
// ours_vs_library (>= 1 means ours is at least as fast).
#include <benchmark/benchmark.h>
#include <mypaint-brush.h>
#include <mypaint-fixed-tiled-surface.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/dib.h"
#include "base/surface.h"
#include "paint/mp_engine.h"
#include "paint/pen_catalogue.h"

namespace {
constexpr int kW = 3000, kH = 2000;
constexpr int kRate = 200, kSeconds = 20;

struct event {
  float x, y, p;
};

const std::vector<event>& spiral() {
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

std::string brush_folder() {
  const char* tree = std::getenv("QM_TREE");
  return std::string(tree && *tree ? tree : QM_BENCH_TREE) + "\\GLIB\\penpat\\mp";
}

// Forwards to the library's surface, counting dabs.
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
  auto* c = reinterpret_cast<counting_surface*>(s);
  mypaint_surface_begin_atomic(c->inner);
}
void forward_end(MyPaintSurface* s, MyPaintRectangle* roi) {
  auto* c = reinterpret_cast<counting_surface*>(s);
  mypaint_surface_end_atomic(c->inner, roi);
}

struct pen_setup {
  const pen_desc* d;
  uint32_t colour;
  float size;
};

// One engine per run, so that both runs start from the same brush state.
mp_engine* make_engine(const pen_setup& pen) {
  auto* e = new mp_engine;
  if (!e->create() || !e->load_brush(pen.d->brush_name, brush_folder().c_str())) {
    delete e;
    return nullptr;
  }
  return e;
}

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_BrushPen(benchmark::State& state) {
  const pen_desc* d = pen_find(int32_t(state.range(0)));
  pen_setup pen{d, d->uses_colour ? dib_colour(30, 60, 160) : 0u,
                0.5f * (d->size_min + d->size_max)};
  const std::vector<event>& ev = spiral();
  double lib_time = 0, our_time = 0;
  long long lib_dabs = 0, our_dabs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // The library on its own surface.
    mp_engine* lib = make_engine(pen);
    mp_engine* ours = make_engine(pen);
    if (!lib || !ours) {
      state.SkipWithError("brush not found");
      delete lib;
      delete ours;
      break;
    }
    MyPaintFixedTiledSurface* tiled = mypaint_fixed_tiled_surface_new(kW, kH);
    counting_surface counter{};
    counter.inner = mypaint_fixed_tiled_surface_interface(tiled);
    counter.iface.draw_dab = count_dab;
    counter.iface.get_color = forward_get;
    counter.iface.begin_atomic = forward_begin;
    counter.iface.end_atomic = forward_end;
    counter.iface.refcount = 1;
    paint_surface* layer = surface_new(kH, kW);
    // Both brushes get the paint state once, as set_paint does per segment.
    lib->set_paint(pen.colour, d->alpha_factor, pen.size, nullptr, d->brush_flag);
    MyPaintBrush* b = lib->brush().handle();
    lib->begin(ev[0].x, ev[0].y, ev[0].p);
    ours->begin(ev[0].x, ev[0].y, ev[0].p);
    state.ResumeTiming();

    auto t0 = std::chrono::steady_clock::now();
    for (std::size_t i = 1; i < ev.size(); ++i) {
      mypaint_surface_begin_atomic(&counter.iface);
      mypaint_brush_stroke_to(b, &counter.iface, ev[i].x, ev[i].y, ev[i].p, 0, 0, 1.0 / kRate);
      MyPaintRectangle roi;
      mypaint_surface_end_atomic(&counter.iface, &roi);
    }
    lib_time += seconds_since(t0);

    t0 = std::chrono::steady_clock::now();
    const long long before = ours->surface().dabs;
    for (std::size_t i = 1; i < ev.size(); ++i) {
      ours->set_paint(pen.colour, d->alpha_factor, pen.size, nullptr, d->brush_flag);
      ours->set_eraser(0);
      dib_rect r;
      ours->step(layer, ev[i].x, ev[i].y, ev[i].p, 1.0 / kRate, nullptr, &r);
    }
    our_time += seconds_since(t0);
    our_dabs += ours->surface().dabs - before;
    lib_dabs += counter.dabs;

    state.PauseTiming();
    surface_free(layer);
    mypaint_surface_unref(counter.inner);
    delete lib;
    delete ours;
    state.ResumeTiming();
  }
  state.counters["library_dabs_per_s"] = lib_time > 0 ? lib_dabs / lib_time : 0;
  state.counters["ours_dabs_per_s"] = our_time > 0 ? our_dabs / our_time : 0;
  state.counters["dabs_per_event"] = double(our_dabs) / double(state.iterations() * ev.size());
  state.counters["ours_vs_library"] =
      (lib_time > 0 && our_time > 0 && lib_dabs > 0) ? (our_dabs / our_time) / (lib_dabs / lib_time) : 0;
  state.SetLabel(d->brush_name);
}

void brush_pens(benchmark::internal::Benchmark* b) {
  for (int i = 0; i < kPenCount; ++i)
    if (pen_catalogue()[i].kind == kPenBrush) b->Arg(pen_catalogue()[i].id);
}
BENCHMARK(BM_BrushPen)->Apply(brush_pens)->Iterations(2)->Unit(benchmark::kMillisecond);
}  // namespace
