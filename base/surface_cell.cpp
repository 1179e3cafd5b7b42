// The cell painter and the region-limited copies and fills.
#include <algorithm>
#include <cmath>

#include "base/dib_pixel.h"
#include "base/surface.h"

namespace {
float weight(float d) {
  d = std::fabs(d);
  return d <= 1.4142137f ? 1.0f - d * 0.70711f : 0.0f;
}

struct cell_painter {
  paint_surface* s;
  uint32_t colour;
  float g;
  const surface_rgn* rgn;

  void paint(int32_t x, int32_t y, float opacity) const {
    if (opacity > 0.0f)
      surface_blend_pixel(s, x, y, dib_red(colour), dib_green(colour), dib_blue(colour), opacity);
  }
  // A neighbour that the region paints itself gets only a fifth of a
  // translucent stroke, so the overlap does not darken the edge.
  float h(int32_t x, int32_t y) const {
    return rgn && surface_rgn_cell(rgn, x, y) && !dib_opacity_is_one(g) ? g * 0.2f : g;
  }
  void neighbour(int32_t x, int32_t y, float w) const { paint(x, y, w * h(x, y)); }
};

float unit(int byte) { return std::clamp(byte / 128.0f - 1.0f, -1.0f, 1.0f); }
}  // namespace

int surface_paint_cell(paint_surface* s, int32_t x, int32_t y, int32_t code, uint32_t colour,
                       float opacity, const surface_rgn* rgn) {
  if (!s || code == 0) return 0;
  const cell_painter p{s, colour, dib_opacity(opacity), rgn};
  if (code == kCellInterior) {
    p.paint(x, y, p.g);
    return 1;
  }
  const uint32_t c = static_cast<uint32_t>(code);
  const int kind = (c >> 24) & 15, b0 = c & 255, b1 = (c >> 8) & 255;
  const float v = unit(b0), u = unit(b1);
  const int32_t dx = static_cast<int32_t>((c >> 20) & 15) - 1;
  const int32_t dy = static_cast<int32_t>((c >> 16) & 15) - 1;
  switch (kind) {
    case 1:
      p.paint(x, y, p.g * std::clamp(b0 / 255.0f, 0.0f, 1.0f));
      break;
    case 2:
      p.paint(x, y, p.g);
      if (std::fabs(v) > 0.01f) {
        const float sv = dx > 0 ? v : -v;
        p.neighbour(x, y + dy, weight(u - sv));
        p.neighbour(x, y - dy, weight(u + sv));
      }
      break;
    case 3:
      p.paint(x, y, p.g);
      if (std::fabs(v) > 0.01f) {
        const float sv = dy > 0 ? v : -v;
        p.neighbour(x + dx, y, weight(u - sv));
        p.neighbour(x - dx, y, weight(u + sv));
      }
      break;
    case 0: {
      // The edge normal splits the pixel bilinearly: the pixel keeps
      // (1 - |nx|)(1 - |ny|) and the right, lower and lower-right neighbours
      // take |nx|(1 - |ny|), (1 - |nx|)|ny| and |nx||ny|: the four sum to one.
      p.paint(x, y, p.g);
      const float ax = std::fabs(v), ay = std::fabs(u);
      if (std::fabs((1.0f - ax) * (1.0f - ay) - 1.0f) <= 0.01f) break;
      p.neighbour(x + 1, y, ax * (1.0f - ay));
      p.neighbour(x, y + 1, (1.0f - ax) * ay);
      p.neighbour(x + 1, y + 1, ax * ay);
      break;
    }
    default:
      p.paint(x, y, p.g);
      break;
  }
  return 1;
}

int32_t surface_rgn_cell(const surface_rgn* rgn, int32_t x, int32_t y) {
  if (!rgn || !rgn->cells) return 0;
  const int64_t cx = int64_t{x} - rgn->x, cy = int64_t{y} - rgn->y;
  if (cx < 0 || cy < 0 || cx >= rgn->width || cy >= rgn->height) return 0;
  return rgn->cells[cy * rgn->width + cx];
}

int surface_rgn_inside(const surface_rgn* rgn, int32_t x, int32_t y) {
  return !rgn || surface_rgn_cell(rgn, x, y) != 0;
}

int surface_rgn_is_whole(const surface_rgn* rgn, const paint_surface* s) {
  if (!rgn) return 1;
  return s && rgn->kind == 2 && rgn->x <= 0 && rgn->y <= 0 &&
         int64_t{rgn->x} + rgn->width >= s->width && int64_t{rgn->y} + rgn->height >= s->height;
}

int surface_copy_region(const paint_surface* src, const surface_rgn* rgn, paint_surface* dst,
                        int32_t dx, int32_t dy) {
  if (!src || !dst || src == dst) return 0;
  if (surface_rgn_is_whole(rgn, src)) rgn = nullptr;
  // A colour-only surface tracks no changed area: all of it counts.
  const dib_rect area =
      src->kind ? surface_changed_area(src, 0) : dib_rect{0, 0, src->width, src->height};
  unsigned char p[4];
  for (int32_t y = area.top; y < area.bottom; ++y) {
    for (int32_t x = area.left; x < area.right; ++x) {
      if (!surface_rgn_inside(rgn, x, y) || !surface_read_pixel(src, x, y, p) || p[3] == 0)
        continue;
      surface_blend_pixel(dst, x + dx, y + dy, p[2], p[1], p[0], alpha_table[p[3]]);
    }
  }
  return 1;
}

int surface_fill_region(paint_surface* s, const surface_rgn* rgn, int red, int green, int blue) {
  if (!s) return 0;
  const uint32_t colour = dib_colour(red, green, blue);
  if (surface_rgn_is_whole(rgn, s)) return surface_clear(s, colour);
  if (!rgn->cells || rgn->width <= 0 || rgn->height <= 0) return 0;
  for (int32_t j = 0; j < rgn->height; ++j) {
    for (int32_t i = 0; i < rgn->width; ++i) {
      const int32_t code = rgn->cells[int64_t{j} * rgn->width + i];
      if (!code) continue;
      const int32_t x = rgn->x + i, y = rgn->y + j;
      if (!s->kind) {
        surface_paint_cell(s, x, y, code, colour, 1.0f, rgn);
        continue;
      }
      surface_erase_pixel(s, x, y, colour);
      if (code == kCellInterior) continue;
      const uint32_t c = static_cast<uint32_t>(code);
      const int kind = (c >> 24) & 15;
      const int32_t dx = static_cast<int32_t>((c >> 20) & 15) - 1;
      const int32_t dy = static_cast<int32_t>((c >> 16) & 15) - 1;
      if (kind == 2) {
        surface_erase_pixel(s, x, y + dy, colour);
        surface_erase_pixel(s, x, y - dy, colour);
      } else if (kind == 3) {
        surface_erase_pixel(s, x + dx, y, colour);
        surface_erase_pixel(s, x - dx, y, colour);
      }
    }
  }
  return 1;
}
