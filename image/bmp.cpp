// BMP files: a 14-byte file header, then a packed DIB that becomes the block.
// Only the 40-byte info header is recognised; RLE8 and RLE4 files are
// expanded to plain 8-bit blocks (bmp_rle.cpp).
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/alloc.h"
#include "base/dib.h"
#include "base/os.h"
#include "image/bmp_rle.h"
#include "image/image.h"
#include "image/image_bytes.h"

namespace {
constexpr uint16_t kBmpMagic = 0x4D42;  // "BM"
constexpr int kFileHeader = 14;

inline uint32_t get32(const unsigned char* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline uint16_t get16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline void put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// A block of the given size whose header and table come from the file: made
// from a one-pixel template so that only base/dib.h creates blocks.
dib_block* block_from_header(const unsigned char* file_header, int bits, uint32_t colours_used,
                             const unsigned char* table, uint32_t table_bytes, uint32_t out_table,
                             int32_t width, int32_t height) {
  const std::size_t n = kDibHeaderSize + std::size_t{out_table} + 4;
  auto* tmpl = static_cast<unsigned char*>(mem_calloc(n));
  if (!tmpl) return nullptr;
  std::memcpy(tmpl, file_header, kDibHeaderSize);
  put32(tmpl + 4, 1);
  put32(tmpl + 8, 1);
  tmpl[12] = 1;
  tmpl[13] = 0;
  tmpl[14] = static_cast<unsigned char>(bits);
  tmpl[15] = 0;
  put32(tmpl + 16, 0);  // compression: the block always holds plain rows
  put32(tmpl + 32, colours_used);
  std::memcpy(tmpl + kDibHeaderSize, table, table_bytes);
  dib_block* one = dib_from_bytes(tmpl, n);
  mem_free(tmpl);
  dib_block* b = one ? dib_create_like(one, width, height) : nullptr;
  dib_free(one);
  if (!b) return nullptr;
  unsigned char* h = dib_bytes(b);
  put32(h + 20, dib_stride(b) * static_cast<uint32_t>(height));
  std::memcpy(h + 24, file_header + 24, 8);   // resolution
  std::memcpy(h + 36, file_header + 36, 4);   // important colours
  return b;
}
}  // namespace

dib_block* bmp_decode(const void* data, std::size_t size) {
  image_cursor c(data, size);
  if (c.u16le() != kBmpMagic || !c.skip(12)) return nullptr;
  const unsigned char* hdr = c.take(kDibHeaderSize);
  if (!hdr || get32(hdr) != kDibHeaderSize) return nullptr;
  const int32_t width = static_cast<int32_t>(get32(hdr + 4));
  const int32_t raw_height = static_cast<int32_t>(get32(hdr + 8));
  const int bits = get16(hdr + 14);
  const uint32_t compression = get32(hdr + 16), colours_used = get32(hdr + 32);
  if (width <= 0 || raw_height == 0 || raw_height == INT32_MIN) return nullptr;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return nullptr;
  // Plain rows, RLE8 over 8 bits, RLE4 over 4 bits; bit-field masks are not read.
  const bool rle8 = compression == 1, rle4 = compression == 2;
  if (compression > 2 || (rle8 && bits != 8) || (rle4 && bits != 4)) return nullptr;
  const bool top_down = raw_height < 0;
  if (top_down && compression != 0) return nullptr;
  const int32_t height = top_down ? -raw_height : raw_height;

  const uint64_t table_bytes =
      colours_used ? uint64_t{colours_used} * 4 : (bits <= 8 ? uint64_t{4} << bits : 0);
  if (table_bytes > c.left()) return nullptr;  // a table larger than the file
  const unsigned char* table = c.take(static_cast<std::size_t>(table_bytes));
  // RLE4 expands to one byte per pixel: a full 256-entry table, the file's first.
  const int out_bits = rle4 ? 8 : bits;
  const uint32_t out_used = rle4 ? 0 : colours_used;
  const uint64_t out_table = rle4 ? 1024 : table_bytes;
  const uint64_t stride = dib_stride_for(width, out_bits);
  const uint64_t pixel_bytes = stride * static_cast<uint32_t>(height);
  if (kDibHeaderSize + out_table + pixel_bytes > kDibMaxBytes) return nullptr;
  const bool plain = !rle8 && !rle4;
  if (plain && pixel_bytes > c.left()) return nullptr;  // short file: no allocation

  dib_block* b = block_from_header(hdr, out_bits, out_used, table,
                                   static_cast<uint32_t>(std::min(table_bytes, out_table)),
                                   static_cast<uint32_t>(out_table), width, height);
  if (!b) return nullptr;
  if (plain) {
    const unsigned char* px = c.take(static_cast<std::size_t>(pixel_bytes));
    if (!top_down) {
      std::memcpy(dib_pixels(b), px, static_cast<std::size_t>(pixel_bytes));
    } else {
      for (int32_t y = 0; y < height; ++y)
        std::memcpy(dib_row(b, y), px + stride * static_cast<uint32_t>(y), stride);
    }
    return b;
  }
  if (!bmp_rle_decode(c, dib_pixels(b), static_cast<std::size_t>(stride),
                      static_cast<std::size_t>(height), rle4)) {
    dib_free(b);
    return nullptr;
  }
  return b;
}

dib_block* bmp_read(std::FILE* file) {
  image_file_bytes bytes;
  if (!image_read_stream(file, bytes)) return nullptr;
  return bmp_decode(bytes.data, bytes.size);
}

int bmp_write(const char* path, const dib_block* block) {
  const uint64_t total = dib_total_size(block);
  if (!path || !*path || total == 0 || total > kDibMaxBytes) return 0;
  os_clear_attributes(path);
  os_safe_file out(path);
  if (!out.ok()) return 0;
  unsigned char header[kFileHeader] = {'B', 'M'};
  put32(header + 2, static_cast<uint32_t>(kFileHeader + total));
  put32(header + 10, kFileHeader + kDibHeaderSize + dib_table_size(block));
  out.write(header, sizeof header);
  out.write(dib_bytes(block), static_cast<std::size_t>(total));
  return out.ok() && out.commit();
}
