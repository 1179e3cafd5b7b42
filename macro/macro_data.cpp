#include "macro/macro_data.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "doc/zun_file.h"

zun_macro_data::~zun_macro_data() {
  drop_player();
  delete records;
}

int zun_macro_data::init() {
  if (!records) {
    records = new (std::nothrow) zun_macro_rec(kMacroGrowStep);
    if (!records) return 0;
  }
  if (!records->items && !records->reserve(kMacroGrowStep)) return 0;
  path[0] = '\0';
  position = 0;
  drop_player();
  initialised = 1;
  return 1;
}

void zun_macro_data::drop_player() {
  delete player;
  player = nullptr;
  player_kind = 0;
}

void zun_macro_data::clear() {
  drop_player();
  if (records) records->reset();
  path[0] = '\0';
  position = 0;
}

void zun_macro_data::seek(int32_t index) {
  const int32_t n = count();
  if (n == 0) {
    position = 0;
    return;
  }
  position = std::clamp(index, 0, n - 1);
  drop_player();
}

void zun_macro_data::truncate_at_position() {
  if (count() == 0) return;
  const int32_t p = std::max(position, 0);
  if (p < records->count) {
    // Discarded records go back to zero: the list's buffers stay zero-filled.
    std::memset(&records->items[p], 0, std::size_t(records->count - p) * sizeof(macro_record));
    records->count = p;
  }
  seek(p - 1);
  drop_player();
}

macro_header zun_macro_data::current_header(uint32_t colour, float opacity) const {
  macro_header h;
  if (document) {
    h.canvas_width = int16_t(std::clamp<int32_t>(document->width(), 0, INT16_MAX));
    h.canvas_height = int16_t(std::clamp<int32_t>(document->height(), 0, INT16_MAX));
  }
  h.colour = colour;
  h.back_colour = back_colour;
  h.opacity = opacity;
  return h;
}

namespace {
void put_header(macro_record& r, const macro_header& h) {
  r.canvas_width = h.canvas_width;
  r.canvas_height = h.canvas_height;
  r.colour = h.colour;
  r.back_colour = h.back_colour;
  r.opacity = h.opacity;
}
}  // namespace

// A move to the point of the previous move replaces that record.
macro_record* zun_macro_data::find_mergeable(uint8_t kind, uint8_t phase, int32_t x, int32_t y,
                                             const macro_header& h) {
  if (!recording() || phase != kMacroMove || position <= 0 || position >= count()) return nullptr;
  macro_record& r = records->items[position];
  if (r.record_kind != kind || r.phase != kMacroMove || r.x != x || r.y != y) return nullptr;
  put_header(r, h);
  return &r;
}

macro_record* zun_macro_data::append_record(uint8_t kind, uint8_t phase, const macro_header& h) {
  if (!recording() || !records || !records->reserve(1)) return nullptr;
  macro_record& r = records->items[records->count];
  std::memset(&r, 0, sizeof r);
  r.record_kind = kind;
  r.phase = phase;
  put_header(r, h);
  ++records->count;
  return &r;
}

int zun_macro_data::record_event(uint8_t kind, const macro_event& e) {
  if (!recording() || e.phase < kMacroDown || e.phase > kMacroUp) return 0;
  const bool rub = kind == kMacroKindRub;
  const macro_header h = current_header(rub ? kMacroEraserColour : e.colour, e.opacity);
  // Up records carry no point; down records are never part of a batch.
  const bool up = e.phase == kMacroUp;
  const int32_t x = up ? 0 : e.x, y = up ? 0 : e.y;
  macro_record* r = find_mergeable(kind, e.phase, x, y, h);
  const bool appended = r == nullptr;
  if (appended && !(r = append_record(kind, e.phase, h))) return 0;
  r->x = x;
  r->y = y;
  r->pen.pressure = up ? 1.0f : e.pressure;
  r->pen.has_pressure = up ? 0 : e.has_pressure;
  r->pen.point_index = e.phase == kMacroMove ? e.point_index : 0;
  r->pen.point_count = e.phase == kMacroMove ? e.point_count : 0;
  r->pen.pen_id = e.pen_id;
  r->pen.erase = rub ? 1 : e.erase;
  r->pen.pen_size = e.pen_size;
  if (rub) r->colour = kMacroEraserColour;
  if (appended) seek(count() - 1);
  return 1;
}

int zun_macro_data::record_pen_event(const macro_event& e) { return record_event(kMacroKindPen, e); }
int zun_macro_data::record_rub_event(const macro_event& e) { return record_event(kMacroKindRub, e); }
