// Bitmap operations on document-sized blocks, each beside a memcpy of the
// same bytes measured in the same run (compare the bytes_per_second columns).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "base/dib.h"
#include "base/dib_line.h"
#include "base/dib_stream.h"
#include "bench/memcpy_baseline.h"

namespace {
constexpr int kW = 4000, kH = 3000;

// A white layer with some strokes: what a painted page compresses like.
dib_block* painted_layer() {
  dib_block* b = dib_create(kH, 1, kW, 0xFFFFFF);
  std::mt19937 rng(42);
  for (int i = 0; i < 400; ++i)
    dib_line(b, rng() % kW, rng() % kH, rng() % kW, rng() % kH, rng() & 0xFFFFFF, 0.8f, 3);
  return b;
}

void BM_Memcpy_Layer(benchmark::State& state) { memcpy_bytes(state, std::size_t(kW) * kH * 3); }
BENCHMARK(BM_Memcpy_Layer)->Unit(benchmark::kMillisecond);

void BM_DibBlit_1to1(benchmark::State& state) {
  dib_block* src = painted_layer();
  dib_block* dst = dib_create(kH, 1, kW, 0);
  for (auto _ : state) {
    dib_blit(dst, 0, 0, kW, kH, src, 0, 0, kW, kH, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 3);
  dib_free(dst);
  dib_free(src);
}
BENCHMARK(BM_DibBlit_1to1)->Unit(benchmark::kMillisecond);

// Bilinear 2000 x 1500 up to 4000 x 3000: bytes are those of the result.
void BM_DibResize_Bilinear(benchmark::State& state) {
  dib_block* src = dib_resize(painted_layer(), kW / 2, kH / 2);
  for (auto _ : state) {
    dib_block* copy = dib_clone(src);
    copy = dib_resize(copy, kW, kH);
    benchmark::DoNotOptimize(copy);
    dib_free(copy);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 3);
  dib_free(src);
}
BENCHMARK(BM_DibResize_Bilinear)->Unit(benchmark::kMillisecond);

// 30 degrees of a 2000 x 1500 block (the result is about 2482 x 2299).
void BM_DibRotate30(benchmark::State& state) {
  dib_block* src = dib_resize(painted_layer(), kW / 2, kH / 2);
  int64_t bytes = 0;
  for (auto _ : state) {
    dib_block* r = dib_rotate(dib_clone(src), 30.0f, 0xFFFFFF);
    bytes += int64_t(dib_width(r)) * dib_height(r) * 3;
    dib_free(r);
  }
  state.SetBytesProcessed(bytes);
  dib_free(src);
}
BENCHMARK(BM_DibRotate30)->Unit(benchmark::kMillisecond);

int to_vector(void* context, const void* data, std::size_t size) {
  auto* v = static_cast<std::vector<unsigned char>*>(context);
  const auto* p = static_cast<const unsigned char*>(data);
  v->insert(v->end(), p, p + size);
  return 1;
}

void BM_DibWriteStream_Layer(benchmark::State& state) {
  dib_block* b = painted_layer();
  std::vector<unsigned char> out;
  out.reserve(dib_total_size(b) + 64);
  for (auto _ : state) {
    out.clear();
    dib_write_stream(b, to_vector, &out);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(dib_total_size(b)));
  state.counters["stored_MB"] = double(out.size()) / 1e6;
  dib_free(b);
}
BENCHMARK(BM_DibWriteStream_Layer)->Unit(benchmark::kMillisecond);

void BM_DibReadStream_Layer(benchmark::State& state) {
  dib_block* b = painted_layer();
  std::vector<unsigned char> out;
  dib_write_stream(b, to_vector, &out);
  for (auto _ : state) {
    dib_block* r = dib_read_stream(out.data(), out.size(), nullptr);
    benchmark::DoNotOptimize(r);
    dib_free(r);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(dib_total_size(b)));
  dib_free(b);
}
BENCHMARK(BM_DibReadStream_Layer)->Unit(benchmark::kMillisecond);
}  // namespace
