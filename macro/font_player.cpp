#include "macro/font_player.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/alloc.h"
#include "base/surface.h"
#include "doc/zun_file.h"
#include "macro/canvas_map.h"

namespace {
char g_default_face[64] = "Arial";
}  // namespace

void macro_set_default_face(const char* face) {
  if (!face || !*face) return;
  std::snprintf(g_default_face, sizeof g_default_face, "%s", face);
}
const char* macro_default_face() { return g_default_face; }

void macro_text_mask_free(macro_text_mask& m) {
  mem_free(m.alpha);
  m = macro_text_mask{};
}

int macro_text_blend(paint_surface* layer, const macro_text_mask& m, int32_t x, int32_t y,
                     uint32_t colour, float opacity, dib_rect* changed) {
  if (changed) *changed = dib_rect{0, 0, 0, 0};
  if (!layer || !m.alpha || m.width <= 0 || m.height <= 0) return 0;
  if (!std::isfinite(opacity)) opacity = 1;
  opacity = std::clamp(opacity, 0.0f, 1.0f);
  // Only the part of the mask over the layer (64-bit: x and y may be anywhere).
  const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(int64_t(x) + m.width, layer->width);
  const int64_t bottom = std::min<int64_t>(int64_t(y) + m.height, layer->height);
  const int red = colour & 0xff, green = (colour >> 8) & 0xff, blue = (colour >> 16) & 0xff;
  dib_rect r{0, 0, 0, 0};
  for (int64_t py = top; py < bottom; ++py) {
    const uint8_t* row = m.alpha + std::size_t(py - y) * std::size_t(m.width);
    for (int64_t px = left; px < right; ++px) {
      const uint8_t a = row[px - x];
      if (!a) continue;
      if (!surface_blend_pixel(layer, int32_t(px), int32_t(py), red, green, blue,
                               opacity * float(a) / 255.0f))
        continue;
      r = dib_rect_union(r, dib_rect{int32_t(px), int32_t(py), int32_t(px + 1), int32_t(py + 1)});
    }
  }
  if (changed) *changed = r;
  return !dib_rect_empty(r);
}

int zun_macro_font::play_record(macro_stage& stage, const macro_record& r) {
  zun_file* doc = stage.document;
  paint_surface* layer = doc && doc->active ? doc->surface() : nullptr;
  if (!layer) return 0;
  macro_text_mask mask;
  if (!macro_text_render(r, &mask)) return 0;
  const canvas_point p = macro_play_point(r, doc);
  dib_rect changed;
  const int painted = macro_text_blend(layer, mask, p.x, p.y, r.colour, r.opacity, &changed);
  macro_text_mask_free(mask);
  if (!painted) return 0;
  macro_show_change(stage, changed);
  return 1;
}
