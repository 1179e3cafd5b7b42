// Recording cost per pen event (target: under 1 microsecond): distinct moves,
// repeated points that merge, and long strokes that grow the list.
#include <benchmark/benchmark.h>

#include "doc/zun_file.h"
#include "macro/macro_data.h"

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
  for (auto _ : state) benchmark::DoNotOptimize(r.macro.record_pen_event(event(kMacroMove, ++x, 0)));
  state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_IdleEvent);
}  // namespace
