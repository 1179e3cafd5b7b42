#include "macro/pen_recorder.h"

macro_event macro_event_from_pen(const pen_macro_event& e) {
  macro_event m;
  // Kinds outside 1..3 stay out of range, and the macro refuses them.
  m.phase = e.kind >= kMacroDown && e.kind <= kMacroUp ? uint8_t(e.kind) : uint8_t(0);
  m.x = e.x, m.y = e.y;
  m.pressure = e.pressure;
  m.has_pressure = e.has_pressure;
  m.point_index = e.packet_index, m.point_count = e.packet_count;
  m.pen_id = e.pen_id;
  m.erase = e.eraser;
  m.pen_size = e.size;
  m.colour = e.colour;
  m.opacity = e.opacity;
  return m;
}

void macro_pen_recorder::record(const pen_macro_event& e) {
  if (!macro) return;
  const macro_event m = macro_event_from_pen(e);
  const int ok = e.eraser_record ? macro->record_rub_event(m) : macro->record_pen_event(m);
  if (ok) ++kept;
}
