// Document data: sheets, dirty-rectangle bookkeeping and drawing.
#include "doc/file_data.h"

#include <initializer_list>

#include "base/state_queue.h"
#include "doc/canvas.h"
#include "doc/zun_file.h"

int view_mode = 0;

int doc_size_allowed(int32_t width, int32_t height) {
  return width > 0 && height > 0 && width <= kDocMaxSide && height <= kDocMaxSide &&
         int64_t{width} * height <= kDocMaxPixels;
}

zun_file_data::~zun_file_data() { sheets_free(sheets); }

void zun_file_data::set_modified(uint32_t key) {
  if (!app_initialised() || !owner) return;
  owner->modified = 1;
  post_change(key);
}

int zun_file_data::doc_reset(int32_t w, int32_t h) {
  if (!owner) return 0;
  sheets_free(sheets);
  sheets = nullptr;
  sheet_count = 0;
  current_index = -1;
  dirty = dib_rect{0, 0, 0, 0};
  if (w <= 0 || h <= 0) {
    width = height = 0;
    return 1;
  }
  width = w;
  height = h;
  if (owner->canvas) owner->canvas->set_document_size(w, h);
  return 1;
}

doc_sheet* zun_file_data::current_sheet() {
  return usable() ? sheet_at(sheets, current_index) : nullptr;
}
paint_surface* zun_file_data::current_surface() {
  doc_sheet* s = current_sheet();
  return s ? s->surface : nullptr;
}
sheet_background* zun_file_data::current_background() {
  doc_sheet* s = current_sheet();
  return s ? s->background : nullptr;
}
placed_picture* zun_file_data::current_pictures() {
  doc_sheet* s = current_sheet();
  return s ? s->pictures : nullptr;
}

int zun_file_data::doc_add_sheet() {
  if (!owner || !doc_size_allowed(width, height)) return 0;
  doc_sheet* s = sheet_new(width, height);
  if (!s) return 0;
  doc_sheet** tail = &sheets;
  while (*tail) tail = &(*tail)->next;
  *tail = s;
  current_index = sheet_count++;
  doc_mark_dirty(nullptr, 1);
  if (app_initialised()) {
    owner->modified = 1;
    post_change(kStateDocument512);
    post_change(kStateModified);
  }
  return 1;
}

void zun_file_data::doc_mark_dirty(const dib_rect* rect, int modified) {
  if (!usable()) return;
  const dib_rect whole{0, 0, width, height};
  const dib_rect r = rect ? *rect : whole;
  if (dib_rect_empty(r)) return;
  if (modified) set_modified(kStateModified);
  redraw_pending = 1;
  const dib_rect clipped = dib_rect_intersect(r, whole);
  if (!dib_rect_empty(clipped)) dirty = dib_rect_union(dirty, clipped);
}

int zun_file_data::doc_clear_surface() {
  paint_surface* s = current_surface();
  if (!s) return 0;
  surface_clear(s, 0xFFFFFF);
  doc_mark_dirty(nullptr, 1);
  return 1;
}

int32_t zun_file_data::picture_count() {
  doc_sheet* s = current_sheet();
  return s ? pictures_count(s->pictures) : 0;
}

int zun_file_data::doc_remove_pictures() {
  doc_sheet* s = current_sheet();
  if (!s || !s->pictures) return 0;
  pictures_free(s->pictures);
  s->pictures = nullptr;
  doc_mark_dirty(nullptr, 1);
  return 1;
}

int zun_file_data::doc_toggle_background() {
  sheet_background* b = current_background();
  if (!b) return 0;
  b->shown = !b->shown;
  doc_mark_dirty(nullptr, 1);
  return 1;
}

int zun_file_data::doc_data_new(int32_t w, int32_t h) {
  if (!owner) return 0;
  if (w <= 0 || h <= 0) {
    w = owner->template_width;
    h = owner->template_height;
  }
  if (owner->max_width > 0 && w > owner->max_width) w = owner->max_width;
  if (owner->max_height > 0 && h > owner->max_height) h = owner->max_height;
  if (!doc_size_allowed(w, h)) {
    doc_reset(0, 0);
    return 0;
  }
  doc_reset(w, h);
  if (!doc_add_sheet()) return 0;
  current_index = 0;
  if (app_initialised()) {
    owner->modified = 0;
    for (uint32_t key : {kStateView4096, kStateView, kStateHistory, kStateDocument256,
                         kStateDocument512, kStateModified})
      post_change(key);
  }
  return 1;
}

int zun_file_data::doc_render_dirty(dib_block* target, dib_rect* drawn) {
  if (drawn) *drawn = dib_rect{0, 0, 0, 0};
  if (!usable() || !redraw_pending) return 0;
  const float pictures = view_mode == 1 ? 0.5f : 1.0f;
  if (!dib_rect_empty(dirty))
    for (const doc_sheet* s = sheets; s; s = s->next) sheet_draw(s, target, &dirty, pictures, 1.0f);
  if (drawn) *drawn = dirty;
  redraw_pending = 0;
  dirty = dib_rect{0, 0, 0, 0};
  return 1;
}

dib_block* zun_file_data::doc_render_all() const {
  if (width <= 0 || height <= 0) return nullptr;
  dib_block* b = dib_create(height, 1, width, 0xFFFFFF);
  if (!b) return nullptr;
  for (const doc_sheet* s = sheets; s; s = s->next) sheet_draw(s, b, nullptr, 1.0f, 1.0f);
  return b;
}

void zun_file_data::install_sheets(doc_sheet* list, int32_t current) {
  sheets_free(sheets);
  sheets = list;
  sheet_count = 0;
  for (doc_sheet* s = list; s; s = s->next) ++sheet_count;
  if (current >= sheet_count) current = sheet_count - 1;
  if (current < 0) current = sheet_count ? 0 : -1;
  current_index = current;
}
