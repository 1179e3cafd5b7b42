// Drawing the floating selection into the desktop bitmap, and its handle pictures.
#include <cmath>
#include <cstdio>

#include "base/dib_line.h"
#include "doc/zun_file.h"
#include "image/image.h"
#include "paint/rgn_op.h"

namespace {
// Only the canvas area of the desktop shows the selection.
struct clip_area {
  dib_block* target;
  dib_rect r;
  unsigned char* at(int32_t x, int32_t y) const {
    if (x < r.left || y < r.top || x >= r.right || y >= r.bottom) return nullptr;
    return dib_pixel(target, x, y);
  }
};

void blend(unsigned char* d, const unsigned char* s, int a) {
  for (int k = 0; k < 3; ++k) d[k] = static_cast<unsigned char>((s[k] * a + d[k] * (255 - a) + 127) / 255);
}

void put(unsigned char* d, uint32_t c) {
  d[0] = dib_blue(c), d[1] = dib_green(c), d[2] = dib_red(c);
}

void draw_handle(const clip_area& c, const dib_rect& r, const dib_block* pic, const dib_block* mask,
                 int pressed) {
  const bool use_mask = pic && mask && dib_width(mask) == dib_width(pic) &&
                        dib_height(mask) == dib_height(pic);
  for (int32_t y = r.top; y < r.bottom; ++y) {
    for (int32_t x = r.left; x < r.right; ++x) {
      unsigned char* d = c.at(x, y);
      if (!d) continue;
      const int32_t i = x - r.left, j = y - r.top;
      if (pic) {
        const unsigned char* s = dib_pixel(pic, i, j);
        if (!s || dib_bits(pic) != 24) continue;
        if (use_mask) {
          const unsigned char* m = dib_pixel(mask, i, j);
          const int v = dib_bits(mask) == 8 ? m[0] : m[1];
          if (v < 128) continue;
        }
        put(d, dib_colour(s[2], s[1], s[0]));
      } else {
        // A plain square: dark frame, light face (darker while pressed).
        const bool edge = i == 0 || j == 0 || x == r.right - 1 || y == r.bottom - 1;
        put(d, edge ? 0x303030 : pressed ? 0xa0a0a0 : 0xf0f0f0);
      }
    }
  }
}
}  // namespace

int zun_rgn_op::draw(dib_block* desktop) const {
  if (!active || finished || !working_region || !lifted_colour || dib_bits(desktop) != 24) return 0;
  const zun_file_canvas* view = doc_ ? doc_->canvas : nullptr;
  if (!view) return 0;
  const dib_rect area{view->area_x, view->area_y, view->area_x + view->area_width,
                      view->area_y + view->area_height};
  const clip_area c{desktop, dib_rect_intersect(area, dib_rect{0, 0, dib_width(desktop), dib_height(desktop)})};
  const int32_t ax = view->area_x, ay = view->area_y;
  // While the move handle is dragged the pixels follow the pointer.
  int32_t mx = 0, my = 0;
  if (pressed_handle == kHandleMove && drag_start.x >= 0)
    mx = drag_current.x - drag_start.x, my = drag_current.y - drag_start.y;
  const rgn_record* r = working_region;
  for (int32_t j = 0; j < r->height; ++j) {
    for (int32_t i = 0; i < r->width; ++i) {
      if (!r->cells[int64_t{j} * r->width + i]) continue;
      const int32_t bx = r->x + i - box.left, by = r->y + j - box.top;
      const unsigned char* s = dib_pixel(lifted_colour, bx, by);
      const unsigned char* a = lifted_coverage ? dib_pixel(lifted_coverage, bx, by) : nullptr;
      unsigned char* d = c.at(ax + r->x + i + mx, ay + r->y + j + my);
      if (s && d) blend(d, s, a ? a[0] : 255);
    }
  }
  // The border as marching squares of black and white, four cells long.
  for (int32_t k = 0; k < r->border_count && r->border; ++k) {
    const rgn_cell& b = r->border[k];
    if (unsigned char* d = c.at(ax + b.x + mx, ay + b.y + my))
      put(d, ((b.x + b.y) / 4) % 2 ? 0xffffff : 0x000000);
  }
  // The box: dotted sides.
  const dib_rect wb{ax + box.left, ay + box.top, ax + box.right, ay + box.bottom};
  for (int32_t x = wb.left; x < wb.right; ++x) {
    if ((x / 2) % 2) continue;
    if (unsigned char* d = c.at(x, wb.top)) put(d, 0x404040);
    if (unsigned char* d = c.at(x, wb.bottom - 1)) put(d, 0x404040);
  }
  for (int32_t y = wb.top; y < wb.bottom; ++y) {
    if ((y / 2) % 2) continue;
    if (unsigned char* d = c.at(wb.left, y)) put(d, 0x404040);
    if (unsigned char* d = c.at(wb.right - 1, y)) put(d, 0x404040);
  }
  // Previews of the running scale and rotation drags.
  if (pressed_handle == kHandleScale && drag_start.x >= 0) {
    const int32_t dw = drag_current.x - drag_start.x, dh = drag_start.y - drag_current.y;
    const dib_rect p{wb.left - dw, wb.top - dh, wb.right + dw, wb.bottom + dh};
    if (!dib_rect_empty(p)) dib_rect_outline(desktop, dib_rect_intersect(p, c.r), 0x808080, 1.0f, 1);
  } else if (pressed_handle == kHandleRotate && drag_start.x >= 0) {
    dib_line(desktop, (wb.left + wb.right) / 2, (wb.top + wb.bottom) / 2, drag_current.x,
             drag_current.y, 0x808080, 1.0f, 1);
  }
  for (int k = 0; k < kHandleCount; ++k)
    draw_handle(c, handle_rect(k), pictures ? pictures->picture[k] : nullptr,
                pictures ? pictures->mask : nullptr, k == pressed_handle);
  return 1;
}

int rgn_handles_load(rgn_handle_pictures& h, rgn_resolver resolve) {
  rgn_handles_free(h);
  if (!resolve) return 0;
  char name[64], path[1024];
  int all = 1;
  for (int k = 0; k < kHandleCount; ++k) {
    std::snprintf(name, sizeof name, "Renum\\rgn\\op%d.jpg", k);
    h.picture[k] = resolve(name, path, sizeof path) ? image_load(path) : nullptr;
    all &= h.picture[k] != nullptr;
  }
  h.mask = resolve("Renum\\rgn\\opa.bmp", path, sizeof path) ? image_load(path) : nullptr;
  return all && h.mask;
}

void rgn_handles_free(rgn_handle_pictures& h) {
  for (dib_block*& p : h.picture) {
    dib_free(p);
    p = nullptr;
  }
  dib_free(h.mask);
  h.mask = nullptr;
}
