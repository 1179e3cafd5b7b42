// Surface operations, each beside a memcpy of the same bytes measured in the
// same run (compare the bytes_per_second columns).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "base/dib.h"
#include "base/surface.h"
#include "bench/memcpy_baseline.h"

namespace {
constexpr int kW = 4000, kH = 3000;

void BM_Memcpy_Layer(benchmark::State& state) { memcpy_bytes(state, std::size_t(kW) * kH * 3); }
BENCHMARK(BM_Memcpy_Layer)->Unit(benchmark::kMillisecond);

// Fully painted: every pixel covered (range(1): 255 everywhere, or a mix of
// coverages as a soft brush leaves them).
paint_surface* painted(bool soft) {
  paint_surface* s = surface_new(kH, kW);
  dib_fill(s->colour, 0x203040, nullptr);
  if (!soft) {
    dib_fill(s->coverage, 255, nullptr);
  } else {
    for (int y = 0; y < kH; ++y) {
      unsigned char* row = dib_row(s->coverage, y);
      for (int x = 0; x < kW; ++x) row[x] = static_cast<unsigned char>(1 + (x * 7 + y * 3) % 255);
    }
  }
  surface_note_rect(s, dib_rect{0, 0, kW, kH});
  return s;
}

void BM_SurfaceDrawTo(benchmark::State& state) {
  paint_surface* s = painted(state.range(1) != 0);
  dib_block* target = dib_create(kH, 1, kW, 0xFFFFFF);
  const float opacity = state.range(0) / 100.0f;
  for (auto _ : state) {
    surface_draw_to(s, target, nullptr, opacity);
    benchmark::ClobberMemory();
  }
  // The colour bytes drawn, as the memcpy above copies them.
  state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 3);
  dib_free(target);
  surface_free(s);
}
BENCHMARK(BM_SurfaceDrawTo)
    ->ArgNames({"opacity%", "soft"})
    ->Args({100, 0})
    ->Args({50, 0})
    ->Args({100, 1})
    ->Args({50, 1})
    ->Unit(benchmark::kMillisecond);

void BM_Memcpy_Dab(benchmark::State& state) { memcpy_bytes(state, 64 * 64 * 4); }
BENCHMARK(BM_Memcpy_Dab);

// One 64 x 64 round dab through the per-pixel operation, as the pens lay them.
void BM_SurfaceBlendPixel_Dab(benchmark::State& state) {
  paint_surface* s = surface_new(512, 512);
  std::vector<float> dab(64 * 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const float d = std::hypot(x - 31.5f, y - 31.5f) / 32.0f;
      dab[y * 64 + x] = d < 1.0f ? 0.3f * (1.0f - d) : 0.0f;
    }
  int at = 0;
  for (auto _ : state) {
    const int ox = 64 + (at * 37) % 320, oy = 64 + (at * 53) % 320;
    ++at;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        surface_blend_pixel(s, ox + x, oy + y, 30, 60, 90, dab[y * 64 + x]);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * 64 * 64 * 4);
  state.SetItemsProcessed(int64_t(state.iterations()) * 64 * 64);
  surface_free(s);
}
BENCHMARK(BM_SurfaceBlendPixel_Dab);
}  // namespace
