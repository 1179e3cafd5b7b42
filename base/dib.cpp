#include "base/dib.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/alloc.h"

static_assert(std::endian::native == std::endian::little, "headers are read in place");

namespace {
// The header as it lies in the block (BITMAPINFOHEADER).
struct dib_header {
  uint32_t size;
  int32_t width, height;
  uint16_t planes, bits;
  uint32_t compression, image_size;
  int32_t ppm_x, ppm_y;
  uint32_t colours_used, colours_important;
};
static_assert(sizeof(dib_header) == 40);
static_assert(offsetof(dib_header, bits) == 14 && offsetof(dib_header, colours_used) == 32);

dib_header header_of(const dib_block* b) {
  dib_header h{};
  if (b) std::memcpy(&h, b, sizeof h);
  if (h.size != kDibHeaderSize) h = dib_header{};
  return h;
}

uint32_t table_size_of(const dib_header& h) {
  if (h.colours_used) return h.colours_used > (1u << 24) ? (1u << 26) : h.colours_used * 4;
  switch (h.bits) {
    case 1:
      return 8;
    case 4:
      return 64;
    case 8:
      return 1024;
    default:
      return 0;
  }
}

uint64_t total_of(const dib_header& h) {
  if (h.size != kDibHeaderSize || h.width <= 0 || h.height <= 0) return 0;
  return kDibHeaderSize + uint64_t{table_size_of(h)} +
         uint64_t{dib_stride_for(h.width, h.bits)} * static_cast<uint32_t>(h.height);
}

dib_block* alloc_block(int32_t width, int32_t height, int bits, uint32_t colours_used, bool zero) {
  if (width <= 0 || height <= 0) return nullptr;
  dib_header h{};
  h.size = kDibHeaderSize;
  h.width = width;
  h.height = height;
  h.planes = 1;
  h.bits = static_cast<uint16_t>(bits);
  h.colours_used = colours_used;
  uint64_t total = total_of(h);
  if (total == 0 || total > kDibMaxBytes) return nullptr;
  void* p = zero ? mem_calloc(total) : mem_alloc(total);
  if (!p) return nullptr;
  std::memcpy(p, &h, sizeof h);
  return static_cast<dib_block*>(p);
}

void set_grey_table(dib_block* b) {
  unsigned char* t = dib_table(b);
  for (int i = 0; i < 256; ++i) {
    t[i * 4] = t[i * 4 + 1] = t[i * 4 + 2] = static_cast<unsigned char>(i);
    t[i * 4 + 3] = 0;
  }
}
}  // namespace

dib_rect dib_rect_intersect(const dib_rect& a, const dib_rect& b) {
  dib_rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
  if (dib_rect_empty(r)) r = dib_rect{0, 0, 0, 0};
  return r;
}

dib_rect dib_rect_union(const dib_rect& a, const dib_rect& b) {
  if (dib_rect_empty(a)) return dib_rect_empty(b) ? dib_rect{0, 0, 0, 0} : b;
  if (dib_rect_empty(b)) return a;
  return dib_rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                  std::max(a.bottom, b.bottom)};
}

int dib_valid(const dib_block* b) { return header_of(b).size == kDibHeaderSize; }
int32_t dib_width(const dib_block* b) { return header_of(b).width; }
int32_t dib_height(const dib_block* b) { return header_of(b).height; }
int dib_bits(const dib_block* b) { return header_of(b).bits; }
int dib_bytes_per_pixel(const dib_block* b) { return header_of(b).bits / 8; }
uint32_t dib_colours_used(const dib_block* b) { return header_of(b).colours_used; }
unsigned char* dib_bytes(dib_block* b) { return reinterpret_cast<unsigned char*>(b); }
const unsigned char* dib_bytes(const dib_block* b) {
  return reinterpret_cast<const unsigned char*>(b);
}

uint32_t dib_stride_for(int32_t width, int bits) {
  if (width <= 0 || bits <= 0) return 0;
  uint64_t bytes = (uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(bits) + 7) / 8;
  bytes = (bytes + 3) & ~uint64_t{3};
  return bytes > 0xFFFFFFF0u ? 0xFFFFFFF0u : static_cast<uint32_t>(bytes);
}

uint32_t dib_stride(const dib_block* b) {
  dib_header h = header_of(b);
  return dib_stride_for(h.width, h.bits);
}

uint32_t dib_table_size(const dib_block* b) {
  dib_header h = header_of(b);
  return h.size ? table_size_of(h) : 0;
}

uint64_t dib_total_size(const dib_block* b) { return total_of(header_of(b)); }

unsigned char* dib_table(dib_block* b) {
  return dib_valid(b) ? dib_bytes(b) + kDibHeaderSize : nullptr;
}
const unsigned char* dib_table(const dib_block* b) { return dib_table(const_cast<dib_block*>(b)); }

unsigned char* dib_pixels(dib_block* b) {
  dib_header h = header_of(b);
  if (!h.size) return nullptr;
  return dib_bytes(b) + kDibHeaderSize + table_size_of(h);
}
const unsigned char* dib_pixels(const dib_block* b) {
  return dib_pixels(const_cast<dib_block*>(b));
}

unsigned char* dib_row(dib_block* b, int32_t y) {
  dib_header h = header_of(b);
  if (!h.size || y < 0 || y >= h.height || h.width <= 0) return nullptr;
  return dib_bytes(b) + kDibHeaderSize + table_size_of(h) +
         std::size_t{dib_stride_for(h.width, h.bits)} * static_cast<uint32_t>(h.height - 1 - y);
}
const unsigned char* dib_row(const dib_block* b, int32_t y) {
  return dib_row(const_cast<dib_block*>(b), y);
}

unsigned char* dib_pixel(dib_block* b, int32_t x, int32_t y) {
  dib_header h = header_of(b);
  if (!h.size || x < 0 || x >= h.width || y < 0 || y >= h.height) return nullptr;
  return dib_row(b, y) + std::size_t{static_cast<uint32_t>(x)} * (h.bits / 8);
}
const unsigned char* dib_pixel(const dib_block* b, int32_t x, int32_t y) {
  return dib_pixel(const_cast<dib_block*>(b), x, y);
}

dib_block* dib_create(int32_t height, int is24, int32_t width, uint32_t fill) {
  if (height <= 0 || width <= 0) return nullptr;
  if (!is24) {
    // Zero planes come zeroed from the allocator: pages never touched stay free.
    const bool zero = (fill & 255) == 0;
    dib_block* b = alloc_block(width, height, 8, 256, zero);
    if (!b) return nullptr;
    set_grey_table(b);
    if (!zero)
      std::memset(dib_pixels(b), static_cast<int>(fill & 255),
                  std::size_t{dib_stride(b)} * static_cast<uint32_t>(height));
    return b;
  }
  const uint8_t r = dib_red(fill), g = dib_green(fill), bl = dib_blue(fill);
  const bool black = (fill & 0xFFFFFF) == 0;
  dib_block* b = alloc_block(width, height, 24, 0, black);
  if (!b || black) return b;
  const std::size_t stride = dib_stride(b);
  unsigned char* px = dib_pixels(b);
  if (r == g && g == bl) {
    std::memset(px, r, stride * static_cast<uint32_t>(height));
    return b;
  }
  // First row pixel by pixel (padding zero), then whole-row copies.
  std::memset(px, 0, stride);
  for (int32_t x = 0; x < width; ++x) {
    px[x * 3] = bl;
    px[x * 3 + 1] = g;
    px[x * 3 + 2] = r;
  }
  for (int32_t y = 1; y < height; ++y) std::memcpy(px + stride * y, px, stride);
  return b;
}

dib_block* dib_create_indexed(int entries, int32_t width, int32_t height,
                              const unsigned char* colours) {
  entries = std::clamp(entries, 0, 256);
  if (!colours) entries = 0;
  dib_block* b = alloc_block(width, height, 8, static_cast<uint32_t>(entries), true);
  if (!b) return nullptr;
  unsigned char* t = dib_table(b);
  for (int i = 0; i < entries; ++i) {
    t[i * 4] = colours[i * 3 + 2];
    t[i * 4 + 1] = colours[i * 3 + 1];
    t[i * 4 + 2] = colours[i * 3];
  }
  return b;
}

dib_block* dib_create_like(const dib_block* like, int32_t width, int32_t height) {
  dib_header h = header_of(like);
  if (!h.size) return nullptr;
  dib_block* b = alloc_block(width, height, h.bits, h.colours_used, true);
  if (b) std::memcpy(dib_table(b), dib_table(like), table_size_of(h));
  return b;
}

namespace {
bool bytes_ok(const void* bytes, std::size_t length) {
  if (!bytes || length < sizeof(dib_header)) return false;
  dib_header h;
  std::memcpy(&h, bytes, sizeof h);
  if (h.size != kDibHeaderSize || h.width <= 0 || h.height <= 0) return false;
  switch (h.bits) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return false;
  }
  uint64_t total = total_of(h);
  return total == length && total <= kDibMaxBytes;
}
}  // namespace

dib_block* dib_adopt_bytes(void* bytes, std::size_t length) {
  if (bytes_ok(bytes, length)) return static_cast<dib_block*>(bytes);
  mem_free(bytes);
  return nullptr;
}

dib_block* dib_from_bytes(const void* bytes, std::size_t length) {
  if (!bytes_ok(bytes, length)) return nullptr;
  void* p = mem_alloc(length);
  if (!p) return nullptr;
  std::memcpy(p, bytes, length);
  return static_cast<dib_block*>(p);
}

dib_block* dib_clone(const dib_block* b) {
  uint64_t total = dib_total_size(b);
  if (total == 0 || total > kDibMaxBytes) return nullptr;
  void* p = mem_alloc(total);
  if (p) std::memcpy(p, b, total);
  return static_cast<dib_block*>(p);
}

void dib_free(dib_block* b) { mem_free(b); }

// Mixed non-24-bit kinds (say 8 and 4 bits) have different strides: copying one
// whole block over the other would overrun it, so bits must match exactly.
int dib_copy_same(const dib_block* src, dib_block* dst) {
  dib_header s = header_of(src), d = header_of(dst);
  if (!s.size || !d.size || s.bits != d.bits || s.width != d.width || s.height != d.height ||
      s.width <= 0 || s.height <= 0)
    return 0;
  if (src == dst) return 1;
  if (table_size_of(s) == table_size_of(d)) {
    std::memcpy(dst, src, total_of(s));
  } else {
    std::memcpy(dib_pixels(dst), dib_pixels(src),
                std::size_t{dib_stride(src)} * static_cast<uint32_t>(s.height));
  }
  return 1;
}

int dib_fill(dib_block* b, uint32_t colour, const dib_rect* rect) {
  dib_header h = header_of(b);
  if (!h.size || h.width <= 0 || h.height <= 0) return 0;
  if (h.bits != 24 && h.bits != 8) return 0;
  dib_rect all{0, 0, h.width, h.height};
  dib_rect r = rect ? dib_rect_intersect(*rect, all) : all;
  if (dib_rect_empty(r)) return 0;
  const int bpp = h.bits / 8;
  const std::size_t n = static_cast<std::size_t>(r.right - r.left);
  const uint8_t red = dib_red(colour), green = dib_green(colour), blue = dib_blue(colour);
  const bool uniform = bpp == 1 || (red == green && green == blue);
  unsigned char* first = dib_pixel(b, r.left, r.top);
  if (!uniform) {
    for (std::size_t i = 0; i < n; ++i) {
      first[i * 3] = blue;
      first[i * 3 + 1] = green;
      first[i * 3 + 2] = red;
    }
  }
  for (int32_t y = r.top; y < r.bottom; ++y) {
    unsigned char* p = dib_pixel(b, r.left, y);
    if (uniform)
      std::memset(p, red, n * bpp);
    else if (p != first)
      std::memcpy(p, first, n * 3);
  }
  return 1;
}
