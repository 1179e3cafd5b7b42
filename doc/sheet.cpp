// Making, copying and freeing the parts of a sheet.
#include "doc/sheet.h"

#include <algorithm>
#include <cstring>

#include "base/alloc.h"

int32_t checkerboard_side(int32_t width, int32_t height) {
  return std::max<int32_t>(16, std::min(width, height) / 40);
}

dib_block* checkerboard_make(int32_t width, int32_t height) {
  dib_block* b = dib_create(height, 1, width, 0xFFFFFF);
  if (!b) return nullptr;
  const int32_t side = checkerboard_side(width, height);
  const std::size_t row_bytes = std::size_t(width) * 3;
  // Grey where the row band and column band have equal parity: two row
  // patterns, each drawn once and copied down its bands.
  for (int parity = 0; parity < 2; ++parity) {
    const int32_t first = parity * side;
    if (first >= height) break;
    unsigned char* row = dib_row(b, first);
    for (int32_t x = 0; x < width; ++x)
      if ((x / side) % 2 == parity) std::memset(row + std::size_t(x) * 3, 0xC0, 3);
    for (int32_t y = 0; y < height; ++y)
      if ((y / side) % 2 == parity && y != first) std::memcpy(dib_row(b, y), row, row_bytes);
  }
  return b;
}

sheet_background* background_new(int32_t width, int32_t height, int32_t reduced_width,
                                 int32_t reduced_height) {
  dib_block* image = dib_create(height, 1, width, 0xFFFFFF);
  sheet_background* b = background_adopt(width, height, image);
  if (!b) return nullptr;
  if (reduced_width && reduced_height) {
    b->reduced_width = reduced_width;
    b->reduced_height = reduced_height;
    b->reduced = dib_create(reduced_height, 1, reduced_width, 0xFFFFFF);
    if (b->reduced && b->image) dib_resample_into(b->reduced, b->image);
  }
  return b;
}

sheet_background* background_adopt(int32_t width, int32_t height, dib_block* image) {
  auto* b = static_cast<sheet_background*>(mem_calloc(sizeof(sheet_background)));
  if (!b) {
    dib_free(image);
    return nullptr;
  }
  b->width = width;
  b->height = height;
  b->image = image;
  b->checkerboard = checkerboard_make(width, height);
  b->shown = 1;
  return b;
}

sheet_background* background_clone(const sheet_background* b) {
  if (!b) return nullptr;
  auto* c = static_cast<sheet_background*>(mem_alloc(sizeof(sheet_background)));
  if (!c) return nullptr;
  *c = *b;
  c->image = b->image ? dib_clone(b->image) : nullptr;
  c->reduced = b->reduced ? dib_clone(b->reduced) : nullptr;
  c->checkerboard = b->checkerboard ? dib_clone(b->checkerboard) : nullptr;
  if ((b->image && !c->image) || (b->reduced && !c->reduced) ||
      (b->checkerboard && !c->checkerboard)) {
    background_free(c);
    return nullptr;
  }
  return c;
}

void background_free(sheet_background* b) {
  if (!b) return;
  dib_free(b->image);
  dib_free(b->reduced);
  dib_free(b->checkerboard);
  mem_free(b);
}

placed_picture* picture_clone(const placed_picture* p) {
  if (!p) return nullptr;
  auto* c = static_cast<placed_picture*>(mem_alloc(sizeof(placed_picture)));
  if (!c) return nullptr;
  *c = *p;
  c->next = nullptr;
  c->image = p->image ? dib_clone(p->image) : nullptr;
  c->mask = p->mask ? dib_clone(p->mask) : nullptr;
  if ((p->image && !c->image) || (p->mask && !c->mask)) {
    picture_free(c);
    return nullptr;
  }
  return c;
}

void picture_free(placed_picture* p) {
  if (!p) return;
  dib_free(p->image);
  dib_free(p->mask);
  mem_free(p);
}

void pictures_free(placed_picture* list) {
  while (list) {
    placed_picture* next = list->next;
    picture_free(list);
    list = next;
  }
}

int32_t pictures_count(const placed_picture* list) {
  int32_t n = 0;
  for (; list; list = list->next) ++n;
  return n;
}

doc_sheet* sheet_new(int32_t width, int32_t height) {
  auto* s = static_cast<doc_sheet*>(mem_calloc(sizeof(doc_sheet)));
  if (!s) return nullptr;
  s->surface = surface_new(height, width);
  if (s->surface)
    s->background =
        background_new(width, height, s->surface->reduced_width, s->surface->reduced_height);
  if (!s->surface || !s->background || !s->background->image || !s->background->checkerboard) {
    sheet_free(s);
    return nullptr;
  }
  return s;
}

doc_sheet* sheet_clone(const doc_sheet* s) {
  if (!s) return nullptr;
  auto* c = static_cast<doc_sheet*>(mem_calloc(sizeof(doc_sheet)));
  if (!c) return nullptr;
  bool ok = true;
  if (s->surface) ok = (c->surface = surface_clone(s->surface)) != nullptr;
  if (ok && s->background) ok = (c->background = background_clone(s->background)) != nullptr;
  placed_picture** tail = &c->pictures;
  for (const placed_picture* p = s->pictures; ok && p; p = p->next) {
    *tail = picture_clone(p);
    ok = *tail != nullptr;
    if (ok) tail = &(*tail)->next;
  }
  if (!ok) {
    sheet_free(c);
    return nullptr;
  }
  return c;
}

void sheet_free(doc_sheet* s) {
  if (!s) return;
  surface_free(s->surface);
  background_free(s->background);
  pictures_free(s->pictures);
  mem_free(s);
}

void sheets_free(doc_sheet* list) {
  while (list) {
    doc_sheet* next = list->next;
    sheet_free(list);
    list = next;
  }
}

doc_sheet* sheet_at(doc_sheet* list, int32_t index) {
  if (index < 0) return nullptr;
  for (; list && index > 0; --index) list = list->next;
  return list;
}

const doc_sheet* sheet_at(const doc_sheet* list, int32_t index) {
  return sheet_at(const_cast<doc_sheet*>(list), index);
}

int surface_copy_into(paint_surface* dst, const paint_surface* src) {
  if (!dst || !src || dst == src || dst->kind != src->kind || dst->width != src->width ||
      dst->height != src->height || dst->reduced_width != src->reduced_width ||
      dst->reduced_height != src->reduced_height || !dst->coverage != !src->coverage ||
      !dst->reduced != !src->reduced)
    return 0;
  // Checked first so that a mismatch leaves dst whole.
  if (dib_total_size(dst->colour) != dib_total_size(src->colour) ||
      (src->coverage && dib_total_size(dst->coverage) != dib_total_size(src->coverage)) ||
      (src->reduced && dib_total_size(dst->reduced) != dib_total_size(src->reduced)))
    return 0;
  if (!dib_copy_same(src->colour, dst->colour)) return 0;
  if (src->coverage && !dib_copy_same(src->coverage, dst->coverage)) return 0;
  if (src->reduced && !dib_copy_same(src->reduced, dst->reduced)) return 0;
  dst->step_x = src->step_x;
  dst->step_y = src->step_y;
  dst->changed = src->changed;
  return 1;
}
