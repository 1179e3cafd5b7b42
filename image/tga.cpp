// TGA pictures: colour-mapped (1, 9), true-colour (2, 10) and greyscale
// (3, 11), the types above 3 run-length coded. 8-bit blocks for depths up to
// 8, else 24-bit.
#include <cstring>

#include "base/alloc.h"
#include "base/dib.h"
#include "image/image.h"
#include "image/image_block.h"
#include "image/image_bytes.h"

namespace {
// One pixel of a 15/16-, 24- or 32-bit entry as blue, green, red.
void to_bgr(const unsigned char* p, int bytes, unsigned char* out) {
  if (bytes == 2) {
    unsigned v = p[0] | p[1] << 8;
    out[0] = static_cast<unsigned char>((v & 31) * 8);
    out[1] = static_cast<unsigned char>(((v >> 5) & 31) * 8);
    out[2] = static_cast<unsigned char>(((v >> 10) & 31) * 8);
  } else {
    std::memcpy(out, p, 3);  // the fourth byte of 32-bit entries is dropped
  }
}

// Pixels in file order, raw or in run-length packets that may cross rows.
class tga_pixels {
 public:
  tga_pixels(image_cursor& in, int bytes, bool rle) : in_(in), bytes_(bytes), rle_(rle) {}
  const unsigned char* next() {
    if (!rle_) return in_.take(bytes_);
    if (!left_) {
      unsigned h = in_.u8();
      if (in_.failed()) return nullptr;
      left_ = (h & 127) + 1;
      run_ = h & 128;
      if (run_ && !(pixel_ = in_.take(bytes_))) return nullptr;
    }
    --left_;
    return run_ ? pixel_ : in_.take(bytes_);
  }

 private:
  image_cursor& in_;
  int bytes_;
  bool rle_, run_ = false;
  unsigned left_ = 0;
  const unsigned char* pixel_ = nullptr;
};
}  // namespace

dib_block* tga_decode(const void* data, std::size_t size) {
  image_cursor c(data, size);
  const unsigned char* h = c.take(18);
  if (!h) return nullptr;
  const int id_length = h[0], map_type = h[1], type = h[2];
  const int map_first = h[3] | h[4] << 8, map_length = h[5] | h[6] << 8, map_bits = h[7];
  const int32_t width = h[12] | h[13] << 8, height = h[14] | h[15] << 8;
  const int depth = h[16], descriptor = h[17];
  if (map_type > 1) return nullptr;
  const int base = type & 7;  // 1 mapped, 2 true colour, 3 grey
  if ((type != base && type != base + 8) || base < 1 || base > 3) return nullptr;
  if ((base == 1 && (depth != 8 || map_type != 1)) || (base == 3 && depth != 8)) return nullptr;
  if (base == 2 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return nullptr;
  if (!width || !height || !image_size_ok(width, height, depth <= 8 ? 8 : 24)) return nullptr;
  if (!c.skip(id_length)) return nullptr;

  unsigned char table[256 * 3] = {};  // red, green, blue
  if (map_type == 1) {
    const int entry = (map_bits + 7) / 8;
    if (map_bits != 15 && map_bits != 16 && map_bits != 24 && map_bits != 32) return nullptr;
    for (int i = 0; i < map_length; ++i) {
      const unsigned char* p = c.take(entry);
      if (!p) return nullptr;
      unsigned char bgr[3];
      to_bgr(p, entry == 2 ? 2 : 3, bgr);
      const int at = map_first + i;
      if (at < 256) {
        table[at * 3] = bgr[2];
        table[at * 3 + 1] = bgr[1];
        table[at * 3 + 2] = bgr[0];
      }
    }
  }
  if (base == 3)
    for (int i = 0; i < 256; ++i) std::memset(table + i * 3, i, 3);

  const int out_bits = depth <= 8 ? 8 : 24;
  dib_block* b = out_bits == 8 ? image_indexed_block(8, 256, table, width, height)
                               : dib_create(height, 1, width, 0);
  if (!b) return nullptr;
  const int bytes = (depth + 7) / 8;
  const bool right_to_left = descriptor & 0x10, top_down = descriptor & 0x20;
  tga_pixels pixels(c, bytes, type > 3);
  for (int32_t row = 0; row < height; ++row) {
    // Rows go from the bottom of the block up, unless the file says top first.
    unsigned char* out = dib_row(b, top_down ? row : height - 1 - row);
    for (int32_t i = 0; i < width; ++i) {
      const unsigned char* p = pixels.next();
      if (!p) {
        dib_free(b);
        return nullptr;
      }
      const int32_t x = right_to_left ? width - 1 - i : i;
      if (out_bits == 8)
        out[x] = p[0];
      else
        to_bgr(p, bytes, out + x * 3);
    }
  }
  return b;
}

dib_block* tga_read(const char* path) {
  image_file_bytes file;
  if (!image_read_path(path, file)) return nullptr;
  return tga_decode(file.data, file.size);
}
