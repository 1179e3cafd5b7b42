// PSD pictures: only the merged composite of an 8-bit RGB file, raw or
// PackBits; channels 0, 1, 2 are red, green, blue, the rest (alpha) unused.
#include <cstring>

#include "base/alloc.h"
#include "base/dib.h"
#include "image/image.h"
#include "image/image_bytes.h"
#include "image/packbits.h"

dib_block* psd_decode(const void* data, std::size_t size) {
  image_cursor c(data, size);
  const unsigned char* sig = c.take(4);
  if (!sig || std::memcmp(sig, "8BPS", 4) != 0 || c.u16be() != 1 || !c.skip(6)) return nullptr;
  const uint32_t channels = c.u16be(), height = c.u32be(), width = c.u32be();
  const uint32_t depth = c.u16be(), mode = c.u16be();
  if (c.failed() || channels < 3 || depth != 8 || mode != 3) return nullptr;
  if (!image_size_ok(width, height, 24)) return nullptr;
  for (int section = 0; section < 3; ++section)  // colour mode data, resources, layers
    if (!c.skip(c.u32be())) return nullptr;
  const uint32_t compression = c.u16be();
  if (c.failed() || compression > 1) return nullptr;
  const std::size_t plane = std::size_t{width} * height;
  if (compression == 1 && !c.skip(uint64_t{height} * channels * 2)) return nullptr;  // row counts
  if (compression == 0 && c.left() / 3 < plane) return nullptr;
  dib_block* b = dib_create(static_cast<int32_t>(height), 1, static_cast<int32_t>(width), 0);
  auto* buf = compression == 1 ? static_cast<unsigned char*>(mem_alloc(plane)) : nullptr;
  if (!b || (compression == 1 && !buf)) {
    dib_free(b);
    return nullptr;
  }
  for (int ch = 0; ch < 3; ++ch) {
    const unsigned char* src;
    if (compression == 0) {
      src = c.take(plane);
    } else {
      std::size_t used = 0;
      if (!packbits_decode(c.base() + c.pos(), c.left(), buf, plane, &used)) {
        dib_free(b);
        mem_free(buf);
        return nullptr;
      }
      c.skip(used);
      src = buf;
    }
    for (uint32_t y = 0; y < height; ++y) {  // rows from the top
      unsigned char* row = dib_row(b, static_cast<int32_t>(y)) + (2 - ch);
      const unsigned char* s = src + std::size_t{y} * width;
      for (uint32_t x = 0; x < width; ++x) row[x * 3] = s[x];
    }
  }
  mem_free(buf);
  return b;
}

dib_block* psd_read(const char* path) {
  image_file_bytes file;
  if (!image_read_path(path, file)) return nullptr;
  return psd_decode(file.data, file.size);
}
