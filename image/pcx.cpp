// PCX pictures: 1-bit, 4 planes of 1 bit, 8-bit with the 256-colour palette
// at the end of the file, and 3 planes of 8 bits (red, green, blue).
#include <algorithm>
#include <cstring>

#include "base/alloc.h"
#include "base/dib.h"
#include "image/image.h"
#include "image/image_block.h"
#include "image/image_bytes.h"

namespace {
constexpr int kHeader = 128;
constexpr std::size_t kTrailer = 769;  // marker 12, then 256 red-green-blue entries

// Run-length coded scan-line bytes as one stream: a run may carry across the
// end of a line into the next one, never past the output.
class pcx_runs {
 public:
  pcx_runs(const unsigned char* data, std::size_t size) : p_(data), end_(data + size) {}
  bool line(unsigned char* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      if (!count_) {
        if (p_ == end_) return false;
        unsigned char b = *p_++;
        if ((b & 0xC0) == 0xC0) {
          if (p_ == end_) return false;
          count_ = b & 0x3F;
          value_ = *p_++;
          if (!count_) {
            --i;  // an empty run yields nothing
            continue;
          }
        } else {
          count_ = 1;
          value_ = b;
        }
      }
      out[i] = value_;
      --count_;
    }
    return true;
  }

 private:
  const unsigned char *p_, *end_;
  unsigned count_ = 0;
  unsigned char value_ = 0;
};
}  // namespace

dib_block* pcx_decode(const void* data, std::size_t size) {
  image_cursor c(data, size);
  const unsigned char* h = c.take(kHeader);
  if (!h || h[0] != 10) return nullptr;
  const int bits = h[3], planes = h[65];
  const int xmin = h[4] | h[5] << 8, ymin = h[6] | h[7] << 8;
  const int xmax = h[8] | h[9] << 8, ymax = h[10] | h[11] << 8;
  const std::size_t per_plane = static_cast<std::size_t>(h[66] | h[67] << 8);
  if (xmax < xmin || ymax < ymin) return nullptr;
  const int32_t width = xmax - xmin + 1, height = ymax - ymin + 1;
  const int depth = bits * planes;
  // The layouts read: 1 x 1, 1 x 4 (16 colours), 8 x 1 (256 colours), 8 x 3.
  if (!((bits == 1 && (planes == 1 || planes == 4)) || (bits == 8 && (planes == 1 || planes == 3))))
    return nullptr;
  if (per_plane * 8 < std::size_t(width) * bits || !image_size_ok(width, height, depth))
    return nullptr;
  std::size_t data_end = size;
  unsigned char colours[256 * 3] = {};
  int entries = 0;
  if (depth == 1) {
    entries = 2;
    std::memset(colours + 3, 255, 3);  // black and white
  } else if (depth == 4) {
    entries = 16;
    std::memcpy(colours, h + 16, 48);
  } else if (depth == 8) {
    if (size < kHeader + kTrailer || static_cast<const unsigned char*>(data)[size - kTrailer] != 12)
      return nullptr;
    entries = 256;
    std::memcpy(colours, static_cast<const unsigned char*>(data) + size - kTrailer + 1, 768);
    data_end = size - kTrailer;
  }
  dib_block* b = depth == 24 ? dib_create(height, 1, width, 0)
                             : image_indexed_block(depth, entries, colours, width, height);
  if (!b) return nullptr;
  const std::size_t line_bytes = per_plane * planes;
  auto* line = static_cast<unsigned char*>(mem_alloc(line_bytes));
  if (!line) {
    dib_free(b);
    return nullptr;
  }
  pcx_runs runs(static_cast<const unsigned char*>(data) + kHeader, data_end - kHeader);
  bool ok = true;
  for (int32_t y = 0; y < height && ok; ++y) {
    ok = runs.line(line, line_bytes);
    if (!ok) break;
    unsigned char* row = dib_row(b, y);  // the first line is the top row
    if (depth == 1 || depth == 8) {
      std::memcpy(row, line, std::min<std::size_t>(per_plane, dib_stride(b)));
    } else if (depth == 4) {
      std::memset(row, 0, dib_stride(b));
      for (int32_t x = 0; x < width; ++x) {
        unsigned v = 0;
        for (int p = 0; p < 4; ++p)
          v |= ((line[p * per_plane + x / 8] >> (7 - x % 8)) & 1u) << p;
        row[x / 2] |= static_cast<unsigned char>(x & 1 ? v : v << 4);
      }
    } else {
      for (int32_t x = 0; x < width; ++x) {
        row[x * 3] = line[2 * per_plane + x];
        row[x * 3 + 1] = line[per_plane + x];
        row[x * 3 + 2] = line[x];
      }
    }
  }
  mem_free(line);
  if (!ok) {
    dib_free(b);
    return nullptr;
  }
  return b;
}

dib_block* pcx_read(const char* path) {
  image_file_bytes file;
  if (!image_read_path(path, file)) return nullptr;
  return pcx_decode(file.data, file.size);
}
