// Document operations, each beside a memcpy of the same bytes measured in the
// same run (compare the bytes_per_second or time columns): history steps, the
// view redraw, and saving and reading beside libpng on the same pixels.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/dib.h"
#include "base/surface.h"
#include "bench/memcpy_baseline.h"
#include "doc/zun_file.h"
#include "doc/zws.h"

namespace {
constexpr int kW = 4000, kH = 3000;

std::size_t surface_bytes(const paint_surface* s) {
  return dib_total_size(s->colour) + dib_total_size(s->coverage);
}

zun_file* document(int32_t w, int32_t h, int32_t area_w = 1920, int32_t area_h = 1080) {
  auto* f = new zun_file;
  f->zun_file_init(8);
  f->canvas->view_setup(0, 0, area_w, area_h);
  f->doc_new(w, h);
  return f;
}

// Paint on a tenth of the document: soft-edged strokes of changing colour.
void paint_tenth(paint_surface* s) {
  for (int y = 1000; y < 2000; ++y)
    for (int x = 1400; x < 2600; ++x) {
      const int band = (x + 2 * y) % 97;
      if (band > 60) continue;
      const float g = band < 8 ? band / 8.0f : 1.0f;
      surface_paint_pixel(s, x, y, dib_colour(x / 16, y / 12, (x + y) / 20), g);
    }
}

void BM_Memcpy_SurfaceBlocks(benchmark::State& state) {
  memcpy_bytes(state, std::size_t(kW) * kH * 3 + std::size_t(kW) * kH + 1104);
}
BENCHMARK(BM_Memcpy_SurfaceBlocks)->Unit(benchmark::kMillisecond);

// Every push refills a slot of a full ring, as during painting.
void BM_HistoryPush_Kind1(benchmark::State& state) {
  zun_file* f = document(kW, kH);
  for (int i = 0; i < 8; ++i) f->history_push(1);
  for (auto _ : state) {
    f->history_push(1);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * surface_bytes(f->surface()));
  delete f;
}
BENCHMARK(BM_HistoryPush_Kind1)->Unit(benchmark::kMillisecond);

void BM_HistoryUndoRedo(benchmark::State& state) {
  zun_file* f = document(kW, kH);
  f->history_push(1);
  for (auto _ : state) {
    f->history_undo();
    f->history_redo();
    benchmark::ClobberMemory();
  }
  delete f;
}
BENCHMARK(BM_HistoryUndoRedo);

// The redraw of a full 1920 x 1080 view from a rendered back buffer.
constexpr int kViewW = 1920, kViewH = 1080;

void BM_Memcpy_View(benchmark::State& state) {
  memcpy_bytes(state, std::size_t(kViewW) * kViewH * 3);
}
BENCHMARK(BM_Memcpy_View)->Unit(benchmark::kMillisecond);

void present(benchmark::State& state, int32_t scale, int32_t angle) {
  zun_file* f = document(6000, 3500, kViewW, kViewH);
  dib_block* desktop = dib_create(kViewH, 1, kViewW, 0);
  f->data->doc_mark_dirty(nullptr, 0);
  f->canvas->view_redraw(*f->data, desktop);  // renders the back buffer
  zun_file_canvas& v = *f->canvas;
  v.scale_step = scale;
  v.angle = angle;
  v.offset_x = angle ? -2040 : 0;  // the document centre in the view's centre
  v.offset_y = angle ? -1210 : 0;
  dib_rect screen{};
  for (auto _ : state) {
    v.view_present(dib_rect{0, 0, 6000, 3500}, desktop, &screen);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kViewW * kViewH * 3);
  state.counters["covered"] =
      double(screen.right - screen.left) * (screen.bottom - screen.top) / (double(kViewW) * kViewH);
  dib_free(desktop);
  delete f;
}
void BM_Redraw_Scale(benchmark::State& state) { present(state, int32_t(state.range(0)), 0); }
BENCHMARK(BM_Redraw_Scale)->Arg(-3)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);
void BM_Redraw_Rotated30(benchmark::State& state) { present(state, 1, 30); }
BENCHMARK(BM_Redraw_Rotated30)->Unit(benchmark::kMillisecond);

// Saving and reading beside libpng on the same pixels (colour + coverage as RGBA).
const char* kZwsPath = "/tmp/qm_doc_bench.zws";
const char* kPngPath = "/tmp/qm_doc_bench.png";

zun_file* painted_document() {
  zun_file* f = document(kW, kH);
  paint_tenth(f->surface());
  return f;
}

std::vector<unsigned char> rgba_of(const paint_surface* s) {
  std::vector<unsigned char> out(std::size_t(kW) * kH * 4);
  for (int y = 0; y < kH; ++y) {
    const unsigned char* c = dib_row(s->colour, y);
    const unsigned char* a = dib_row(s->coverage, y);
    unsigned char* o = out.data() + std::size_t(y) * kW * 4;
    for (int x = 0; x < kW; ++x, o += 4, c += 3) o[0] = c[2], o[1] = c[1], o[2] = c[0], o[3] = a[x];
  }
  return out;
}

void BM_Save_Zws(benchmark::State& state) {
  zun_file* f = painted_document();
  for (auto _ : state) benchmark::DoNotOptimize(write_document(*f->data, kZwsPath));
  FILE* file = std::fopen(kZwsPath, "rb");
  std::fseek(file, 0, SEEK_END);
  state.counters["file_bytes"] = double(std::ftell(file));
  std::fclose(file);
  delete f;
}
BENCHMARK(BM_Save_Zws)->Unit(benchmark::kMillisecond);

void BM_Read_Zws(benchmark::State& state) {
  zun_file* f = painted_document();
  write_document(*f->data, kZwsPath);
  for (auto _ : state) benchmark::DoNotOptimize(read_document(*f->data, kZwsPath));
  delete f;
}
BENCHMARK(BM_Read_Zws)->Unit(benchmark::kMillisecond);

void BM_Save_Png(benchmark::State& state) {
  zun_file* f = painted_document();
  const std::vector<unsigned char> rgba = rgba_of(f->surface());
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kW;
    image.height = kH;
    image.format = PNG_FORMAT_RGBA;
    benchmark::DoNotOptimize(png_image_write_to_file(&image, kPngPath, 0, rgba.data(), 0, nullptr));
  }
  FILE* file = std::fopen(kPngPath, "rb");
  std::fseek(file, 0, SEEK_END);
  state.counters["file_bytes"] = double(std::ftell(file));
  std::fclose(file);
  delete f;
}
BENCHMARK(BM_Save_Png)->Unit(benchmark::kMillisecond);

void BM_Read_Png(benchmark::State& state) {
  std::vector<unsigned char> rgba(std::size_t(kW) * kH * 4);
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_file(&image, kPngPath);
    image.format = PNG_FORMAT_RGBA;
    benchmark::DoNotOptimize(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr));
  }
}
BENCHMARK(BM_Read_Png)->Unit(benchmark::kMillisecond);
}  // namespace
