#pragma once
// The baseline that the bitmap and document benchmarks are stated against:
// a memcpy of the same number of bytes, measured in the same run.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstring>
#include <vector>

inline void memcpy_bytes(benchmark::State& state, std::size_t n) {
  std::vector<unsigned char> a(n, 1), b(n, 2);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), n);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * n);
}
