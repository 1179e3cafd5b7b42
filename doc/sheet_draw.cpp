// Drawing one sheet into a target bitmap: background, pictures, surface.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "base/dib_pixel.h"
#include "doc/sheet.h"

namespace {
dib_rect whole_of(const dib_block* b) { return dib_rect{0, 0, dib_width(b), dib_height(b)}; }

// Copies the area r of a 24-bit block to the same place in the target.
void copy_area(dib_block* target, const dib_block* src, dib_rect r) {
  r = dib_rect_intersect(r, whole_of(src));
  if (dib_bits(src) != 24 || dib_rect_empty(r)) return;
  const std::size_t n = std::size_t(r.right - r.left) * 3;
  for (int32_t y = r.top; y < r.bottom; ++y)
    std::memcpy(dib_pixel(target, r.left, y), dib_pixel(src, r.left, y), n);
}

void draw_background(const sheet_background* b, dib_block* target, const dib_rect& clip) {
  const dib_rect r = dib_rect_intersect(clip, dib_rect{0, 0, b->width, b->height});
  if (dib_rect_empty(r)) return;
  if (!b->shown) {
    if (b->checkerboard) copy_area(target, b->checkerboard, r);
  } else if (b->image) {
    copy_area(target, b->image, r);
  } else {
    dib_fill(target, 0xFFFFFF, &r);
  }
}

// The image through its mask at opacity g; a = trunc(g * mask), 255 copies
// (as the surface draws its coverage).
void draw_picture(const placed_picture* p, dib_block* target, const dib_rect& clip, float g) {
  if (dib_bits(p->image) != 24 || dib_bits(p->mask) != 8) return;
  const int64_t right = int64_t{p->x} + p->width, bottom = int64_t{p->y} + p->height;
  if (p->width <= 0 || p->height <= 0 || right > INT32_MAX || bottom > INT32_MAX) return;
  dib_rect r = dib_rect_intersect(dib_rect{p->x, p->y, int32_t(right), int32_t(bottom)}, clip);
  // Source pixels must exist in both blocks, whatever the record says.
  const int32_t src_w = std::min(dib_width(p->image), dib_width(p->mask));
  const int32_t src_h = std::min(dib_height(p->image), dib_height(p->mask));
  r = dib_rect_intersect(
      r, dib_rect{p->x, p->y, p->x + std::min(src_w, p->width), p->y + std::min(src_h, p->height)});
  if (dib_rect_empty(r)) return;
  g = dib_opacity(g);
  uint8_t a_of[256];
  for (int c = 0; c < 256; ++c) a_of[c] = static_cast<uint8_t>(g * c);
  for (int32_t y = r.top; y < r.bottom; ++y) {
    unsigned char* q = dib_pixel(target, r.left, y);
    const unsigned char* s = dib_pixel(p->image, r.left - p->x, y - p->y);
    const unsigned char* m = dib_pixel(p->mask, r.left - p->x, y - p->y);
    for (int32_t i = 0, n = r.right - r.left; i < n; ++i, q += 3, s += 3) {
      const int a = a_of[m[i]];
      if (a == 255) {
        q[0] = s[0], q[1] = s[1], q[2] = s[2];
      } else if (a) {
        q[0] = dib_blend256(q[0], s[0], a);
        q[1] = dib_blend256(q[1], s[1], a);
        q[2] = dib_blend256(q[2], s[2], a);
      }
    }
  }
}
}  // namespace

void sheet_draw(const doc_sheet* s, dib_block* target, const dib_rect* clip, float pictures_opacity,
                float surface_opacity) {
  if (!s || dib_bits(target) != 24) return;
  const dib_rect c = dib_rect_intersect(clip ? *clip : whole_of(target), whole_of(target));
  if (dib_rect_empty(c)) return;
  if (s->background) draw_background(s->background, target, c);
  if (std::fabs(pictures_opacity) > 0.01f)
    for (const placed_picture* p = s->pictures; p; p = p->next)
      draw_picture(p, target, c, p->opacity * pictures_opacity);
  if (s->surface && std::fabs(surface_opacity) > 0.01f)
    surface_draw_to(s->surface, target, &c, surface_opacity);
}
