// Brush pens: the race of bench/brush_race.h for every brush pen. Counters:
// dabs per second of the library's own surface and of ours, and
// ours_vs_library (>= 1 means ours is at least as fast).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "bench/brush_race.h"

namespace {

std::string brush_folder() {
  const char* tree = std::getenv("QM_TREE");
  return std::string(tree && *tree ? tree : QM_BENCH_TREE) + "\\GLIB\\penpat\\mp";
}

void BM_BrushPen(benchmark::State& state) {
  const pen_desc* d = pen_find(int32_t(state.range(0)));
  const std::string folder = brush_folder();
  double lib_time = 0, our_time = 0;
  long long lib_dabs = 0, our_dabs = 0;
  for (auto _ : state) {
    const brush_race::result r = brush_race::run(*d, folder.c_str());
    if (!r.ok) {
      state.SkipWithError("brush not found");
      break;
    }
    lib_time += r.lib_seconds, our_time += r.our_seconds;
    lib_dabs += r.lib_dabs, our_dabs += r.our_dabs;
  }
  state.counters["library_dabs_per_s"] = lib_time > 0 ? lib_dabs / lib_time : 0;
  state.counters["ours_dabs_per_s"] = our_time > 0 ? our_dabs / our_time : 0;
  state.counters["dabs_per_event"] =
      double(our_dabs) / double(state.iterations() * brush_race::spiral().size());
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
