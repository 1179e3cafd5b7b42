#include "tests/macro/live_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "paint/paint_state.h"
#include "paint/pen_catalogue.h"
#include "paint/pen_resources.h"

uint32_t g_test_now = kTestClockStart;
uint32_t test_clock() { return g_test_now; }

std::string use_install_tree() {
  const char* tree = std::getenv("QM_TREE");
  if (!tree || !*tree) return std::string();
  pen_set_resolver(nullptr);
  pen_set_root(tree);
  return tree;
}

void session_tablet::press(int32_t, int32_t) {
  has_ = press_pressure > 0;
  pressure_ = has_ ? press_pressure : 1.0f;
  batch_.clear();
}

void session_tablet::move(int32_t, int32_t) {
  batch_ = next_batch;
  next_batch.clear();
  has_ = !batch_.empty();
  pressure_ = has_ ? batch_.back().pressure : 1.0f;
}

void session_tablet::release(int32_t, int32_t) {
  has_ = 0, pressure_ = 1;
  batch_.clear();
}

namespace {
std::vector<canvas_point> line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int steps) {
  std::vector<canvas_point> v;
  for (int i = 0; i <= steps; ++i)
    v.push_back(canvas_point{x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps});
  return v;
}
std::vector<canvas_point> wave(int32_t x0, int32_t y0, int32_t x1, int32_t amp, int steps) {
  std::vector<canvas_point> v;
  for (int i = 0; i <= steps; ++i) {
    const int32_t x = x0 + (x1 - x0) * i / steps;
    v.push_back(canvas_point{x, y0 + ((i % 4) - 2) * amp / 2});
  }
  return v;
}
}  // namespace

std::vector<session_stroke> session_script() {
  return {
      // Pattern pen 4, largest, by mouse; then again with the tablet.
      {0, 4, 100, 0x000000ff, 1.0f, 0, 0, line(20, 20, 210, 40, 24)},
      {0, 4, 100, 0x00ff0000, 0.7f, 0.8f, 3, wave(20, 60, 210, 12, 30)},
      // Texture pen 20 (stamp files), tablet.
      {1, 20, 100, 0x00008000, 1.0f, 0.6f, 2, line(30, 150, 200, 90, 20)},
      // Brush pens: kabura by tablet, watercolour (with paper) by mouse.
      {2, 44, 100, 0x00404000, 1.0f, 0.9f, 4, wave(15, 110, 225, 16, 40)},
      {3, 48, 80, 0x000080ff, 0.8f, 0, 0, line(200, 15, 40, 165, 25)},
      // The eraser across everything.
      {4, 2, 70, 0, 1.0f, 0.7f, 2, line(120, 5, 120, 175, 20)},
      // Pattern pen 4 once more, after the others.
      {0, 4, 60, 0x00800080, 0.9f, 0, 0, line(10, 170, 230, 130, 22)},
  };
}

int paint_session(zun_file& doc, zun_macro_control& control,
                  const std::vector<session_stroke>& strokes) {
  session_tablet tablet;
  null_window window;
  ticking_recorder recorder(&control.macro);
  std::unique_ptr<zun_enum_pen_base> panels[kPenSlots];
  auto win = [&](const canvas_point& p) {
    const canvas_point s = doc.canvas->doc_to_screen(p.x, p.y);
    return canvas_point{s.x + doc.canvas->area_x, s.y + doc.canvas->area_y};
  };
  for (const session_stroke& s : strokes) {
    std::unique_ptr<zun_enum_pen_base>& panel = panels[s.slot];
    if (!panel) {
      if (s.slot == kEraserSlot) {
        pen_slots()[kEraserSlot].eraser_mode = s.pen_id == 11;
        panel = std::make_unique<zun_enum_pen_rub>(&doc, &tablet, &window);
      } else {
        pen_slots()[s.slot].pen_id = s.pen_id;
        panel = std::make_unique<zun_enum_pen_engine>(s.slot, &doc, &tablet, &window);
      }
      if (!panel->open()) return 0;
      panel->pen->fixed_seed = kTestSeed;
      panel->pen->clock = test_clock;
      panel->recorder = &recorder;
    }
    panel->set_slider(s.slider);
    set_paint_colour(s.colour);
    set_paint_opacity(s.opacity);
    tablet.press_pressure = s.pressure;
    const canvas_point first = win(s.points[0]);
    if (!panel->pen_down(first.x, first.y)) return 0;
    for (std::size_t i = 1; i < s.points.size(); ++i) {
      const canvas_point to = win(s.points[i]);
      if (s.pressure > 0) {
        // Packets between the previous point and this one, pressure varying.
        const canvas_point from = win(s.points[i - 1]);
        for (int k = 1; k <= s.batch; ++k) {
          const float p = s.pressure * (0.6f + 0.4f * float((i + k) % 5) / 4.0f);
          tablet.next_batch.push_back(session_packet{from.x + (to.x - from.x) * k / s.batch,
                                                     from.y + (to.y - from.y) * k / s.batch, p});
        }
      }
      panel->pen_move(to.x, to.y);
    }
    const canvas_point last = win(s.points.back());
    panel->pen_up(last.x, last.y);
  }
  return 1;
}

int64_t play_all(zun_macro_control& control) {
  control.home();
  g_test_now = kTestClockStart;
  if (!control.play()) return 0;
  int64_t ticks = 0;
  while (control.state == kMacroPlaying && ticks < 10 * int64_t(control.macro.count()) + 10) {
    control.timer_step(kMacroTimer);
    g_test_now += 10;
    ++ticks;
  }
  return ticks;
}

surface_diff compare_surfaces(const paint_surface* a, const paint_surface* b, int32_t dx,
                              int32_t dy) {
  surface_diff d;
  for (int32_t y = 0; y < a->height; ++y)
    for (int32_t x = 0; x < a->width; ++x) {
      unsigned char p[4], q[4] = {255, 255, 255, 0};
      surface_read_pixel(a, x, y, p);
      if (!surface_read_pixel(b, x + dx, y + dy, q)) ++d.pixels;
      int delta = 0;
      for (int c = 0; c < 4; ++c) delta = std::max(delta, std::abs(p[c] - q[c]));
      if (delta) ++d.pixels;
      d.max_delta = std::max(d.max_delta, delta);
    }
  return d;
}

int64_t covered_pixels(const paint_surface* s) {
  int64_t n = 0;
  for (int32_t y = 0; y < s->height; ++y)
    for (int32_t x = 0; x < s->width; ++x) {
      unsigned char p[4];
      if (surface_read_pixel(s, x, y, p) && p[3]) ++n;
    }
  return n;
}
