#pragma once
// The bitmap record: a Windows packed DIB in one counted heap block (40-byte
// header, colour table, bottom-up rows padded to 4 bytes, pixels blue-green-red).
// A block can be handed unchanged to the Windows DIB functions.
//
// `dib_block` is an incomplete type: a `dib_block*` points at the first header
// byte. dib_bytes() gives the raw bytes (e.g. to write a BMP file); blocks are
// made only by the functions here, so every one is counted by base/alloc.h.
//
// Coordinates are from the top: y = 0 is the last row in memory. Colours are
// 0x00BBGGRR (red in the low byte). Operations return 1 or a block on success,
// 0 or null on failure; none throws.
#include <cstddef>
#include <cstdint>

struct dib_block;

// Rectangle with exclusive right and bottom, like a Windows RECT.
struct dib_rect {
  int32_t left, top, right, bottom;
};
inline bool dib_rect_empty(const dib_rect& r) { return r.right <= r.left || r.bottom <= r.top; }
dib_rect dib_rect_intersect(const dib_rect& a, const dib_rect& b);  // empty as (0,0,0,0)
dib_rect dib_rect_union(const dib_rect& a, const dib_rect& b);      // empty sides ignored

inline constexpr int kDibHeaderSize = 40;
// The largest block any operation makes or accepts; bounds every size field read.
inline constexpr uint32_t kDibMaxBytes = 256u << 20;

inline uint8_t dib_red(uint32_t colour) { return static_cast<uint8_t>(colour); }
inline uint8_t dib_green(uint32_t colour) { return static_cast<uint8_t>(colour >> 8); }
inline uint8_t dib_blue(uint32_t colour) { return static_cast<uint8_t>(colour >> 16); }
inline uint32_t dib_colour(int red, int green, int blue) {
  return static_cast<uint32_t>(red & 255) | static_cast<uint32_t>(green & 255) << 8 |
         static_cast<uint32_t>(blue & 255) << 16;
}

// Header fields. A block whose header size is not 40 (or null) reads as empty:
// width, height and bits 0, pixel addresses null.
int dib_valid(const dib_block* b);
int32_t dib_width(const dib_block* b);
int32_t dib_height(const dib_block* b);
int dib_bits(const dib_block* b);
int dib_bytes_per_pixel(const dib_block* b);  // bits / 8
uint32_t dib_colours_used(const dib_block* b);
unsigned char* dib_bytes(dib_block* b);
const unsigned char* dib_bytes(const dib_block* b);

// ceil(width * bits / 8) rounded up to a multiple of 4.
uint32_t dib_stride_for(int32_t width, int bits);
uint32_t dib_stride(const dib_block* b);
// Colours used * 4, or for 0 colours used: 8 (1 bit), 64 (4 bits), 1024 (8 bits), else 0.
uint32_t dib_table_size(const dib_block* b);
// 40 + table + stride * height (64-bit: a hostile header cannot wrap it).
uint64_t dib_total_size(const dib_block* b);
unsigned char* dib_table(dib_block* b);
const unsigned char* dib_table(const dib_block* b);
unsigned char* dib_pixels(dib_block* b);
const unsigned char* dib_pixels(const dib_block* b);
// Row y from the top, pixel (x, y); null outside the block.
unsigned char* dib_row(dib_block* b, int32_t y);
const unsigned char* dib_row(const dib_block* b, int32_t y);
unsigned char* dib_pixel(dib_block* b, int32_t x, int32_t y);
const unsigned char* dib_pixel(const dib_block* b, int32_t x, int32_t y);

// Creation and release.
// 24-bit: pixels set to fill. 8-bit: grey table, 256 colours used, every byte =
// low byte of fill. Null for a non-positive size or beyond kDibMaxBytes.
dib_block* dib_create(int32_t height, int is24, int32_t width, uint32_t fill);
// 8-bit block with a table of `entries` (clamped to 0..256) colours from
// red-green-blue triples; pixels 0.
dib_block* dib_create_indexed(int entries, int32_t width, int32_t height,
                              const unsigned char* colours);
// A block of the same bits and colour table as `like`, of another size; pixels 0.
dib_block* dib_create_like(const dib_block* like, int32_t width, int32_t height);
// Copies bytes into a new block when the header size is 40, the size positive,
// the bits 1, 4, 8, 16, 24 or 32, and length equals the total size.
dib_block* dib_from_bytes(const void* bytes, std::size_t length);
// The same check on a block taken with mem_alloc, kept without a copy; a
// rejected block is freed (null is returned).
dib_block* dib_adopt_bytes(void* bytes, std::size_t length);
dib_block* dib_clone(const dib_block* b);
void dib_free(dib_block* b);
// src over dst when both have the same size and bits per pixel.
int dib_copy_same(const dib_block* src, dib_block* dst);

// Conversions that take ownership: return a new block and free the source, or
// return the source unchanged when they cannot proceed.
dib_block* dib_crop_center(dib_block* b, int32_t w, int32_t h);
dib_block* dib_resize(dib_block* b, int32_t w, int32_t h);  // bilinear
dib_block* dib_rotate90(dib_block* b);                      // anticlockwise on screen
dib_block* dib_mirror(dib_block* b);                        // left-right
dib_block* dib_flip(dib_block* b);                          // top-bottom
dib_block* dib_rotate(dib_block* b, float degrees, uint32_t background);

// Copies between blocks of equal bytes per pixel.
int dib_resample_into(dib_block* dst, const dib_block* src);  // nearest, whole blocks
int dib_blit(dib_block* dst, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib_block* src,
             int32_t sx, int32_t sy, int32_t sw, int32_t sh, int bilinear);
// Fills the rectangle (null: the whole block) clipped to the block; 0 when empty.
int dib_fill(dib_block* b, uint32_t colour, const dib_rect* rect);

// Bilinear sample of a 24- or 8-bit block at (fx, fy) into out (3 or 1 bytes);
// 0 (out untouched) when the base pixel is outside.
int dib_sample_bilinear(const dib_block* b, double fx, double fy, unsigned char* out);

// A 24-bit copy of a 1-, 4-, 8- or 24-bit block (colour table looked up) that
// equals what CreateDIBitmap + GetDIBits on a true-colour screen give.
dib_block* dib_to_24(const dib_block* b);
