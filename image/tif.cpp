// TIFF pictures: the first image directory, "II" or "MM", 1-, 4- and 8-bit
// (palette or grey) and 24-bit RGB, uncompressed or PackBits, strips in order.
#include <algorithm>
#include <cstring>
#include <utility>

#include "base/alloc.h"
#include "base/dib.h"
#include "image/image.h"
#include "image/image_block.h"
#include "image/image_bytes.h"
#include "image/packbits.h"

namespace {
class tif_file {
 public:
  tif_file(const unsigned char* data, std::size_t size, bool big) : d_(data), n_(size), big_(big) {}
  bool has(uint64_t at, uint64_t len) const { return at <= n_ && len <= n_ - at; }
  uint32_t u16(std::size_t at) const {
    return big_ ? (d_[at] << 8 | d_[at + 1]) : (d_[at] | d_[at + 1] << 8);
  }
  uint32_t u32(std::size_t at) const {
    return big_ ? (u16(at) << 16 | u16(at + 2)) : (u16(at) | u16(at + 2) << 16);
  }
  const unsigned char* at(std::size_t p) const { return d_ + p; }
  std::size_t size() const { return n_; }

 private:
  const unsigned char* d_;
  std::size_t n_;
  bool big_;
};

// One directory entry: its values lie in place (four bytes or fewer) or at an offset.
struct tif_entry {
  uint32_t type = 0, count = 0;
  std::size_t values = 0;  // file offset of the first value
  bool present = false;
};

int type_size(uint32_t type) {
  switch (type) {
    case 1: case 2: case 6: case 7: return 1;  // bytes
    case 3: case 8: return 2;                  // shorts
    case 4: case 9: return 4;                  // longs
    default: return 0;                         // rationals and the rest: not used here
  }
}

bool value(const tif_file& f, const tif_entry& e, uint32_t i, uint32_t& out) {
  const int s = type_size(e.type);
  if (!e.present || !s || i >= e.count) return false;
  const std::size_t p = e.values + std::size_t(i) * s;
  out = s == 1 ? *f.at(p) : s == 2 ? f.u16(p) : f.u32(p);
  return true;
}

uint32_t value_or(const tif_file& f, const tif_entry& e, uint32_t fallback) {
  uint32_t v;
  return value(f, e, 0, v) ? v : fallback;
}

enum tag_slot { kWidth, kHeight, kBits, kCompression, kPhotometric, kOffsets, kOrientation,
                kSamples, kRowsPerStrip, kByteCounts, kPlanar, kPredictor, kColourMap, kSlots };

int slot_of(uint32_t tag) {
  switch (tag) {
    case 256: return kWidth;
    case 257: return kHeight;
    case 258: return kBits;
    case 259: return kCompression;
    case 262: return kPhotometric;
    case 273: return kOffsets;
    case 274: return kOrientation;
    case 277: return kSamples;
    case 278: return kRowsPerStrip;
    case 279: return kByteCounts;
    case 284: return kPlanar;
    case 317: return kPredictor;
    case 320: return kColourMap;
    default: return -1;
  }
}

// Pixel i of a row of 1-, 4-, 8- or 24-bit pixels, written at position j of out.
void move_pixel(const unsigned char* in, int32_t i, unsigned char* out, int32_t j, int bits) {
  if (bits == 24) {
    std::memcpy(out + j * 3, in + i * 3, 3);
  } else if (bits == 8) {
    out[j] = in[i];
  } else {
    const int per = 8 / bits, mask = (1 << bits) - 1;
    const int v = (in[i / per] >> ((per - 1 - i % per) * bits)) & mask;
    const int shift = (per - 1 - j % per) * bits;
    out[j / per] = static_cast<unsigned char>((out[j / per] & ~(mask << shift)) | v << shift);
  }
}
}  // namespace

dib_block* tif_decode(const void* data, std::size_t size) {
  const auto* d = static_cast<const unsigned char*>(data);
  if (!d || size < 8) return nullptr;
  const bool big = d[0] == 'M' && d[1] == 'M';
  if (!big && !(d[0] == 'I' && d[1] == 'I')) return nullptr;
  const tif_file f(d, size, big);
  if (f.u16(2) != 42) return nullptr;
  const uint32_t dir = f.u32(4);
  if (!f.has(dir, 2)) return nullptr;
  const uint32_t n = f.u16(dir);
  if (!f.has(dir + 2, uint64_t{n} * 12)) return nullptr;
  tif_entry tags[kSlots];
  for (uint32_t i = 0; i < n; ++i) {
    const std::size_t e = dir + 2 + std::size_t{i} * 12;
    const int slot = slot_of(f.u16(e));
    if (slot < 0) continue;
    tif_entry& t = tags[slot];
    t.type = f.u16(e + 2);
    t.count = f.u32(e + 4);
    const uint64_t bytes = uint64_t{t.count} * type_size(t.type);
    t.values = bytes <= 4 ? e + 8 : f.u32(e + 8);
    t.present = type_size(t.type) && t.count && f.has(t.values, bytes);
  }
  const uint32_t width = value_or(f, tags[kWidth], 0), height = value_or(f, tags[kHeight], 0);
  const uint32_t samples = value_or(f, tags[kSamples], 1), bps = value_or(f, tags[kBits], 1);
  const uint32_t compression = value_or(f, tags[kCompression], 1);
  const uint32_t photometric = value_or(f, tags[kPhotometric], 1);
  const uint32_t orientation = value_or(f, tags[kOrientation], 1);
  if (value_or(f, tags[kPlanar], 1) != 1 || value_or(f, tags[kPredictor], 1) != 1) return nullptr;
  // Uncompressed and PackBits only: CCITT (2, 3, 4), JPEG (6), LZW and the rest are refused.
  if (compression != 1 && compression != 32773) return nullptr;
  for (uint32_t i = 1; i < samples; ++i) {
    uint32_t v;
    if (!value(f, tags[kBits], i, v) || v != bps) return nullptr;
  }
  const int bits = static_cast<int>(samples * bps);
  const bool rgb = bits == 24 && bps == 8 && photometric == 2;
  const bool indexed = samples == 1 && (bps == 1 || bps == 4 || bps == 8) && photometric <= 3 &&
                       photometric != 2;
  if ((!rgb && !indexed) || !image_size_ok(width, height, bits)) return nullptr;

  dib_block* b = nullptr;
  if (rgb) {
    b = dib_create(static_cast<int32_t>(height), 1, static_cast<int32_t>(width), 0);
  } else {
    const int entries = 1 << bps;
    unsigned char table[256 * 3];
    const tif_entry& map = tags[kColourMap];
    if (map.present && map.count >= uint32_t(entries) * 3) {
      for (int c = 0; c < 3; ++c)
        for (int i = 0; i < entries; ++i) {
          uint32_t v = 0;
          value(f, map, uint32_t(c * entries + i), v);
          table[i * 3 + c] = static_cast<unsigned char>(v >> 8);  // 16-bit entries: high byte
        }
    } else if (photometric <= 1) {
      // Grey by the photometric interpretation: 0 means white is zero.
      for (int i = 0; i < entries; ++i) {
        int g = i * 255 / (entries - 1);
        std::memset(table + i * 3, photometric == 0 ? 255 - g : g, 3);
      }
    } else {
      return nullptr;  // a palette picture without its palette
    }
    b = image_indexed_block(bps, entries, table, static_cast<int32_t>(width),
                            static_cast<int32_t>(height));
  }
  if (!b) return nullptr;

  const std::size_t row_bytes = (std::size_t{width} * bits + 7) / 8;
  uint32_t rows_per_strip = value_or(f, tags[kRowsPerStrip], height);
  if (rows_per_strip == 0 || rows_per_strip > height) rows_per_strip = height;
  auto* strip = static_cast<unsigned char*>(mem_alloc(row_bytes * rows_per_strip));
  auto* mirror = static_cast<unsigned char*>(mem_alloc(row_bytes + 4));
  const bool flip = orientation == 3 || orientation == 4;
  const bool mirrored = orientation == 2 || orientation == 3;
  uint32_t row = 0;
  bool ok = strip && mirror && tags[kOffsets].present;
  for (uint32_t s = 0; ok && row < height; ++s) {
    uint32_t offset, count;
    const uint32_t rows = std::min(rows_per_strip, height - row);
    const std::size_t want = row_bytes * rows;
    if (!value(f, tags[kOffsets], s, offset)) {
      ok = false;
      break;
    }
    if (!value(f, tags[kByteCounts], s, count)) count = static_cast<uint32_t>(size);
    if (offset > size) {
      ok = false;
      break;
    }
    const std::size_t avail = std::min<std::size_t>(count, size - offset);
    if (compression == 1) {
      if (avail < want) ok = false;
      else std::memcpy(strip, f.at(offset), want);
    } else {
      ok = packbits_decode(f.at(offset), avail, strip, want);
    }
    for (uint32_t r = 0; ok && r < rows; ++r, ++row) {
      unsigned char* src = strip + row_bytes * r;
      unsigned char* dst = dib_row(b, static_cast<int32_t>(flip ? height - 1 - row : row));
      if (mirrored) {
        std::memset(mirror, 0, row_bytes);
        for (uint32_t x = 0; x < width; ++x)
          move_pixel(src, static_cast<int32_t>(x), mirror, static_cast<int32_t>(width - 1 - x), bits);
        src = mirror;
      }
      std::memcpy(dst, src, row_bytes);
      if (rgb)
        for (uint32_t x = 0; x < width; ++x) std::swap(dst[x * 3], dst[x * 3 + 2]);
    }
  }
  mem_free(strip);
  mem_free(mirror);
  if (!ok) {
    dib_free(b);
    return nullptr;
  }
  return b;
}

dib_block* tif_read(const char* path) {
  image_file_bytes file;
  if (!image_read_path(path, file)) return nullptr;
  return tif_decode(file.data, file.size);
}
