#include "content/dict_bitmap.h"

#include <algorithm>

#include "base/dib_pixel.h"
#include "content/asd.h"
#include "content/dict_picture.h"
#include "image/image.h"

namespace {

// A resize that could not be made hands back the source unchanged.
dib_block* resized(dib_block* b, int32_t w, int32_t h) {
  if (!b || (dib_width(b) == w && dib_height(b) == h)) return b;
  dib_block* r = dib_resize(b, w, h);
  if (r == b) {
    dib_free(b);
    return nullptr;
  }
  return r;
}

int is_grey_plane(const dib_block* b) {
  if (dib_bits(b) != 8 || dib_table_size(b) != 1024) return 0;
  const unsigned char* t = dib_table(b);
  for (int i = 0; i < 256; ++i, t += 4)
    if (t[0] != i || t[1] != i || t[2] != i) return 0;
  return 1;
}

// Any companion as an 8-bit coverage plane: a grey plane as it is, anything
// else by the grey level of its colours. Takes ownership; null on failure.
dib_block* coverage_of(dib_block* b) {
  if (!b || is_grey_plane(b)) return b;
  dib_block* colour = image_to_24(b);
  if (!colour) return nullptr;
  const int32_t w = dib_width(colour), h = dib_height(colour);
  dib_block* plane = dib_create(h, 0, w, 0);
  for (int32_t y = 0; plane && y < h; ++y) {
    const unsigned char* s = dib_row(colour, y);
    unsigned char* d = dib_row(plane, y);
    for (int32_t x = 0; x < w; ++x, s += 3)
      d[x] = static_cast<unsigned char>((s[0] + s[1] + s[2]) / 3);
  }
  dib_free(colour);
  return plane;
}

}  // namespace

zun_dict_bitmap::~zun_dict_bitmap() { reset(); }

void zun_dict_bitmap::reset() {
  dib_free(picture_);
  dib_free(companion_);
  picture_ = companion_ = nullptr;
  initialised_ = 0;
}

void dict_display_size(int32_t w, int32_t h, int32_t s, int32_t* out_w, int32_t* out_h) {
  const int32_t larger = w > h ? w : h;
  if (s > 0 && larger > s) {
    // Rounded to the nearest pixel; a thin side never vanishes.
    w = static_cast<int32_t>((int64_t{w} * s * 2 + larger) / (int64_t{larger} * 2));
    h = static_cast<int32_t>((int64_t{h} * s * 2 + larger) / (int64_t{larger} * 2));
    if (w < 1) w = 1;
    if (h < 1) h = 1;
  }
  *out_w = w;
  *out_h = h;
}

int zun_dict_bitmap::take(dict_blocks& blocks, int32_t s) {
  dib_block* picture = image_to_24(blocks.picture);
  dib_block* companion = blocks.companion;
  const bool had_companion = companion != nullptr;
  blocks = dict_blocks{};
  companion = coverage_of(companion);
  if (!picture || (had_companion && !companion)) {
    dib_free(picture);
    dib_free(companion);
    return 0;
  }
  int32_t w = 0, h = 0;
  dict_display_size(dib_width(picture), dib_height(picture), s, &w, &h);
  if (w != dib_width(picture) || h != dib_height(picture)) {
    picture = resized(picture, w, h);
    companion = resized(companion, w, h);
    if (!picture || (had_companion && !companion)) {
      dib_free(picture);
      dib_free(companion);
      return 0;
    }
  }
  picture_ = picture;
  companion_ = companion;
  initialised_ = 1;
  return 1;
}

int zun_dict_bitmap::from_file(const char* path, int32_t s) {
  reset();
  dict_blocks blocks;
  if (!read_picture_blocks(path, &blocks)) return 0;
  return take(blocks, s);
}

int zun_dict_bitmap::from_pair(const dib_block* picture, const dib_block* companion, int32_t s) {
  reset();
  dict_blocks blocks;
  blocks.picture = dib_clone(picture);
  blocks.companion = companion ? dib_clone(companion) : nullptr;
  if (!blocks.picture || (companion && !blocks.companion)) {
    dict_blocks_free(&blocks);
    return 0;
  }
  return take(blocks, s);
}

int draw_centred(const zun_dict_bitmap& bitmap, dib_block* target, int32_t cx, int32_t cy) {
  const dib_block* picture = bitmap.picture();
  if (!bitmap.initialised() || !picture || dib_bits(target) != 24) return 0;
  const int32_t w = dib_width(picture), h = dib_height(picture);
  const dib_block* companion = bitmap.companion();
  if (companion && (dib_width(companion) != w || dib_height(companion) != h)) companion = nullptr;
  // 64-bit positions: a centre near the end of the range must not wrap.
  const int64_t left = int64_t{cx} - w / 2, top = int64_t{cy} - h / 2;
  const int64_t x0 = left < 0 ? -left : 0, y0 = top < 0 ? -top : 0;
  const int64_t x1 = std::min<int64_t>(w, dib_width(target) - left);
  const int64_t y1 = std::min<int64_t>(h, dib_height(target) - top);
  for (int64_t y = y0; y < y1; ++y) {
    const unsigned char* s = dib_row(picture, int32_t(y));
    unsigned char* d = dib_row(target, int32_t(top + y));
    for (int64_t x = x0; x < x1; ++x) {
      const unsigned char* p = s + x * 3;
      if (p[0] == 255 && p[1] == 255 && p[2] == 255) continue;  // the transparent colour
      float g = 1.0f;
      if (companion) {
        const uint8_t a = dib_row(companion, int32_t(y))[x];
        if (a == 0) continue;
        g = alpha_table[a];
      }
      dib_px_set(d + (left + x) * 3, dib_colour(p[2], p[1], p[0]), g);
    }
  }
  return 1;
}
