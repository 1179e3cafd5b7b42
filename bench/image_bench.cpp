// Decoding and encoding a 4000 x 3000 picture as BMP, PNG and JPEG. Encoding
// goes through the safe file (temporary file, fsync, rename) as every save does.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/dib.h"
#include "image/image.h"

namespace {
constexpr int kWidth = 4000, kHeight = 3000;

// Smooth gradients with a little noise: neither trivially compressible nor random.
dib_block* picture() {
  static dib_block* b = [] {
    dib_block* p = dib_create(kHeight, 1, kWidth, 0);
    uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
      unsigned char* row = dib_row(p, y);
      for (int x = 0; x < kWidth; ++x) {
        seed = seed * 1664525u + 1013904223u;
        const int n = static_cast<int>(seed >> 29);
        row[x * 3] = static_cast<unsigned char>((x * 255 / kWidth + n) & 255);
        row[x * 3 + 1] = static_cast<unsigned char>((y * 255 / kHeight + n) & 255);
        row[x * 3 + 2] = static_cast<unsigned char>(((x + y) / 30 * 17 + n) & 255);
      }
    }
    return p;
  }();
  return b;
}

std::string path_for(const char* ext) { return std::string("/tmp/qm_image_bench.") + ext; }

int write_as(const char* ext, const std::string& path) {
  if (!std::strcmp(ext, "bmp")) return bmp_write(path.c_str(), picture());
  if (!std::strcmp(ext, "png")) return png_write(path.c_str(), picture(), nullptr);
  return jpeg_write(path.c_str(), picture());
}

void encode(benchmark::State& state, const char* ext) {
  const std::string path = path_for(ext);
  for (auto _ : state)
    if (!write_as(ext, path)) state.SkipWithError("write failed");
  state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * 3);
}

void decode(benchmark::State& state, const char* ext) {
  const std::string path = path_for(ext);
  if (!write_as(ext, path)) {
    state.SkipWithError("write failed");
    return;
  }
  for (auto _ : state) {
    dib_block* b = image_load(path.c_str());
    if (!b) state.SkipWithError("read failed");
    dib_free(b);
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * 3);
  std::remove(path.c_str());
}

BENCHMARK_CAPTURE(encode, bmp, "bmp")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(decode, bmp, "bmp")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(encode, png, "png")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(decode, png, "png")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(encode, jpeg, "jpg")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(decode, jpeg, "jpg")->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace
