// GIF pictures: the first frame, composed on the logical screen directly (no
// device bitmaps), with the alpha plane its transparency gives. Frames after
// the first are not used by anyone and are not decoded.
#include <cstring>

#include "base/alloc.h"
#include "base/dib.h"
#include "image/gif_lzw.h"
#include "image/image.h"
#include "image/image_bytes.h"

namespace {
constexpr uint32_t kWhite = 0xFFFFFF;

struct gif_palette {
  unsigned char rgb[256 * 3] = {};  // entries past the file's table stay black
  uint32_t colour(int i) const { return dib_colour(rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]); }
};

// From the last graphic control extension before the frame.
struct gif_control {
  int disposal = 0;
  bool transparent = false;
  int transparent_index = 0;
};

struct gif_frame {
  uint16_t left, top, width, height;
  gif_control control;
  gif_palette palette;
  unsigned char* indexes = nullptr;  // width x height, counted
};

bool read_table(image_cursor& c, int flags, gif_palette& p) {
  const std::size_t entries = std::size_t{2} << (flags & 7);
  const unsigned char* t = c.take(entries * 3);
  if (!t) return false;
  std::memcpy(p.rgb, t, entries * 3);
  return true;
}

bool skip_sub_blocks(image_cursor& c) {
  for (;;) {
    unsigned n = c.u8();
    if (c.failed()) return false;
    if (n == 0) return true;
    if (!c.skip(n)) return false;
  }
}

// One extension after its "!"; false when the file ends inside it.
bool read_extension(image_cursor& c, gif_control& control) {
  const unsigned label = c.u8();
  switch (label) {
    case 0x01: return c.skip(13) && skip_sub_blocks(c);  // plain text
    case 0xFF: return c.skip(12) && skip_sub_blocks(c);  // application
    case 0xF9: {  // graphic control
      const unsigned n = c.u8();
      const unsigned char* p = c.take(n);
      if (!p) return false;
      if (n >= 4) {
        control.transparent = p[0] & 1;
        control.disposal = (p[0] >> 2) & 7;
        control.transparent_index = p[3];
      }
      return skip_sub_blocks(c);
    }
    default: return !c.failed() && skip_sub_blocks(c);  // comments and the rest
  }
}

bool read_frame(image_cursor& c, const gif_palette& global, gif_frame& f) {
  f.left = c.u16le();
  f.top = c.u16le();
  f.width = c.u16le();
  f.height = c.u16le();
  const int flags = c.u8();
  if (c.failed() || !f.width || !f.height) return false;
  f.palette = global;
  if ((flags & 0x80) && !read_table(c, flags, f.palette)) return false;
  if (!image_size_ok(f.width, f.height, 8)) return false;
  f.indexes = static_cast<unsigned char*>(mem_calloc(std::size_t{f.width} * f.height));
  if (!f.indexes) return false;
  gif_lzw_decode(c, f.indexes, f.width, f.height, flags & 0x40);
  return true;
}

// The frame on a white screen; the screen's background colour shows first
// when the frame is kept (disposal 1) or, without transparency, not disposed.
dib_block* compose(const gif_frame& f, int screen_w, int screen_h, uint32_t background,
                   dib_block** alpha) {
  const gif_control& k = f.control;
  dib_block* out = dib_create(screen_h, 1, screen_w, kWhite);
  if (!out) return nullptr;
  if (k.disposal == 1 || (k.disposal == 0 && !k.transparent)) dib_fill(out, background, nullptr);
  const bool with_alpha = alpha && k.transparent && (k.disposal == 0 || k.disposal == 2 || k.disposal == 3);
  dib_block* plane = with_alpha ? dib_create(screen_h, 0, screen_w, 0) : nullptr;
  if (with_alpha && !plane) {
    dib_free(out);
    return nullptr;
  }
  for (int y = 0; y < f.height && f.top + y < screen_h; ++y) {
    const unsigned char* row = f.indexes + std::size_t(y) * f.width;
    for (int x = 0; x < f.width && f.left + x < screen_w; ++x) {
      if (k.transparent && row[x] == k.transparent_index) continue;  // what lies beneath
      const unsigned char* rgb = f.palette.rgb + row[x] * 3;
      unsigned char* p = dib_pixel(out, f.left + x, f.top + y);
      p[0] = rgb[2];
      p[1] = rgb[1];
      p[2] = rgb[0];
      if (plane) *dib_pixel(plane, f.left + x, f.top + y) = 255;
    }
  }
  if (alpha) *alpha = plane;
  return out;
}
}  // namespace

dib_block* gif_decode(const void* data, std::size_t size, dib_block** alpha) {
  if (alpha) *alpha = nullptr;
  image_cursor c(data, size);
  const unsigned char* sig = c.take(6);
  if (!sig || std::memcmp(sig, "GIF8", 4) != 0 ||
      !((sig[4] == '7' || sig[4] == '9') && sig[5] == 'a'))
    return nullptr;
  const int screen_w = c.u16le(), screen_h = c.u16le();
  const int flags = c.u8();
  int background_index = c.u8();
  c.u8();  // aspect ratio
  if (c.failed() || !image_size_ok(screen_w, screen_h, 24)) return nullptr;
  gif_palette global;
  uint32_t background = kWhite;
  if (flags & 0x80) {
    if (!read_table(c, flags, global)) return nullptr;
    if (background_index >= (2 << (flags & 7))) background_index = 0;
    background = global.colour(background_index);
  }
  gif_control control;
  while (c.left()) {
    const unsigned b = c.u8();
    if (b == '!') {
      if (!read_extension(c, control)) break;
    } else if (b == ',') {
      gif_frame f;
      f.control = control;
      dib_block* out = nullptr;
      if (read_frame(c, global, f)) out = compose(f, screen_w, screen_h, background, alpha);
      mem_free(f.indexes);
      return out;
    } else {
      break;
    }
  }
  return nullptr;  // no frame
}

dib_block* gif_read(const char* path, dib_block** alpha) {
  if (alpha) *alpha = nullptr;
  image_file_bytes file;
  if (!image_read_path(path, file)) return nullptr;
  return gif_decode(file.data, file.size, alpha);
}
