#pragma once
// A scripted painting session through the pen tools' stroke pipeline while
// the macro panel records, on a clock that advances 10 ms per recorded
// event: the clock a playback sees, one record per 10 ms tick.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/surface.h"
#include "doc/zun_file.h"
#include "macro/control.h"
#include "macro/pen_recorder.h"
#include "paint/pen_panel.h"

// The shared test clock (milliseconds).
extern uint32_t g_test_now;
uint32_t test_clock();
inline constexpr uint32_t kTestClockStart = 1000;
inline constexpr uint32_t kTestSeed = 1;

// Points the pens at the installation tree (env QM_TREE); "" when unset.
std::string use_install_tree();

struct session_packet {
  int32_t x, y;
  float pressure;
};

class session_tablet : public pen_tablet {
 public:
  void press(int32_t, int32_t) override;
  void press_simulated(zun_pen_engine&) override {}
  void move(int32_t, int32_t) override;
  void release(int32_t, int32_t) override;
  int has_pressure() const override { return has_; }
  float pressure() const override { return pressure_; }
  int eraser_end() const override { return 0; }
  int packets() const override { return int(batch_.size()); }
  int32_t packet_x(int i) const override { return batch_[i].x; }
  int32_t packet_y(int i) const override { return batch_[i].y; }
  float packet_pressure(int i) const override { return batch_[i].pressure; }

  float press_pressure = 0;                // 0: a mouse
  std::vector<session_packet> next_batch;  // window coordinates

 private:
  int has_ = 0;
  float pressure_ = 1;
  std::vector<session_packet> batch_;
};

class null_window : public pen_window {
 public:
  void invalidate(const dib_rect&) override {}
};

// The adapter, and the clock stepping once per event the macro kept.
class ticking_recorder : public macro_pen_recorder {
 public:
  using macro_pen_recorder::macro_pen_recorder;
  void record(const pen_macro_event& e) override {
    macro_pen_recorder::record(e);
    g_test_now += 10;
  }
};

// One stroke of the script: the panel (slot 0-3, or 4 the eraser), its pen
// and size, the colour and opacity, and the points in document pixels;
// pressure 0 strokes are mouse strokes, else tablet strokes with batches of
// `batch` packets per move.
struct session_stroke {
  int slot;
  int32_t pen_id;
  int slider;  // 0..100
  uint32_t colour;
  float opacity;
  float pressure;
  int batch;
  std::vector<canvas_point> points;
};

// The scripted session: pattern, texture and brush pens, the eraser and a
// pattern pen again. Strokes stay inside a 240 x 180 canvas.
std::vector<session_stroke> session_script();

// Paints the strokes into doc through the pen panels while control records.
// 0 when a panel could not be opened or a pen-down was refused.
int paint_session(zun_file& doc, zun_macro_control& control,
                  const std::vector<session_stroke>& strokes);

// Plays control's macro from its first record into its stage, one timer
// tick per record on the test clock; the ticks it took.
int64_t play_all(zun_macro_control& control);

// Pixels whose colour or coverage differ, and the largest channel difference.
struct surface_diff {
  int64_t pixels = 0;
  int max_delta = 0;
};
surface_diff compare_surfaces(const paint_surface* a, const paint_surface* b, int32_t dx = 0,
                              int32_t dy = 0);
// Pixels with nonzero coverage.
int64_t covered_pixels(const paint_surface* s);
