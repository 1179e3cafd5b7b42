// Indexed and grey blocks to 24 bits without a window system. The result is
// what the GDI round trip (CreateDIBitmap, then GetDIBits into 24 bits, on a
// true-colour screen) gives: each index looks its entry up in the colour table;
// GDI reads at most 2^bits entries (colours used, or 2^bits when that is 0) and
// an index past the table gives black.
#include <algorithm>
#include <cstring>

#include "base/dib.h"
#include "base/dib_sample.h"

namespace {
void lookup_row(const unsigned char* src, unsigned char* dst, int32_t width, int bits,
                const unsigned char* table, uint32_t entries) {
  const int per_byte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  for (int32_t x = 0; x < width; ++x) {
    const int shift = 8 - bits * (1 + x % per_byte);
    const unsigned index = (src[x / per_byte] >> shift) & mask;
    if (index < entries) {
      dst[0] = table[index * 4], dst[1] = table[index * 4 + 1], dst[2] = table[index * 4 + 2];
    } else {
      dst[0] = dst[1] = dst[2] = 0;
    }
    dst += 3;
  }
}
}  // namespace

dib_block* dib_to_24(const dib_block* b) {
  const int bits = dib_bits(b);
  const int32_t w = dib_width(b), h = dib_height(b);
  if (w <= 0 || h <= 0) return nullptr;
  if (bits == 24) return dib_clone(b);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 32) return nullptr;
  dib_block* out = dib_create(h, 1, w, 0);
  if (!out) return nullptr;
  dib_view d = dib_view_of(out);
  const uint32_t src_stride = dib_stride(b);
  const unsigned char* src = dib_pixels(b);
  if (bits == 32) {
    for (int32_t y = 0; y < h; ++y) {
      const unsigned char* s = src + std::size_t(src_stride) * y;
      unsigned char* q = d.pixels + d.stride * y;
      for (int32_t x = 0; x < w; ++x) std::memcpy(q + x * 3, s + x * 4, 3);
    }
    return out;
  }
  const uint32_t max_entries = 1u << bits;
  uint32_t entries = dib_colours_used(b);
  entries = entries ? std::min(entries, max_entries) : max_entries;
  const unsigned char* table = dib_table(b);
  for (int32_t y = 0; y < h; ++y)  // bottom-up on both sides: same memory order
    lookup_row(src + std::size_t(src_stride) * y, d.pixels + d.stride * y, w, bits, table, entries);
  return out;
}
