// The brush pen's engine: brush text in, pen paint state to base values,
// stroke events to library stroke steps over mp_surface.
#include "paint/mp_engine.h"

#include <mypaint-brush.h>

#include <cmath>
#include <memory>
#include <new>

#include "base/dib_pixel.h"
#include "paint/mp_buf.h"

mp_engine::~mp_engine() = default;

int mp_engine::create() {
  if (ready_) return 1;
  if (!brush_.create()) return 0;
  // A new library brush asks for a reset at its first step, which would
  // swallow the first segment of the first stroke and undo begin(); take
  // it here, with no layer, so that nothing is drawn.
  surface_.layer = nullptr;
  mypaint_brush_stroke_to(brush_.handle(), &surface_.iface, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.01);
  ready_ = 1;
  return 1;
}

int mp_engine::load_brush(const char* brush_name, const char* folder) {
  if (!ready_) return 0;
  mp_buf text;
  if (!text.load(brush_name, folder)) return 0;
  return load_brush_text(text.data(), text.size());
}

int mp_engine::load_brush_text(const char* text, std::size_t length) {
  if (!ready_ || !text) return 0;
  std::unique_ptr<mp_setting[]> settings(new (std::nothrow) mp_setting[kMpSettingCount]);
  if (!settings) return 0;
  if (mp_parse_brush_text(text, length, settings.get()) == 0) return 0;
  return brush_.apply(settings.get());
}

void mp_engine::set_paint(uint32_t colour, float opacity, float size, const dib_block* paper,
                          int oil) {
  const float r = alpha_table[dib_red(colour)], g = alpha_table[dib_green(colour)],
              b = alpha_table[dib_blue(colour)];
  surface_.pen_r = r, surface_.pen_g = g, surface_.pen_b = b;
  const float mx = std::fmax(r, std::fmax(g, b)), mn = std::fmin(r, std::fmin(g, b));
  float h = 0.0f, s = 0.0f;
  const float delta = mx - mn;
  if (delta > 0.0001f) {
    s = delta / mx;
    if (mx == r)
      h = (g - b) / delta;
    else if (mx == g)
      h = 2.0f + (b - r) / delta;
    else
      h = 4.0f + (r - g) / delta;
    h /= 6.0f;
    if (h < 0.0f) h += 1.0f;
  }
  brush_.set_base(kMpColorH, h);
  brush_.set_base(kMpColorS, s);
  brush_.set_base(kMpColorV, mx);
  brush_.set_base(kMpOpaque, opacity < 0.0f ? 0.0f : (opacity > 1.0f ? 1.0f : opacity));
  brush_.set_base(kMpRadiusLogarithmic, std::log(size));
  surface_.paper = paper;
  surface_.oil = oil;
  surface_.colour_texture = nullptr;
}

void mp_engine::set_eraser(int eraser) { surface_.eraser = eraser ? 1 : 0; }

int mp_engine::begin(float x, float y, float pressure) {
  if (!ready_) return 0;
  stroke_open_ = 1;
  MyPaintBrush* b = brush_.handle();
  mypaint_brush_new_stroke(b);
  mypaint_brush_set_state(b, MYPAINT_BRUSH_STATE_X, x);
  mypaint_brush_set_state(b, MYPAINT_BRUSH_STATE_Y, y);
  mypaint_brush_set_state(b, MYPAINT_BRUSH_STATE_ACTUAL_X, x);
  mypaint_brush_set_state(b, MYPAINT_BRUSH_STATE_ACTUAL_Y, y);
  mypaint_brush_set_state(b, MYPAINT_BRUSH_STATE_PRESSURE, pressure);
  mypaint_brush_set_state(b, MYPAINT_BRUSH_STATE_STROKE, 1.0f);
  static const MyPaintBrushState motion[] = {
      MYPAINT_BRUSH_STATE_DIRECTION_DX,     MYPAINT_BRUSH_STATE_DIRECTION_DY,
      MYPAINT_BRUSH_STATE_NORM_DX_SLOW,     MYPAINT_BRUSH_STATE_NORM_DY_SLOW,
      MYPAINT_BRUSH_STATE_NORM_SPEED1_SLOW, MYPAINT_BRUSH_STATE_NORM_SPEED2_SLOW,
      MYPAINT_BRUSH_STATE_PARTIAL_DABS,     MYPAINT_BRUSH_STATE_STROKE_STARTED,
      MYPAINT_BRUSH_STATE_CUSTOM_INPUT};
  for (MyPaintBrushState st : motion) mypaint_brush_set_state(b, st, 0.0f);
  return 1;
}

int mp_engine::step(paint_surface* layer, float x, float y, float pressure, double dtime,
                    const surface_rgn* mask, dib_rect* changed) {
  if (changed) *changed = dib_rect{0, 0, 0, 0};
  if (!ready_ || !layer || !stroke_open_) return 0;
  surface_.layer = layer;
  surface_.mask = mask;
  surface_.changed = dib_rect{0, 0, 0, 0};
  mypaint_surface_begin_atomic(&surface_.iface);
  mypaint_brush_stroke_to(brush_.handle(), &surface_.iface, x, y, pressure, 0.0f, 0.0f, dtime);
  mypaint_surface_end_atomic(&surface_.iface, nullptr);
  // The layer and mask belong to the caller: hold them only while stepping.
  surface_.layer = nullptr;
  surface_.mask = nullptr;
  if (dib_rect_empty(surface_.changed)) return 0;
  if (changed) *changed = surface_.changed;
  return 1;
}

void mp_engine::end() { stroke_open_ = 0; }
