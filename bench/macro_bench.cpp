// Recording cost per pen event (target: under 1 microsecond): distinct moves,
// repeated points that merge, and long strokes that grow the list. And one
// playback tick (one record through its player, target well inside the
// 10 ms timer period) for each pen kind at its largest size.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "doc/zun_file.h"
#include "macro/control.h"
#include "macro/macro_data.h"
#include "macro/players.h"
#include "paint/pen_catalogue.h"
#include "paint/pen_engine.h"
#include "paint/pen_resources.h"

namespace {
struct recorder {
  recorder() {
    macro.init();
    owner.initialised = 1;
    owner.state = kMacroRecording;
    macro.owner = &owner;
    doc.zun_file_init(2);
    doc.canvas->view_setup(0, 0, 1920, 1080);
    doc.doc_new(1600, 1200);
    macro.document = &doc;
  }
  macro_owner owner;
  zun_macro_data macro;
  zun_file doc;
};

macro_event event(uint8_t phase, int32_t x, int32_t y) {
  macro_event e;
  e.phase = phase;
  e.x = x, e.y = y;
  e.pressure = 0.5f;
  e.has_pressure = 1;
  e.pen_id = 12;
  e.pen_size = 8;
  e.colour = 0x00336699;
  return e;
}

// One stroke of range(0) moves per iteration; the list is emptied between
// iterations outside the timing. 10000 moves stay inside the first block,
// 100000 grow it nine times, 1000000 (an hour of drawing) 97 times.
void BM_RecordStroke(benchmark::State& state, int repeat) {
  recorder r;
  const int moves = int(state.range(0));
  for (auto _ : state) {
    r.macro.record_pen_event(event(kMacroDown, 0, 0));
    for (int i = 0; i < moves; ++i)
      r.macro.record_pen_event(event(kMacroMove, (i / repeat) % 1600, (i / repeat) / 1600));
    r.macro.record_pen_event(event(kMacroUp, 0, 0));
    state.PauseTiming();
    benchmark::DoNotOptimize(r.macro.count());
    r.macro.seek(0);
    r.macro.truncate_at_position();
    r.macro.records->reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * (moves + 2));
}
void BM_RecordDistinct(benchmark::State& state) { BM_RecordStroke(state, 1); }
void BM_RecordRepeated(benchmark::State& state) { BM_RecordStroke(state, 4); }
BENCHMARK(BM_RecordDistinct)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordRepeated)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The ignored case: a pen move while the panel is idle.
void BM_IdleEvent(benchmark::State& state) {
  recorder r;
  r.owner.state = kMacroIdle;
  int32_t x = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(r.macro.record_pen_event(event(kMacroMove, ++x, 0)));
  state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_IdleEvent);

// Playback ticks on a 1600 x 1200 document: a macro of one long stroke whose
// points sweep the canvas `step` pixels apart, every point one record (one
// tablet packet: about 2 ms of a 200-packet-per-second stroke, or a mouse
// move). Each iteration is one timer tick; at the end the macro starts over
// outside the timing.
uint32_t g_ticks = 0;
uint32_t tick_clock() { return 1000 + g_ticks * 10; }

void BM_PlaybackTick(benchmark::State& state, uint8_t kind, int32_t pen_id, int32_t step) {
  const char* tree = std::getenv("QM_TREE");
  pen_set_resolver(nullptr);
  pen_set_root(tree && *tree ? tree : QM_BENCH_TREE);
  // The pen at its largest size (texture pens: their last stamp file).
  zun_pen_single_engine probe;
  if (!probe.select_pen(pen_id, kind == kMacroKindRub)) {
    state.SkipWithError("pen cannot be selected: is the tree built?");
    return;
  }
  const float size = probe.desc->size_max;
  probe.release();

  zun_file doc;
  doc.zun_file_init(2);
  doc.canvas->view_setup(0, 0, 1920, 1080);
  doc.doc_new(1600, 1200);
  zun_macro_players players(macro_engine_setup{1, tick_clock});
  zun_macro_control panel;
  panel.create(macro_texts{}, nullptr);
  panel.macro.players = &players;
  panel.set_stage(&doc, nullptr);
  zun_macro_rec& list = *panel.macro.records;
  const int32_t moves = 20000;
  list.reserve(moves + 2);
  for (int32_t i = 0; i < moves + 2; ++i) {
    macro_record& r = list.items[i];
    r = macro_record{};
    r.record_kind = kind;
    r.phase = i == 0 ? kMacroDown : i == moves + 1 ? kMacroUp : kMacroMove;
    r.canvas_width = 1600, r.canvas_height = 1200;
    r.colour = 0x00336699;
    r.opacity = 0.9f;
    // A zigzag over the canvas with the given spacing.
    const int32_t row_len = 1400 / step, row = i / row_len, col = i % row_len;
    r.x = 100 + (row % 2 ? row_len - 1 - col : col) * step;
    r.y = 100 + (row * 37) % 1000;
    r.pen.pressure = 0.5f + 0.5f * std::sin(float(i) * 0.05f);
    r.pen.has_pressure = 1;
    r.pen.point_index = i % 4;
    r.pen.point_count = 4;
    r.pen.pen_id = pen_id;
    r.pen.erase = kind == kMacroKindRub;
    r.pen.pen_size = size;
  }
  list.count = moves + 2;
  panel.home();
  panel.play();
  int64_t painted = 0;
  for (auto _ : state) {
    painted += panel.timer_step(kMacroTimer);
    ++g_ticks;
    if (panel.state != kMacroPlaying) {
      state.PauseTiming();
      doc.history_undo();  // back to white, so every run paints the same
      panel.home();
      panel.play();
      state.ResumeTiming();
    }
  }
  state.counters["size_px"] = size;
  state.counters["painted"] = benchmark::Counter(double(painted) / double(state.iterations()));
  state.SetItemsProcessed(int64_t(state.iterations()));
}

BENCHMARK_CAPTURE(BM_PlaybackTick, pattern_12, kMacroKindPen, 12, 8)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlaybackTick, pattern_12_fast, kMacroKindPen, 12, 40)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlaybackTick, texture_20, kMacroKindPen, 20, 8)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlaybackTick, texture_20_fast, kMacroKindPen, 20, 40)
    ->Unit(benchmark::kMicrosecond);
// The brushes: the largest (24 px), a smudging one and an oil one.
BENCHMARK_CAPTURE(BM_PlaybackTick, brush_66_texture, kMacroKindPen, 66, 8)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlaybackTick, brush_66_texture_fast, kMacroKindPen, 66, 40)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlaybackTick, brush_69_blending, kMacroKindPen, 69, 8)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlaybackTick, brush_52_oil, kMacroKindPen, 52, 8)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlaybackTick, brush_48_water, kMacroKindPen, 48, 8)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlaybackTick, brush_48_water_fast, kMacroKindPen, 48, 40)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlaybackTick, eraser_11, kMacroKindRub, 11, 8)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlaybackTick, eraser_11_fast, kMacroKindRub, 11, 40)
    ->Unit(benchmark::kMicrosecond);
}  // namespace
