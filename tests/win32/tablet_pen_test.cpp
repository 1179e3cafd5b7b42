// The pen panels' tablet layer (zun_pen_wacom) over the stand-in driver:
// packets become segments, the eraser end erases, pressure shapes the line,
// and pens that simulate get a pressure from the pointer when the tablet has none.
#include <memory>

#include "base/state_queue.h"
#include "paint/paint_state.h"
#include "paint/pen_panel.h"
#include "tests/doc/doc_test_util.h"
#include "tests/paint/pen_test_util.h"
#include "tests/win32/tablet_fixture.h"

namespace {

class null_window : public pen_window {
 public:
  void invalidate(const dib_rect&) override {}
};

struct fake_pen : zun_pen_engine {
  int simulate = 1;
  float size = 0.5f;
  int simulate_flag() const override { return simulate; }
  float size_fraction() const override { return size; }
};

uint32_t g_now = 1000;
uint32_t fake_clock() { return g_now; }

class TabletPen : public Tablet {
 protected:
  void SetUp() override {
    Tablet::SetUp();
    if (HasFatalFailure()) return;
    pen_picture_tree();
    pen_slots_restore_defaults();
    pen_slots()[0].pen_id = 10;  // tips chosen by pressure, no paper
    set_paint_colour(0x0000ff);
    set_paint_opacity(1.0f);
    doc = make_document(200, 150, 4, 1000, 800);
    ASSERT_EQ(attach(0, 0), 1);  // packets in client positions
    wacom = std::make_unique<zun_pen_wacom>(&record_, 1);
    wacom->clock = fake_clock;
    panel = std::make_unique<zun_enum_pen_engine>(0, doc.get(), wacom.get(), &window);
    ASSERT_EQ(panel->open(), 1);
  }
  void TearDown() override {
    panel.reset();
    wacom.reset();
    pen_slots_restore_defaults();
    Tablet::TearDown();
  }
  canvas_point win(int32_t x, int32_t y) {
    const canvas_point s = doc->canvas->doc_to_screen(x, y);
    return canvas_point{s.x + doc->canvas->area_x, s.y + doc->canvas->area_y};
  }
  void packet(int32_t x, int32_t y, float pressure, uint32_t cursor = 1) {
    const canvas_point w = win(x, y);
    stub_queue(log_, cursor, 1, w.x, w.y, static_cast<uint32_t>(pressure * 1000 + 0.5f));
  }
  int down(int32_t x, int32_t y) { return panel->pen_down(win(x, y).x, win(x, y).y); }
  int move(int32_t x, int32_t y) { return panel->pen_move(win(x, y).x, win(x, y).y); }
  int up(int32_t x, int32_t y) { return panel->pen_up(win(x, y).x, win(x, y).y); }
  // Painted pixels of a layer column.
  int column_width(int32_t x) {
    int n = 0;
    for (int32_t y = 0; y < 150; ++y) n += coverage_at(doc->surface(), x, y) > 0;
    return n;
  }

  Initialised initialised;
  std::unique_ptr<zun_file> doc;
  std::unique_ptr<zun_pen_wacom> wacom;
  null_window window;
  std::unique_ptr<zun_enum_pen_base> panel;
};

TEST_F(TabletPen, RisingPressureWidensTheLine) {
  packet(20, 75, 0.1f);
  ASSERT_EQ(down(20, 75), 1);
  EXPECT_EQ(wacom->has_pressure(), 1);
  EXPECT_NEAR(wacom->pressure(), 0.1f, 1e-6f);
  for (int32_t x = 24; x <= 180; x += 4) {
    packet(x - 2, 75, 0.1f + 0.9f * (x - 22) / 158.0f);
    packet(x, 75, 0.1f + 0.9f * (x - 20) / 160.0f);
    ASSERT_EQ(move(x, 75), 1);
    EXPECT_EQ(wacom->packets(), 2);
  }
  ASSERT_EQ(up(180, 75), 1);
  const int w40 = column_width(40), w100 = column_width(100), w160 = column_width(160);
  EXPECT_GT(w40, 0);
  EXPECT_LT(w40, w100);
  EXPECT_LT(w100, w160);
  EXPECT_GE(w160, 2 * w40) << w40 << " " << w100 << " " << w160;
}

TEST_F(TabletPen, TheEraserCursorMakesThePenErase) {
  packet(30, 60, 1.0f);
  ASSERT_EQ(down(30, 60), 1);
  EXPECT_EQ(panel->pen->eraser, 0);
  packet(100, 60, 1.0f);
  ASSERT_EQ(move(100, 60), 1);
  up(100, 60);
  ASSERT_GT(column_width(60), 0);

  packet(30, 60, 1.0f, 2);  // the eraser end of the stylus
  ASSERT_EQ(down(30, 60), 1);
  EXPECT_EQ(wacom->eraser_end(), 1);
  EXPECT_EQ(panel->pen->eraser, 1);
  packet(100, 60, 1.0f, 2);
  ASSERT_EQ(move(100, 60), 1);
  up(100, 60);
  EXPECT_EQ(column_width(60), 0);
}

TEST_F(TabletPen, PacketsBeyondTheMoveAndPositions) {
  packet(30, 60, 0.5f);
  ASSERT_EQ(down(30, 60), 1);
  for (int i = 0; i < 40; ++i) packet(31 + i, 60, 0.5f);
  ASSERT_EQ(move(70, 60), 1);
  ASSERT_EQ(wacom->packets(), 32);
  EXPECT_EQ(wacom->packet_x(31), win(62, 60).x);
  EXPECT_EQ(wacom->packet_x(32), win(70, 60).x) << "past the packets: the pointer";
  EXPECT_FLOAT_EQ(wacom->packet_pressure(0), 0.5f);
  up(70, 60);
  EXPECT_EQ(wacom->packets(), 0);
  EXPECT_EQ(wacom->has_pressure(), 0);
}

TEST_F(TabletPen, SimulatedPressureWhenTheTabletGivesNone) {
  fake_pen pen;
  zun_pen_wacom w(&record_, 1);
  w.clock = fake_clock;
  g_now = 1000;
  w.press(10, 10);
  EXPECT_EQ(w.has_pressure(), 0);
  EXPECT_FLOAT_EQ(w.pressure(), 1.0f);
  w.press_simulated(pen);
  EXPECT_EQ(w.has_pressure(), 1);
  EXPECT_FLOAT_EQ(w.pressure(), 0.5f);
  // Speeding up along a line thins the simulated line.
  int32_t x = 10;
  for (int32_t d = 12; d < 400; d *= 2) {
    g_now += 10, x += d;
    w.move(x, 10);
    EXPECT_EQ(w.has_pressure(), 1);
    EXPECT_EQ(w.packets(), 0);
  }
  EXPECT_LT(w.pressure(), 0.3f);

  // Real tablet pressure wins over the simulation.
  stub_queue(log_, 1, 1, x + 5, 10, 800);
  w.move(x + 5, 10);
  EXPECT_EQ(w.packets(), 1);
  EXPECT_FLOAT_EQ(w.packet_pressure(0), 0.8f);
  w.release(x + 5, 10);

  // A pen that does not simulate stays without pressure.
  pen.simulate = 0;
  w.press(10, 10);
  w.press_simulated(pen);
  w.move(40, 10);
  EXPECT_EQ(w.has_pressure(), 0);
  EXPECT_FLOAT_EQ(w.pressure(), 1.0f);
}

TEST_F(TabletPen, NoTabletAtOpeningReadsNothing) {
  zun_pen_wacom w(&record_, 0);
  stub_queue(log_, 1, 1, 5, 5, 500);
  w.press(5, 5);
  w.move(6, 6);
  EXPECT_EQ(log_->read, 0);
  EXPECT_EQ(w.has_pressure(), 0);
  EXPECT_EQ(w.packets(), 0);
}

}  // namespace
