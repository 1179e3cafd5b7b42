// PNG through libpng, with our own input and output functions: bytes come
// from a counted buffer and go to a safe file. libpng reports errors by
// jumping back to the setjmp of the function that called it, which frees what
// it made.
#include <csetjmp>
#include <cstring>

#include <png.h>

#include "base/alloc.h"
#include "base/dib.h"
#include "base/os.h"
#include "image/image.h"
#include "image/image_bytes.h"

static_assert(sizeof(png_color) == 3, "palette entries are red, green, blue triples");

namespace {
struct memory_input {
  const unsigned char* data;
  std::size_t size, pos;
};

void read_bytes(png_structp png, png_bytep out, png_size_t n) {
  auto* in = static_cast<memory_input*>(png_get_io_ptr(png));
  if (n > in->size - in->pos) png_error(png, "short read");
  std::memcpy(out, in->data + in->pos, n);
  in->pos += n;
}

[[noreturn]] void on_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quiet(png_structp, png_const_charp) {}

void swap_red_blue(unsigned char* row, int32_t width) {
  for (int32_t x = 0; x < width; ++x) std::swap(row[x * 3], row[x * 3 + 2]);
}

dib_block* decode(png_structp png, png_infop info, memory_input& in, dib_block** alpha) {
  dib_block* volatile block = nullptr;
  dib_block* volatile plane = nullptr;
  unsigned char* volatile rgba = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    dib_free(block);
    dib_free(plane);
    mem_free(rgba);
    return nullptr;
  }
  png_set_read_fn(png, &in, read_bytes);
  png_read_info(png, info);
  const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
  const int depth = png_get_bit_depth(png, info), type = png_get_color_type(png, info);
  const int channels = png_get_channels(png, info);
  const int pixel_bits = depth * channels;
  // 8-bit channels only: palette or grey (8), RGB (24), RGBA (32).
  if (depth != 8 || (pixel_bits != 8 && pixel_bits != 24 && pixel_bits != 32) ||
      type == PNG_COLOR_TYPE_GRAY_ALPHA || !image_size_ok(w, h, pixel_bits))
    return nullptr;
  const int32_t width = static_cast<int32_t>(w), height = static_cast<int32_t>(h);
  // Interlaced files are read pass by pass into rows that keep what earlier
  // passes put there, so the 32-bit buffer then holds the whole picture.
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (type == PNG_COLOR_TYPE_PALETTE) {
    png_colorp palette = nullptr;
    int entries = 0;
    if (!png_get_PLTE(png, info, &palette, &entries) || entries < 1 || entries > 256) return nullptr;
    // A full table, so an index past the file's palette reads black.
    unsigned char colours[256 * 3] = {};
    std::memcpy(colours, palette, std::size_t(entries) * 3);
    block = dib_create_indexed(256, width, height, colours);
  } else {
    block = dib_create(height, pixel_bits != 8, width, 0);
  }
  if (!block) return nullptr;
  if (pixel_bits == 32) {
    const std::size_t rows = passes > 1 ? h : 1;
    rgba = static_cast<unsigned char*>(mem_alloc(std::size_t{w} * 4 * rows));
    if (alpha) plane = dib_create(height, 0, width, 0);
    if (!rgba || (alpha && !plane)) {
      dib_free(block);
      dib_free(plane);
      mem_free(rgba);
      return nullptr;
    }
  }
  for (int pass = 0; pass < passes; ++pass) {
    for (int32_t y = 0; y < height; ++y) {
      png_bytep row = pixel_bits == 32 ? rgba + (passes > 1 ? std::size_t{w} * 4 * y : 0)
                                       : dib_row(block, y);
      png_read_row(png, row, nullptr);
      if (pixel_bits != 32 || pass + 1 < passes) continue;
      unsigned char* d = dib_row(block, y);
      unsigned char* a = plane ? dib_row(plane, y) : nullptr;
      for (png_uint_32 x = 0; x < w; ++x) {
        d[x * 3] = row[x * 4 + 2];
        d[x * 3 + 1] = row[x * 4 + 1];
        d[x * 3 + 2] = row[x * 4];
        if (a) a[x] = row[x * 4 + 3];
      }
    }
  }
  if (pixel_bits == 24)
    for (int32_t y = 0; y < height; ++y) swap_red_blue(dib_row(block, y), width);
  mem_free(rgba);
  if (alpha) *alpha = plane;
  return block;
}

void write_bytes(png_structp png, png_bytep data, png_size_t n) {
  if (!static_cast<os_safe_file*>(png_get_io_ptr(png))->write(data, n)) png_error(png, "write");
}
void flush_nothing(png_structp) {}

int encode(png_structp png, png_infop info, os_safe_file& out, const dib_block* block,
           const dib_block* coverage, unsigned char* row) {
  if (setjmp(png_jmpbuf(png))) return 0;
  const int32_t w = dib_width(block), h = dib_height(block);
  const int channels = coverage ? 4 : 3;
  png_set_write_fn(png, &out, write_bytes, flush_nothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
               coverage ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < h; ++y) {
    const unsigned char* s = dib_row(block, y);
    const unsigned char* a = coverage ? dib_row(coverage, y) : nullptr;
    for (int32_t x = 0; x < w; ++x) {
      unsigned char* d = row + std::size_t(x) * channels;
      d[0] = s[x * 3 + 2];
      d[1] = s[x * 3 + 1];
      d[2] = s[x * 3];
      if (a) d[3] = a[x];
    }
    png_write_row(png, row);
  }
  png_write_end(png, info);
  return 1;
}
}  // namespace

dib_block* png_decode(const void* data, std::size_t size, dib_block** alpha) {
  if (alpha) *alpha = nullptr;
  if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8)) return nullptr;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, quiet);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  memory_input in{static_cast<const unsigned char*>(data), size, 0};
  dib_block* b = decode(png, info, in, alpha);
  png_destroy_read_struct(&png, &info, nullptr);
  return b;
}

dib_block* png_read(const char* path, dib_block** alpha) {
  if (alpha) *alpha = nullptr;
  image_file_bytes file;
  if (!image_read_path(path, file)) return nullptr;
  return png_decode(file.data, file.size, alpha);
}

int png_write(const char* path, const dib_block* block, const dib_block* coverage) {
  if (!path || !*path || dib_bits(block) != 24 || dib_width(block) <= 0 || dib_height(block) <= 0)
    return 0;
  if (coverage && (dib_bits(coverage) != 8 || dib_width(coverage) != dib_width(block) ||
                   dib_height(coverage) != dib_height(block)))
    return 0;
  os_clear_attributes(path);
  os_safe_file out(path);
  if (!out.ok()) return 0;
  auto* row = static_cast<unsigned char*>(mem_alloc(std::size_t(dib_width(block)) * 4));
  png_structp png = row ? png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, quiet)
                        : nullptr;
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  int ok = info && encode(png, info, out, block, coverage, row);
  if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
  mem_free(row);
  return ok && out.commit();
}
