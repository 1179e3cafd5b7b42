// From a batch of tablet packets to the repainted window rectangle: one pen
// panel move (four packets 3 pixels apart, pressure swinging) painted by a
// 40-pixel pattern pen on a 3000 x 2000 document, the dirty area marked and
// redrawn into a 1920 x 1080 desktop bitmap. Counters: mean, 99th percentile
// and worst milliseconds per move. Target: mean under 8 ms per move. The
// screen blit of the rectangle by GDI is not part of it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/state_queue.h"
#include "doc/zun_file.h"
#include "paint/paint_state.h"
#include "paint/pen_panel.h"
#include "paint/pen_resources.h"
#include "tools/penpics/penpics.h"

namespace {

constexpr int kPackets = 4;

// A tablet that hands the panel a fixed batch of packets per move.
class batch_tablet : public pen_tablet {
 public:
  void press(int32_t x, int32_t y) override { x_ = x, y_ = y, n_ = 0; }
  void press_simulated(zun_pen_engine&) override {}
  void move(int32_t x, int32_t y) override {
    for (int i = 0; i < kPackets; ++i) {
      const double t = double(i + 1) / kPackets;
      px_[i] = int32_t(std::lround(x_ + (x - x_) * t));
      py_[i] = int32_t(std::lround(y_ + (y - y_) * t));
      pp_[i] = float(0.65 + 0.35 * std::sin(++tick_ * 0.01));
    }
    x_ = x, y_ = y, n_ = kPackets;
  }
  void release(int32_t, int32_t) override { n_ = 0; }
  int has_pressure() const override { return 1; }
  float pressure() const override { return 0.6f; }
  int eraser_end() const override { return 0; }
  int packets() const override { return n_; }
  int32_t packet_x(int i) const override { return px_[i]; }
  int32_t packet_y(int i) const override { return py_[i]; }
  float packet_pressure(int i) const override { return pp_[i]; }

 private:
  int32_t x_ = 0, y_ = 0, n_ = 0;
  int32_t px_[kPackets], py_[kPackets];
  float pp_[kPackets];
  long tick_ = 0;
};

class rect_window : public pen_window {
 public:
  void invalidate(const dib_rect& r) override { last = r; }
  dib_rect last{};
};

void tree() {
  static std::string root;
  if (root.empty()) {
    root = (std::filesystem::temp_directory_path() / "qm-tablet-bench").string();
    std::string error;
    penpics_write(root, 0, &error);
  }
  pen_set_root(root.c_str());
}

void BM_TabletMoveToRepaint(benchmark::State& state) {
  tree();
  set_app_initialised(1);
  pen_slots_restore_defaults();
  pen_slots()[0].pen_id = int32_t(state.range(0));
  std::unique_ptr<zun_file> f{new zun_file};
  f->zun_file_init(8);
  f->canvas->view_setup(0, 0, 1920, 1080);
  f->doc_new(3000, 2000);
  dib_block* desktop = dib_create(1080, 1, 1920, 0);
  f->data->doc_mark_dirty(nullptr, 0);
  f->canvas->view_redraw(*f->data, desktop);
  batch_tablet tablet;
  rect_window window;
  zun_enum_pen_engine panel(0, f.get(), &tablet, &window);
  if (!panel.open()) {
    state.SkipWithError("pen panel did not open");
    dib_free(desktop);
    return;
  }
  panel.set_slider(100);
  std::vector<double> times;
  double t = 0;
  auto at = [&](double s) {
    const canvas_point d =
        f->canvas->doc_to_screen(1500 + 1000 * std::sin(s), 1000 + 700 * std::sin(2 * s));
    return canvas_point{d.x + f->canvas->area_x, d.y + f->canvas->area_y};
  };
  canvas_point p = at(t);
  if (!panel.pen_down(p.x, p.y)) {
    state.SkipWithError("pen down refused");
    dib_free(desktop);
    return;
  }
  double area = 0;
  for (auto _ : state) {
    t += 0.006;  // about 12 pixels per move
    p = at(t);
    const auto t0 = std::chrono::steady_clock::now();
    panel.pen_move(p.x, p.y);
    dib_rect screen{};
    f->canvas->view_redraw(*f->data, desktop, &screen);
    benchmark::DoNotOptimize(screen);
    area += double(screen.right - screen.left) * (screen.bottom - screen.top);
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  const float size = panel.pen ? panel.pen->size : 0;
  panel.pen_up(p.x, p.y);
  panel.close();
  dib_free(desktop);
  if (times.empty()) return;
  std::sort(times.begin(), times.end());
  double sum = 0;
  for (double v : times) sum += v;
  state.counters["mean_ms"] = sum / times.size();
  state.counters["p99_ms"] = times[std::min(times.size() - 1, times.size() * 99 / 100)];
  state.counters["worst_ms"] = times.back();
  state.counters["pen_px"] = size;
  state.counters["rect_px"] = area / times.size();  // repainted window pixels per move
}
// Pattern pens whose largest size is 40 pixels.
BENCHMARK(BM_TabletMoveToRepaint)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
