// The pen panels' stroke pipeline over a real document and view: history,
// dirty areas, repaints, the modified flag, notifications and macro records.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/state_queue.h"
#include "paint/paint_state.h"
#include "paint/pen_panel.h"
#include "tests/doc/doc_test_util.h"
#include "tests/paint/pen_test_util.h"

namespace {

struct packet {
  int32_t x, y;
  float pressure;
};

class script_tablet : public pen_tablet {
 public:
  void press(int32_t, int32_t) override {
    has_ = press_pressure_ > 0, pressure_ = has_ ? press_pressure_ : 1.0f;
    batch_.clear();
  }
  void press_simulated(zun_pen_engine&) override {}
  void move(int32_t, int32_t) override {
    batch_ = next_batch;
    next_batch.clear();
    has_ = move_pressure > 0 || !batch_.empty();
    pressure_ = move_pressure > 0 ? move_pressure : 1.0f;
  }
  void release(int32_t, int32_t) override { has_ = 0, pressure_ = 1, batch_.clear(); }
  int has_pressure() const override { return has_; }
  float pressure() const override { return pressure_; }
  int eraser_end() const override { return eraser; }
  int packets() const override { return int(batch_.size()); }
  int32_t packet_x(int i) const override { return batch_[i].x; }
  int32_t packet_y(int i) const override { return batch_[i].y; }
  float packet_pressure(int i) const override { return batch_[i].pressure; }

  float press_pressure_ = 0;  // 0: a mouse
  float move_pressure = 0;
  int eraser = 0;
  std::vector<packet> next_batch;

 private:
  int has_ = 0;
  float pressure_ = 1;
  std::vector<packet> batch_;
};

class log_window : public pen_window {
 public:
  int covered(int32_t x, int32_t y) override { return x < cover_right; }
  void invalidate(const dib_rect& r) override { rects.push_back(r); }
  int32_t cover_right = -1;
  std::vector<dib_rect> rects;
};

class log_recorder : public pen_macro_recorder {
 public:
  void record(const pen_macro_event& e) override { events.push_back(e); }
  std::vector<pen_macro_event> events;
};

class Panel : public ::testing::Test {
 protected:
  void SetUp() override {
    pen_picture_tree();
    pen_slots_restore_defaults();
    pen_slots()[0].pen_id = 11;  // solid squares: easy to count
    set_paint_colour(0x0000ff);
    set_paint_opacity(1.0f);
    doc = make_document(200, 150, 4, 1000, 800);
    panel = std::make_unique<zun_enum_pen_engine>(0, doc.get(), &tablet, &window);
    ASSERT_EQ(panel->open(), 1);
    panel->recorder = &recorder;
    state_clear(app_changes());  // the new document's own notices
  }
  void TearDown() override {
    panel.reset();
    pen_slots_restore_defaults();
  }
  // Window position of a document point.
  canvas_point win(int32_t x, int32_t y) {
    const canvas_point s = doc->canvas->doc_to_screen(x, y);
    return canvas_point{s.x + doc->canvas->area_x, s.y + doc->canvas->area_y};
  }
  int down(int32_t x, int32_t y) { return panel->pen_down(win(x, y).x, win(x, y).y); }
  int move(int32_t x, int32_t y) { return panel->pen_move(win(x, y).x, win(x, y).y); }
  int up(int32_t x, int32_t y) { return panel->pen_up(win(x, y).x, win(x, y).y); }

  Initialised initialised;
  std::unique_ptr<zun_file> doc;
  script_tablet tablet;
  log_window window;
  log_recorder recorder;
  std::unique_ptr<zun_enum_pen_base> panel;
};

}  // namespace

TEST_F(Panel, AStrokeEndToEnd) {
  ASSERT_EQ(down(50, 60), 1);
  EXPECT_TRUE(panel->in_stroke());
  EXPECT_EQ(doc->can_undo(), 1);  // one surface step, before anything is painted
  EXPECT_EQ(doc->modified, 0);
  EXPECT_FALSE(Initialised::pending(kStateModified));
  doc->data->dirty = dib_rect{0, 0, 0, 0};
  ASSERT_EQ(move(90, 60), 1);
  EXPECT_GT(painted_count(doc->surface()), 0);
  const dib_rect d = doc->data->dirty;
  EXPECT_LE(d.left, 50 - 3);
  EXPECT_GE(d.right, 90 - 3);
  ASSERT_EQ(window.rects.size(), 1u);
  const dib_rect w = window.rects[0];
  const canvas_point a = win(d.left, d.top), b = win(d.right, d.bottom);
  EXPECT_EQ(w.left, a.x);  // 1:1, not turned: exactly the dirty area
  EXPECT_EQ(w.bottom, b.y);
  EXPECT_TRUE(panel->stroke_changed());
  EXPECT_EQ(doc->modified, 0);
  ASSERT_EQ(up(90, 60), 1);
  EXPECT_EQ(doc->modified, 1);
  EXPECT_TRUE(Initialised::pending(kStateModified));
  EXPECT_FALSE(panel->in_stroke());
  // Undo takes the stroke away.
  ASSERT_EQ(doc->history_undo(), 1);
  EXPECT_EQ(painted_count(doc->surface()), 0);

  ASSERT_EQ(recorder.events.size(), 3u);
  EXPECT_EQ(recorder.events[0].kind, 1);
  EXPECT_EQ(recorder.events[0].x, 50);
  EXPECT_EQ(recorder.events[0].y, 60);
  EXPECT_EQ(recorder.events[0].pen_id, 11);
  EXPECT_FLOAT_EQ(recorder.events[0].size, 16);  // 2 + 30 * 0.5
  EXPECT_EQ(recorder.events[1].kind, 2);
  EXPECT_EQ(recorder.events[1].x, 90);
  EXPECT_EQ(recorder.events[2].kind, 3);
  EXPECT_EQ(recorder.events[2].x, 0);
  EXPECT_FLOAT_EQ(recorder.events[2].pressure, 1);
  EXPECT_EQ(recorder.events[2].eraser_record, 0);
  EXPECT_EQ(recorder.events[2].colour, 0x0000ffu);
  EXPECT_FLOAT_EQ(recorder.events[2].opacity, 1.0f);
}

TEST_F(Panel, AStrokeThatPaintsNothingLeavesTheDocumentUnmodified) {
  ASSERT_EQ(down(50, 60), 1);
  EXPECT_EQ(move(50, 60), 1);  // no distance: no dab
  EXPECT_TRUE(window.rects.empty());
  ASSERT_EQ(up(50, 60), 1);
  EXPECT_EQ(doc->modified, 0);
  EXPECT_FALSE(Initialised::pending(kStateModified));
  // Nor does a stroke with a pen that cannot be selected.
  pen_slots()[0].pen_id = 13;
  panel->close();
  ASSERT_EQ(panel->open(), 1);
  ASSERT_EQ(down(50, 60), 1);
  EXPECT_EQ(move(120, 60), 1);
  ASSERT_EQ(up(120, 60), 1);
  EXPECT_EQ(painted_count(doc->surface()), 0);
  EXPECT_EQ(doc->modified, 0);
}

TEST_F(Panel, PenDownIsIgnoredOutsideCoveredOrBeforeStartUp) {
  const int steps = doc->can_undo();
  const canvas_point outside = win(-5, 20);
  EXPECT_EQ(panel->pen_down(outside.x, outside.y), 0);
  window.cover_right = win(100, 0).x;
  EXPECT_EQ(down(50, 60), 0);
  window.cover_right = -1;
  set_app_initialised(0);
  EXPECT_EQ(down(50, 60), 0);
  set_app_initialised(1);
  EXPECT_EQ(doc->can_undo(), steps);
  EXPECT_TRUE(recorder.events.empty());
  // Moves without a stroke, or outside the document, are ignored.
  EXPECT_EQ(move(60, 60), 0);
  ASSERT_EQ(down(50, 60), 1);
  EXPECT_EQ(panel->pen_move(outside.x, outside.y), 0);
  EXPECT_EQ(painted_count(doc->surface()), 0);
  panel->pen_up(0, 0);
}

TEST_F(Panel, ZoomedViewsInvalidateAGrownRectangle) {
  doc->canvas->view_zoom_step(500, 400, 1);
  doc->canvas->view_zoom_step(500, 400, 1);
  ASSERT_EQ(doc->canvas->scale_step, 3);
  ASSERT_EQ(down(50, 60), 1);
  doc->data->dirty = dib_rect{0, 0, 0, 0};  // the zoom's own redraw
  ASSERT_EQ(move(60, 60), 1);
  ASSERT_EQ(window.rects.size(), 1u);
  const dib_rect d = doc->data->dirty;
  const dib_rect w = window.rects[0];
  EXPECT_EQ(w.left, win(d.left, d.top).x - 3);
  EXPECT_EQ(w.right, win(d.right, d.bottom).x + 3);
  panel->pen_up(0, 0);
  window.rects.clear();
  for (int i = 0; i < 3; ++i) doc->canvas->view_zoom_step(500, 400, 0);
  ASSERT_EQ(doc->canvas->scale_step, -2);  // zoomed out: one pixel
  ASSERT_EQ(down(20, 20), 1);
  ASSERT_EQ(move(30, 20), 1);
  ASSERT_EQ(window.rects.size(), 1u);
  EXPECT_EQ(window.rects[0].top, win(20 - 8, 20 - 8).y - 1);
  panel->pen_up(0, 0);
}

TEST_F(Panel, LayersReplacedDropsTheStroke) {
  ASSERT_EQ(down(50, 60), 1);
  ASSERT_EQ(move(70, 60), 1);
  const int before = painted_count(doc->surface());
  ASSERT_EQ(doc->history_undo(), 1);
  panel->notify(0x100);  // other notifications change nothing
  EXPECT_TRUE(panel->in_stroke());
  panel->notify(kNotifyLayersReplaced);
  EXPECT_FALSE(panel->in_stroke());
  EXPECT_EQ(move(120, 60), 0);
  EXPECT_EQ(painted_count(doc->surface()), 0);
  EXPECT_EQ(panel->pen_up(0, 0), 0);
  EXPECT_GT(before, 0);
}

TEST_F(Panel, TabletBatchesAndPressureKinds) {
  tablet.press_pressure_ = 0.8f;
  ASSERT_EQ(down(20, 40), 1);
  tablet.next_batch = {{win(40, 40).x, win(40, 40).y, 0.8f},
                       {win(60, 40).x, win(60, 40).y, 0.6f},
                       {win(80, 40).x, win(80, 40).y, 0.4f}};
  ASSERT_EQ(move(80, 40), 1);
  ASSERT_EQ(recorder.events.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(recorder.events[1 + i].packet_index, i);
    EXPECT_EQ(recorder.events[1 + i].packet_count, 3);
    EXPECT_EQ(recorder.events[1 + i].has_pressure, 1);
  }
  EXPECT_EQ(recorder.events[2].x, 60);
  EXPECT_GT(coverage_at(doc->surface(), 78, 40), 0);
  // A move without pressure inside a pressure stroke paints nothing.
  const int before = painted_count(doc->surface());
  ASSERT_EQ(move(80, 100), 1);
  EXPECT_EQ(painted_count(doc->surface()), before);
  panel->pen_up(0, 0);
}

TEST_F(Panel, TheTabletEraserEndErasesAndTheEraserPanelRecordsItself) {
  ASSERT_EQ(down(50, 60), 1);
  ASSERT_EQ(move(90, 60), 1);
  panel->pen_up(0, 0);
  ASSERT_GT(painted_count(doc->surface()), 0);
  tablet.eraser = 1;
  ASSERT_EQ(down(50, 60), 1);
  EXPECT_EQ(panel->pen->eraser, 1);
  ASSERT_EQ(move(90, 60), 1);
  panel->pen_up(0, 0);
  EXPECT_EQ(painted_count(doc->surface()), 0);

  tablet.eraser = 0;
  zun_enum_pen_rub rub(doc.get(), &tablet, &window);
  ASSERT_EQ(rub.open(), 1);
  rub.set_mode(1);
  rub.recorder = &recorder;
  recorder.events.clear();
  ASSERT_EQ(rub.pen_down(win(50, 60).x, win(50, 60).y), 1);
  EXPECT_EQ(rub.pen->desc->id, 11);
  EXPECT_EQ(rub.pen->eraser, 1);
  rub.pen_up(0, 0);
  ASSERT_EQ(recorder.events.size(), 2u);
  EXPECT_EQ(recorder.events[0].eraser, 1);
  EXPECT_EQ(recorder.events[0].eraser_record, 1);
  EXPECT_EQ(recorder.events[0].colour, 0xffffffu);
  rub.close();
  EXPECT_EQ(pen_slots()[kEraserSlot].eraser_mode, 1);
}

TEST_F(Panel, SliderKeysAndTheSlotTable) {
  EXPECT_FLOAT_EQ(panel->size_value(), 0.5f);
  EXPECT_EQ(panel->key_press(93, 0), 1);
  EXPECT_EQ(panel->key_press(221, 0), 1);
  EXPECT_EQ(panel->key_press(219, 0), 1);
  EXPECT_EQ(panel->key_press(93, 1), 0);  // with Alt: ignored
  EXPECT_EQ(panel->key_press(65, 0), 0);
  EXPECT_FLOAT_EQ(panel->size_value(), 0.51f);
  for (int i = 0; i < 200; ++i) panel->key_press(91, 0);
  EXPECT_FLOAT_EQ(panel->size_value(), 0.0f);
  panel->close();
  EXPECT_FLOAT_EQ(pen_slots()[0].size, 0.0f);
  EXPECT_EQ(pen_slots()[0].initialised, 1);
  ASSERT_EQ(panel->open(), 1);
  EXPECT_FLOAT_EQ(panel->size_value(), 0.0f);
  panel->reset();
  EXPECT_FLOAT_EQ(panel->size_value(), 0.5f);
}
