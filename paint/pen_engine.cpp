#include "paint/pen_engine.h"

#include <cmath>
#include <cstdio>
#include <new>
#include <string>

#include "base/os.h"
#include "paint/mp_engine.h"
#include "paint/paint_state.h"
#include "paint/pen_resources.h"

void paper_name(int32_t paper, char* out, int size) {
  std::snprintf(out, size, "Gtex\\file\\tex%d.bmp", paper);
}

void stamp_name(int32_t set, int32_t step, char* out, int size) {
  std::snprintf(out, size, "Gtex\\cust\\%03d-%02d.bmp", set, step);
}

int count_stamp_files(int32_t set) {
  int count = 0;
  for (; count < kMaxStampFiles; ++count) {
    char name[64];
    std::string path;
    stamp_name(set, count, name, sizeof name);
    if (!pen_resolve(name, &path) || !os_file_exists(path.c_str())) break;
  }
  return count;
}

zun_pen_single_engine::~zun_pen_single_engine() { release(); }

uint32_t zun_pen_single_engine::now_ms() const { return clock ? clock() : os_milliseconds(); }

int zun_pen_single_engine::simulate_flag() const { return desc ? desc->simulate : 0; }

float zun_pen_single_engine::size_fraction() const {
  if (!desc) return 0;
  const float range = desc->size_max - desc->size_min;
  if (size <= desc->size_min || !(range > 0)) return 0;
  if (size >= desc->size_max) return 1;
  return (size - desc->size_min) / range;
}

void zun_pen_single_engine::release() {
  pattern_release(pattern);
  stamp_release(stamp);
  delete brush;
  brush = nullptr;
  dib_free(paper);
  paper = nullptr;
  index = -1;
  desc = nullptr;
  size = -1;
  stroke_has_pressure = 0;
  stroke_start_time = batch_time = 0;
}

int zun_pen_single_engine::load_paper() {
  if (paper || !desc || desc->paper == 0) return 1;
  char name[64];
  paper_name(desc->paper, name, sizeof name);
  paper = pen_read_grey(name);  // a missing paper is no error
  return 1;
}

int zun_pen_single_engine::select_pen(int32_t id, int eraser_flag) {
  if (desc && desc->id == id) {
    eraser = eraser_flag;
    // The tip does not depend on the flag; the blend does.
    pattern.params.eraser = eraser_flag;
    if (!eraser_flag) load_paper();  // selected as an eraser first, it had none
    return 1;
  }
  release();
  const int i = pen_index(id);
  if (i < 0) return 0;
  desc_copy = pen_catalogue()[i];
  desc = &desc_copy;
  if (!eraser_flag) load_paper();
  if (desc_copy.kind == kPenTexture) {
    const int count = count_stamp_files(desc_copy.set);
    if (count == 0) {
      release();
      return 0;
    }
    desc_copy.size_min = 0;
    desc_copy.size_max = float(count - 1);
  } else if (desc_copy.kind == kPenBrush) {
    std::string folder;
    brush = new (std::nothrow) mp_engine;
    if (!brush || !brush->create() || !pen_resolve(kBrushFolder, &folder) ||
        !brush->load_brush(desc_copy.brush_name, folder.c_str())) {
      release();
      return 0;
    }
  }
  index = i;
  eraser = eraser_flag;
  return 1;
}

int zun_pen_single_engine::set_size(float fraction) {
  if (!desc) return 0;
  if (std::isnan(fraction)) fraction = 0;
  float s = desc->size_min + (desc->size_max - desc->size_min) * fraction;
  // A size given in pixels comes back through a fraction: the slack keeps
  // 5 / 7 * 7 from truncating to 4.
  if (desc->kind == kPenPattern) s = std::trunc(s / 2 + 1e-4f) * 2;
  else if (desc->kind == kPenTexture) s = std::trunc(s + 1e-4f);
  if (s < desc->size_min) s = desc->size_min;
  if (s > desc->size_max) s = desc->size_max;
  if (desc->kind == kPenBrush) {
    size = s;
    return 1;
  }
  if (std::fabs(s - size) <= 0.01f) return 1;
  if (desc->kind == kPenPattern) {
    pattern_release(pattern);
    size = s;
    std::string folder;
    const char* where = pen_resolve(kPatternFolder, &folder) ? folder.c_str() : nullptr;
    const uint32_t seed = fixed_seed ? fixed_seed : now_ms();
    if (!pattern_load(pattern, desc->set, eraser, int32_t(s), where, seed)) {
      size = -1;
      return 0;
    }
    return 1;
  }
  stamp_release(stamp);
  size = s;
  char name[64];
  std::string path;
  stamp_name(desc->set, int32_t(s), name, sizeof name);
  if (!pen_resolve(name, &path) || !stamp_load_file(stamp, path.c_str())) {
    size = -1;
    return 0;
  }
  return 1;
}

int zun_pen_single_engine::set_size_pixels(float s) {
  if (!desc) return 0;
  const float range = desc->size_max - desc->size_min;
  float f = 0;
  if (s > desc->size_min && range > 0) f = (s - desc->size_min) / range;
  if (f > 1) f = 1;
  return set_size(f);
}

int zun_pen_single_engine::begin_stroke(int has_pressure, paint_surface* layer, int32_t x,
                                        int32_t y, float pressure) {
  if (!desc) return 0;
  if (has_pressure && pressure < 0.0001f) {
    // A pen that touches at (almost) no pressure: no real pressure reading.
    has_pressure = 0;
    pressure = 1;
  }
  stroke_has_pressure = has_pressure;
  const float p = stroke_pressure(*desc, pressure, has_pressure, 0);
  switch (desc->kind) {
    case kPenPattern:
      return pattern_begin(pattern, layer, x, y, p);
    case kPenTexture:
      return stamp_begin(stamp, layer, x, y, p);
    default:
      if (!brush) return 0;
      stroke_start_time = batch_time = now_ms();
      return brush->begin(float(x), float(y), p);
  }
}

int zun_pen_single_engine::stroke_segment(paint_surface* layer, int32_t x, int32_t y,
                                          uint32_t colour, float opacity, float pressure,
                                          int has_pressure, int packet_index, int packet_count,
                                          const surface_rgn* mask, dib_rect* dirty_rect) {
  dib_rect none{0, 0, 0, 0};
  if (!dirty_rect) dirty_rect = &none;
  *dirty_rect = none;
  if (!desc || (has_pressure != 0) != (stroke_has_pressure != 0)) return 0;
  const float p = stroke_pressure(*desc, pressure, has_pressure, 1);
  const float a = pen_opacity(*desc, opacity);
  const dib_block* texture = eraser ? nullptr : paper;
  colour = eraser ? 0xffffff : desc->uses_colour ? colour : 0;
  switch (desc->kind) {
    case kPenPattern:
      return pattern_segment(pattern, layer, x, y, colour, a, p, texture, mask, dirty_rect);
    case kPenTexture:
      return stamp_segment(stamp, layer, x, y, colour, a, p, mask, dirty_rect);
    default: {
      if (!brush || !brush->stroke_open()) return 0;
      if (packet_index == 0) batch_time = now_ms();
      brush->set_paint(colour, a, size, texture, desc->brush_flag);
      brush->set_eraser(eraser);
      const double dtime = uint32_t(batch_time - stroke_start_time) / 1000.0;  // wraps safely
      const int r = brush->step(layer, float(x), float(y), p, dtime, mask, dirty_rect);
      if (packet_index >= packet_count - 1) stroke_start_time = batch_time;
      return r;
    }
  }
}

void zun_pen_single_engine::end_stroke() {
  stroke_has_pressure = 0;
  if (!desc) return;
  if (desc->kind == kPenPattern) {
    pattern_end(pattern);
  } else if (desc->kind == kPenTexture) {
    stamp_end(stamp);
  } else {
    stroke_start_time = batch_time = 0;
    if (brush) brush->end();
  }
}

void zun_pen_single_engine::cancel_stroke() {
  if (!desc) return;
  if (desc->kind == kPenPattern) pattern_cancel(pattern);
  else if (desc->kind == kPenTexture) stamp_end(stamp);
}
