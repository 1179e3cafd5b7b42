#include "macro/canvas_map.h"

#include "doc/zun_file.h"
#include "macro/player.h"

canvas_point macro_play_point(const macro_record& r, int32_t width, int32_t height) {
  // 64-bit: hostile records may hold any x and y.
  const int64_t x = int64_t(r.x) + (int64_t(width) - r.canvas_width) / 2;
  const int64_t y = int64_t(r.y) + (int64_t(height) - r.canvas_height) / 2;
  auto clamp32 = [](int64_t v) {
    return int32_t(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  };
  return canvas_point{clamp32(x), clamp32(y)};
}

canvas_point macro_play_point(const macro_record& r, const zun_file* document) {
  return document ? macro_play_point(r, document->width(), document->height())
                  : macro_play_point(r, 0, 0);
}

int macro_show_change(macro_stage& stage, const dib_rect& doc_rect) {
  zun_file* doc = stage.document;
  if (!doc || !doc->active || !doc->data || dib_rect_empty(doc_rect)) return 0;
  doc->data->doc_mark_dirty(&doc_rect, 0);
  if (!stage.view || !doc->canvas || !doc->canvas->ready()) return 1;
  const zun_file_canvas& c = *doc->canvas;
  dib_rect w = c.doc_rect_to_screen(doc_rect);
  // A scaled or turned view rounds: grow a little so no edge pixel is missed.
  if (c.scale_step != 1 || c.angle != 0) {
    const int32_t grow = c.scale_step > 1 ? c.scale_step : 1;
    w = dib_rect{w.left - grow, w.top - grow, w.right + grow, w.bottom + grow};
  }
  stage.view->invalidate(
      dib_rect{w.left + c.area_x, w.top + c.area_y, w.right + c.area_x, w.bottom + c.area_y});
  return 1;
}
