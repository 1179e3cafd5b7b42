// Regions against layers and the view.
#include "paint/rgn_layer.h"

#include <cmath>
#include <cstring>

#include "base/alloc.h"
#include "doc/canvas.h"
#include "paint/rgn_border.h"
#include "paint/rgn_ops.h"

namespace {
void touched(paint_surface* s, int32_t x, int32_t y) {
  surface_note_pixel(s, x, y);
  surface_update_reduced(s, x, y);
}

bool straight(const zun_file_canvas& v) { return v.angle == 0 && v.scale_step == 1; }

// Document pixels per screen pixel.
double doc_per_screen(const zun_file_canvas& v) {
  return v.scale_step >= 1 ? 1.0 / v.scale_step : double(-v.scale_step);
}

using map_fn = canvas_point (zun_file_canvas::*)(double, double) const;

// Grid resampling: each target cell looks up the source cell under it.
rgn_record* map_cells(const rgn_record* src, const zun_file_canvas& view, int to_doc) {
  const dib_rect box = rgn_box(src);
  const dib_rect t = to_doc ? view.screen_rect_to_doc(box) : view.doc_rect_to_screen(box);
  const map_fn back = to_doc ? &zun_file_canvas::doc_to_screen : &zun_file_canvas::screen_to_doc;
  rgn_record* out = rgn_make_cells(t.left, t.top, t.right - t.left, t.bottom - t.top);
  if (!out) return nullptr;
  for (int32_t y = t.top; y < t.bottom; ++y) {
    for (int32_t x = t.left; x < t.right; ++x) {
      const canvas_point p = (view.*back)(x, y);
      if (rgn_cell_at(src, p.x, p.y))
        out->cells[int64_t{y - t.top} * out->width + (x - t.left)] = 1;
    }
  }
  if (!rgn_classify(out)) {
    rgn_free(out);
    return nullptr;
  }
  return out;
}

rgn_record* map_region(const rgn_record* src, const zun_file_canvas& view, int to_doc) {
  if (!src || !src->cells) return nullptr;
  if (straight(view)) {
    rgn_record* r = rgn_copy(src);
    const int32_t sign = to_doc ? -1 : 1;
    if (r) rgn_translate(r, sign * view.offset_x, sign * view.offset_y);
    return r;
  }
  const map_fn fwd = to_doc ? &zun_file_canvas::screen_to_doc : &zun_file_canvas::doc_to_screen;
  const bool outline = src->kind == kRgnPolygon || src->kind == kRgnPoints || src->kind == kRgnCurve;
  const bool centred = src->kind >= kRgnEllipse && src->kind <= kRgnRoundRect && view.angle == 0;
  if (outline || centred) {
    rgn_record* r = rgn_copy(src);
    if (!r) return nullptr;
    for (int32_t k = 0; outline && k < r->point_count; ++k) {
      const canvas_point p = (view.*fwd)(r->points[k].x, r->points[k].y);
      r->points[k] = rgn_point{p.x, p.y};
    }
    if (centred) {
      const canvas_point c = (view.*fwd)(r->centre_x, r->centre_y);
      const double k = to_doc ? doc_per_screen(view) : 1.0 / doc_per_screen(view);
      auto scaled = [&](int32_t v) {
        return static_cast<int32_t>(std::fmin(std::floor(v * k + 0.5), kRgnMaxSide));
      };
      r->centre_x = c.x, r->centre_y = c.y;
      r->radius1 = scaled(r->radius1), r->radius2 = scaled(r->radius2);
      r->radius3 = scaled(r->radius3);
    }
    if (rgn_rebuild(r)) return r;
    rgn_free(r);
    return nullptr;
  }
  return map_cells(src, view, to_doc);
}
}  // namespace

int rgn_fill(paint_surface* layer, const rgn_record* r, uint32_t colour) {
  if (!layer || !r || !r->cells) return 0;
  const surface_rgn m = rgn_mask(r);
  return surface_fill_region(layer, &m, dib_red(colour), dib_green(colour), dib_blue(colour));
}

int rgn_paste(paint_surface* layer, const rgn_record* r, const dib_block* colour,
              const dib_block* coverage, int32_t x, int32_t y) {
  if (!layer || !r || !r->cells || dib_bits(colour) != 24) return 0;
  if (coverage && (dib_bits(coverage) != 8 || dib_width(coverage) != dib_width(colour) ||
                   dib_height(coverage) != dib_height(colour)))
    return 0;
  for (int32_t j = 0; j < r->height; ++j) {
    for (int32_t i = 0; i < r->width; ++i) {
      if (!r->cells[int64_t{j} * r->width + i]) continue;
      const int32_t px = r->x + i, py = r->y + j;
      const unsigned char* c = dib_pixel(colour, px - x, py - y);
      unsigned char* d = dib_pixel(layer->colour, px, py);
      if (!c || !d) continue;
      std::memcpy(d, c, 3);
      if (unsigned char* a = layer->coverage ? dib_pixel(layer->coverage, px, py) : nullptr)
        *a = coverage ? *dib_pixel(coverage, px - x, py - y) : 255;
      touched(layer, px, py);
    }
  }
  return 1;
}

int rgn_copy_pixels(const paint_surface* src, const rgn_record* r, paint_surface* dst, int32_t dx,
                    int32_t dy) {
  if (!src || !dst || !r || !r->cells || src == dst || src->width != dst->width ||
      src->height != dst->height || !src->coverage != !dst->coverage)
    return 0;
  for (int32_t j = 0; j < r->height; ++j) {
    for (int32_t i = 0; i < r->width; ++i) {
      if (!r->cells[int64_t{j} * r->width + i]) continue;
      const int32_t sx = r->x + i, sy = r->y + j;
      const int64_t tx = int64_t{sx} + dx, ty = int64_t{sy} + dy;
      if (tx < 0 || ty < 0 || tx >= dst->width || ty >= dst->height) continue;
      const unsigned char* c = dib_pixel(src->colour, sx, sy);
      if (!c) continue;
      const int32_t x = int32_t(tx), y = int32_t(ty);
      std::memcpy(dib_pixel(dst->colour, x, y), c, 3);
      if (src->coverage) *dib_pixel(dst->coverage, x, y) = *dib_pixel(src->coverage, sx, sy);
      touched(dst, x, y);
    }
  }
  return 1;
}

rgn_record* rgn_to_document(const rgn_record* screen, const zun_file_canvas& view) {
  return map_region(screen, view, 1);
}

rgn_record* rgn_to_screen(const rgn_record* doc, const zun_file_canvas& view) {
  return map_region(doc, view, 0);
}
