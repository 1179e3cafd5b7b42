#include "macro/pen_players.h"

#include <cmath>
#include <new>

#include "doc/zun_file.h"
#include "macro/canvas_map.h"
#include "paint/pen_engine.h"

zun_macro_penengine::~zun_macro_penengine() { delete engine; }

int zun_macro_penengine::ensure_engine() {
  if (engine) return 1;
  engine = new (std::nothrow) zun_pen_single_engine;
  if (!engine) return 0;
  engine->fixed_seed = setup_.fixed_seed;
  engine->clock = setup_.clock;
  return 1;
}

int zun_macro_penengine::play_record(macro_stage& stage, const macro_record& r) {
  if (!ensure_engine()) return 0;
  zun_pen_single_engine& e = *engine;
  // Nothing is reloaded while the engine holds the pen; an unknown id leaves
  // it without one, and the record paints nothing.
  e.select_pen(r.pen.pen_id, rubber(r));
  if (!e.desc) return 0;
  const float size = r.pen.pen_size;
  e.set_size_pixels(std::isfinite(size) ? size : 0);
  // Brush pens keep their size unrounded: the way back through a fraction
  // may land one float step off the size the tool painted with.
  if (e.desc->kind == kPenBrush && size >= e.desc->size_min && size <= e.desc->size_max)
    e.size = size;
  zun_file* doc = stage.document;
  paint_surface* layer = doc && doc->active ? doc->surface() : nullptr;
  if (!layer) return 0;
  const canvas_point p = macro_play_point(r, doc);
  // A file may hold anything: pressure and opacity outside 0..1 (or not
  // numbers) are brought back into the range the tools record.
  const float pressure =
      std::isfinite(r.pen.pressure) ? std::fmin(std::fmax(r.pen.pressure, 0.0f), 1.0f) : 1.0f;
  const float opacity =
      std::isfinite(r.opacity) ? std::fmin(std::fmax(r.opacity, 0.0f), 1.0f) : 1.0f;
  switch (r.phase) {
    case kMacroDown:
      e.begin_stroke(r.pen.has_pressure, layer, p.x, p.y, pressure);
      return 0;
    case kMacroMove: {
      dib_rect changed{0, 0, 0, 0};
      if (!e.stroke_segment(layer, p.x, p.y, r.colour, opacity, pressure, r.pen.has_pressure,
                            r.pen.point_index, r.pen.point_count, nullptr, &changed))
        return 0;
      macro_show_change(stage, changed);
      return 1;
    }
    case kMacroUp:
      e.end_stroke();
      return 0;
  }
  return 0;
}
