// The same 2,000-point stroke painted by every pattern and texture pen at
// its largest size on a 3000 x 2000 document. Counters: dabs per second,
// mean, 99th percentile and worst microseconds per segment. Targets: mean segment under
// 0.5 ms over all pens, no pen's mean over 2 ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/surface.h"
#include "paint/pen_engine.h"
#include "paint/pen_resources.h"
#include "tools/penpics/penpics.h"

namespace {

struct point {
  int32_t x, y;
};

// A looping curve across the document, about 6 pixels between points.
std::vector<point> the_stroke() {
  std::vector<point> pts;
  double t = 0;
  while (pts.size() < 2000) {
    pts.push_back({int32_t(1500 + 1200 * std::sin(t)), int32_t(1000 + 800 * std::sin(2 * t + 0.5))});
    const double dx = 1200 * std::cos(t), dy = 1600 * std::cos(2 * t + 0.5);
    t += 6.0 / std::max(1.0, std::hypot(dx, dy));
  }
  return pts;
}

const std::string& tree() {
  static std::string root;
  if (root.empty()) {
    root = (std::filesystem::temp_directory_path() / "qm-pens-bench").string();
    std::string error;
    penpics_write(root, 0, &error);
  }
  pen_set_root(root.c_str());
  return root;
}

void BM_PenStroke(benchmark::State& state) {
  tree();
  const int id = int(state.range(0));
  std::unique_ptr<zun_pen_single_engine> pen{new zun_pen_single_engine};
  pen->fixed_seed = 1;
  if (!pen->select_pen(id, 0) || !pen->set_size(1.0f)) {
    state.SkipWithError("pen not available");
    return;
  }
  paint_surface* s = surface_new(2000, 3000);
  const std::vector<point> pts = the_stroke();
  double worst = 0, total = 0;
  std::vector<double> times;
  long segments = 0, dabs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    surface_clear(s, 0xffffff);
    state.ResumeTiming();
    pen->begin_stroke(1, s, pts[0].x, pts[0].y, 0.6f);
    for (std::size_t i = 1; i < pts.size(); ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      dib_rect r;
      // Pressure swings slowly between 0.3 and 1, as a hand would.
      const float p = float(0.65 + 0.35 * std::sin(i * 0.01));
      pen->stroke_segment(s, pts[i].x, pts[i].y, 0x203040, 0.8f, p, 1, 0, 0, nullptr, &r);
      const double us =
          std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
      worst = std::max(worst, us);
      times.push_back(us);
      total += us;
      ++segments;
      dabs += pen->desc->kind == kPenTexture ? pen->stamp.dabs : pen->pattern.dabs;
    }
    pen->end_stroke();
  }
  state.counters["size"] = pen->size;
  state.counters["us_per_segment"] = total / segments;
  state.counters["worst_us"] = worst;  // includes preemption on a shared machine
  std::sort(times.begin(), times.end());
  state.counters["p99_us"] = times[times.size() * 99 / 100];
  state.counters["dabs_per_s"] = benchmark::Counter(double(dabs) / (total * 1e-6));
  state.counters["dabs_per_segment"] = double(dabs) / segments;
  surface_free(s);
}

void pens(benchmark::internal::Benchmark* b) {
  for (int id = 0; id <= 12; ++id) b->Arg(id);
  for (int id = 20; id <= 32; ++id) b->Arg(id);
}

BENCHMARK(BM_PenStroke)->Apply(pens)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
