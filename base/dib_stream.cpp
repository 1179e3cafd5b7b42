#include "base/dib_stream.h"

#include <zlib.h>

#include <cstring>
#include <new>

#include "base/alloc.h"
#include "base/dib_sample.h"
#include "base/byte_reader.h"
#include "base/lzari.h"
#include "base/os.h"

namespace {
// Deflate cannot expand data by more than about 1032:1; a header claiming more
// for its stored bytes is refused before anything is allocated.
constexpr uint64_t kDeflateMaxRatio = 1032;

using cursor = byte_reader;

dib_block* read_zlib(cursor& in) {
  uint32_t size = 0, stored = 0;
  if (!in.u32(size) || !in.u32(stored)) return nullptr;
  const unsigned char* data = in.bytes(stored);
  if (!data) return nullptr;
  if (stored >= size) return dib_from_bytes(data, stored);
  if (size > kDibMaxBytes || size > uint64_t{stored} * kDeflateMaxRatio + 64) return nullptr;
  unsigned char* out = static_cast<unsigned char*>(mem_alloc(size));
  if (!out) return nullptr;
  z_stream z{};
  int ok = inflateInit(&z) == Z_OK;
  if (ok) {
    z.next_in = const_cast<unsigned char*>(data);
    z.avail_in = stored;
    z.next_out = out;
    z.avail_out = size;
    // Exactly size bytes and the end of the stream, or nothing.
    ok = inflate(&z, Z_FINISH) == Z_STREAM_END && z.total_out == size;
    inflateEnd(&z);
  }
  if (!ok) {
    mem_free(out);
    return nullptr;
  }
  return dib_adopt_bytes(out, size);
}

dib_block* read_lzari(cursor& in) {
  uint32_t length = 0;
  if (!in.u32(length)) return nullptr;
  const unsigned char* data = in.bytes(length);
  if (!data) return nullptr;
  LZARI* coder = new (std::nothrow) LZARI;  // large tables: not on the stack
  if (!coder) return nullptr;
  const unsigned char* out = nullptr;
  uint32_t out_length = 0;
  dib_block* b = nullptr;
  if (coder->decode(data, length, &out, &out_length) && out) b = dib_from_bytes(out, out_length);
  delete coder;
  return b;
}

dib_block* read_raw(cursor& in) {
  uint32_t length = 0;
  if (!in.u32(length)) return nullptr;
  const unsigned char* data = in.bytes(length);
  return data ? dib_from_bytes(data, length) : nullptr;
}

dib_block* read_runs(cursor& in) {
  uint32_t kind = 0, w = 0, h = 0;
  if (!in.u32(kind) || !in.u32(w) || !in.u32(h)) return nullptr;
  const int32_t width = static_cast<int32_t>(w), height = static_cast<int32_t>(h);
  if (width <= 0 || height <= 0) return nullptr;
  // dib_create refuses anything beyond kDibMaxBytes.
  dib_block* b = dib_create(height, kind != 0, width, 0);
  if (!b) return nullptr;
  dib_view v = dib_view_of(b);
  uint32_t runs = 0;
  for (;;) {
    uint16_t row = 0, col = 0, len = 0;
    if (!in.u16(row)) break;
    if (row == 0xFFFF) {
      uint32_t count = 0;
      if (!in.u32(count) || count != runs) break;
      return b;
    }
    unsigned char value[3];
    if (!in.u16(col) || !in.u16(len) || !in.take(value, v.bpp)) break;
    if (row >= height || uint32_t{col} + len > static_cast<uint32_t>(width)) break;
    unsigned char* p = v.at(col, row);
    if (v.bpp == 1) {
      std::memset(p, value[0], len);
    } else {
      for (uint16_t i = 0; i < len; ++i, p += 3) std::memcpy(p, value, 3);
    }
    ++runs;
  }
  dib_free(b);
  return nullptr;
}
}  // namespace

dib_block* dib_read_stream(const unsigned char* data, std::size_t length, std::size_t* used) {
  if (used) *used = 0;
  if (!data) return nullptr;
  cursor in{data, length};
  uint16_t raw_tag = 0;
  if (!in.u16(raw_tag)) return nullptr;
  dib_block* b = nullptr;
  switch (static_cast<int16_t>(raw_tag)) {
    case kDibStreamZlib:
      b = read_zlib(in);
      break;
    case kDibStreamLzari:
      b = read_lzari(in);
      break;
    case kDibStreamRaw:
      b = read_raw(in);
      break;
    case kDibStreamRuns:
      b = read_runs(in);
      break;
    default:
      return nullptr;
  }
  if (b && used) *used = length - in.left;
  return b;
}

int dib_write_stream(const dib_block* block, dib_write_fn write, void* context) {
  const uint64_t total = dib_total_size(block);
  if (!write || total == 0 || total > kDibMaxBytes) return 0;
  uLongf packed_size = compressBound(static_cast<uLong>(total));
  unsigned char* packed = static_cast<unsigned char*>(mem_alloc(packed_size));
  if (!packed) return 0;
  const bool smaller = compress2(packed, &packed_size, dib_bytes(block), static_cast<uLong>(total),
                                 Z_DEFAULT_COMPRESSION) == Z_OK &&
                       packed_size < total;
  const uint32_t stored =
      smaller ? static_cast<uint32_t>(packed_size) : static_cast<uint32_t>(total);
  unsigned char head[10];
  const uint16_t tag = static_cast<uint16_t>(kDibStreamZlib);
  const uint32_t size = static_cast<uint32_t>(total);
  head[0] = static_cast<unsigned char>(tag), head[1] = static_cast<unsigned char>(tag >> 8);
  for (int i = 0; i < 4; ++i) {
    head[2 + i] = static_cast<unsigned char>(size >> (8 * i));
    head[6 + i] = static_cast<unsigned char>(stored >> (8 * i));
  }
  int ok = write(context, head, sizeof head) &&
           write(context, smaller ? packed : dib_bytes(block), stored);
  mem_free(packed);
  return ok;
}

namespace {
int write_to_file(void* context, const void* data, std::size_t size) {
  return static_cast<os_safe_file*>(context)->write(data, size);
}
}  // namespace

int dib_write_stream(const dib_block* block, os_safe_file& file) {
  return dib_write_stream(block, write_to_file, &file);
}

dib_block* dib_read_stream_exact(const unsigned char* p, std::size_t left, int32_t width,
                                 int32_t height, int bits, std::size_t* used) {
  auto u32_at = [p](std::size_t at) {
    return p[at] | p[at + 1] << 8 | p[at + 2] << 16 | uint32_t{p[at + 3]} << 24;
  };
  if (!p || width <= 0 || height <= 0 || (bits != 24 && bits != 8)) return nullptr;
  const uint64_t expected_max =
      kDibHeaderSize + (bits == 8 ? 1024u : 0u) + uint64_t{dib_stride_for(width, bits)} * height;
  if (left < 6) return nullptr;
  const int16_t tag = static_cast<int16_t>(p[0] | p[1] << 8);
  uint64_t claimed = 0;
  if (tag == kDibStreamZlib || tag == kDibStreamRaw) {
    claimed = u32_at(2);
  } else if (tag == kDibStreamLzari) {
    if (left < 10) return nullptr;
    claimed = u32_at(6);  // the LZARI stream's own text size
  } else if (tag == kDibStreamRuns) {
    if (left < 14) return nullptr;
    if ((u32_at(2) != 0) != (bits == 24) || u32_at(6) != uint32_t(width) ||
        u32_at(10) != uint32_t(height))
      return nullptr;
  } else {
    return nullptr;
  }
  if (claimed > expected_max) return nullptr;
  std::size_t n = 0;
  dib_block* b = dib_read_stream(p, left, &n);
  if (!b) return nullptr;
  if (dib_width(b) != width || dib_height(b) != height || dib_bits(b) != bits) {
    dib_free(b);
    return nullptr;
  }
  if (used) *used = n;
  return b;
}
