// The canvas view: fit, zoom steps, pan limits, angles, the mappings and the
// canvas tools.
#include <gtest/gtest.h>

#include <cmath>

#include "doc/canvas_tools.h"
#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class Canvas : public LeakCheck {};
}  // namespace

TEST_F(Canvas, FitChoosesTheReduction) {
  auto f = make_document(3000, 2000, 4, 1000, 800);
  EXPECT_EQ(f->canvas->scale_step, -3);  // r = 3.0 exactly
  auto g = make_document(3010, 2000, 4, 1000, 800);
  EXPECT_EQ(g->canvas->scale_step, -4);  // r = 3.01
  auto h = make_document(1001, 300, 4, 1000, 800);
  EXPECT_EQ(h->canvas->scale_step, -2);
  // A small document stays 1:1 and centred.
  auto s = make_document(500, 400, 4, 1000, 800);
  EXPECT_EQ(s->canvas->scale_step, 1);
  EXPECT_EQ(s->canvas->offset_x, 250);
  EXPECT_EQ(s->canvas->offset_y, 200);
  const canvas_point c = s->canvas->doc_to_screen(250, 200);
  EXPECT_EQ(c.x, 500);
  EXPECT_EQ(c.y, 400);
  // The reduced large one is centred too: 2000 / 3 rows in 800.
  EXPECT_EQ(f->canvas->offset_x, 0);
  EXPECT_EQ(f->canvas->offset_y, 200);
}

TEST_F(Canvas, ZoomSteps) {
  EXPECT_EQ(scale_step_once(1, 0), -2);
  EXPECT_EQ(scale_step_once(-2, 1), 1);
  EXPECT_EQ(scale_step_once(2, 0), 1);
  EXPECT_EQ(scale_step_once(-3, 1), -2);
  EXPECT_EQ(scale_step_once(3, 1), 4);
  EXPECT_EQ(scale_step_once(kScaleMax, 1), kScaleMax);
  EXPECT_EQ(scale_step_once(kScaleMin, 0), kScaleMin);

  auto f = make_document(3000, 2000, 4, 1000, 800);
  zun_file_canvas& v = *f->canvas;
  // The document point under the pointer stays under it.
  const canvas_point before = v.window_to_doc(300, 500);
  ASSERT_TRUE(v.view_zoom_step(300, 500, 1));
  EXPECT_EQ(v.scale_step, -2);
  const canvas_point after = v.window_to_doc(300, 500);
  EXPECT_NEAR(after.x, before.x, 3);
  EXPECT_NEAR(after.y, before.y, 3);
  ASSERT_TRUE(v.view_zoom_step(300, 500, 1));
  EXPECT_EQ(v.scale_step, 1);
  ASSERT_TRUE(v.view_zoom_step(300, 500, 1));
  EXPECT_EQ(v.scale_step, 2);
  EXPECT_NEAR(v.window_to_doc(300, 500).x, before.x, 3);

  // Pinch: whole steps from the scale at the gesture's start.
  ASSERT_TRUE(v.view_zoom_to(300, 500, 1, 2.2));
  EXPECT_EQ(v.scale_step, 3);
  ASSERT_TRUE(v.view_zoom_to(300, 500, 1, 0.5));
  EXPECT_EQ(v.scale_step, -3);
  ASSERT_TRUE(v.view_zoom_to(300, 500, 2, 1.005));
  EXPECT_EQ(v.scale_step, 2);
  EXPECT_FALSE(v.view_zoom_to(300, 500, 2, 0.0));
}

TEST_F(Canvas, SmallDocumentCannotBePanned) {
  auto f = make_document(500, 400, 4, 1000, 800);
  zun_file_canvas& v = *f->canvas;
  int32_t dx = 100, dy = -50;
  EXPECT_FALSE(v.view_pan(&dx, &dy));
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, 0);
  EXPECT_EQ(v.offset_x, 250);
  EXPECT_EQ(v.offset_y, 200);
  EXPECT_FALSE(v.view_key_pan(canvas_key::left));
  EXPECT_EQ(v.offset_x, 250);
}

TEST_F(Canvas, PanStopsWhereTheDocumentWouldLeaveTheBand) {
  auto f = make_document(2000, 1500, 4, 1000, 800);
  zun_file_canvas& v = *f->canvas;
  ASSERT_TRUE(v.view_zoom_to(0, 0, 1, 1.0));  // 1:1: larger than the area
  ASSERT_EQ(v.scale_step, 1);
  v.offset_x = v.offset_y = 0;
  // Right edge of the band is x = 840; the document reaches 2000.
  int32_t dx = -1000, dy = 0;
  EXPECT_TRUE(v.view_pan(&dx, &dy));
  EXPECT_EQ(v.offset_x, -1000);
  dx = -200;  // would put its right edge at 800, inside the band
  EXPECT_FALSE(v.view_pan(&dx, &dy));
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(v.offset_x, -1000);
  // Its left edge may not come inside the band either.
  v.offset_x = 150;
  dx = 20;
  EXPECT_FALSE(v.view_pan(&dx, &dy));
  EXPECT_EQ(v.offset_x, 150);
  // The keys take the largest step that still fits: 10 there, then 2 more.
  v.offset_x = 148;
  ASSERT_TRUE(v.view_key_pan(canvas_key::left));
  EXPECT_EQ(v.offset_x, 158);
  ASSERT_TRUE(v.view_key_pan(canvas_key::left));
  EXPECT_EQ(v.offset_x, 160);
  EXPECT_FALSE(v.view_key_pan(canvas_key::left));
  ASSERT_TRUE(v.view_key_pan(canvas_key::right));
  EXPECT_EQ(v.offset_x, 150);
  EXPECT_FALSE(v.view_key_pan(canvas_key::up, 1, 0));  // Space asked for, not held
  ASSERT_TRUE(v.view_key_pan(canvas_key::up, 1, 1));
  EXPECT_EQ(v.offset_y, 10);
  // At a reduction a screen pixel is |s| document pixels.
  ASSERT_TRUE(v.view_zoom_to(500, 400, 1, 0.5));
  EXPECT_EQ(v.scale_step, -3);
}

TEST_F(Canvas, Angles) {
  auto f = make_document(600, 400, 4, 1000, 800);
  zun_file_canvas& v = *f->canvas;
  EXPECT_FALSE(v.view_set_angle(360));
  EXPECT_EQ(v.angle, 0);
  EXPECT_TRUE(v.view_set_angle(-15));
  EXPECT_EQ(v.angle, 345);
  EXPECT_TRUE(v.view_rotate_by(30));
  EXPECT_EQ(v.angle, 15);
  // Rotation is about the centre: the centre stays where it was.
  const canvas_point c = v.doc_to_screen(300, 200);
  EXPECT_EQ(c.x, 500);
  EXPECT_EQ(c.y, 400);
  // Anticlockwise on screen: at 90 degrees a point right of the centre is above it.
  ASSERT_TRUE(v.view_set_angle(90));
  const canvas_point r = v.doc_to_screen(400, 200);
  EXPECT_EQ(r.x, 500);
  EXPECT_EQ(r.y, 300);
}

TEST_F(Canvas, MappingsInvertEachOther) {
  auto f = make_document(640, 480, 4, 1000, 800);
  zun_file_canvas& v = *f->canvas;
  for (int32_t deg : {90, 37, 180, 301}) {
    for (int32_t s : {1, 2}) {
      v.view_set_angle(deg);
      v.scale_step = s;
      int worst = 0;
      for (int y = -20; y < 500; y += 13)
        for (int x = -20; x < 660; x += 11) {
          const canvas_point p = v.doc_to_screen(x, y);
          const canvas_point q = v.screen_to_doc(p.x, p.y);
          worst = std::max(worst, std::max(std::abs(q.x - x), std::abs(q.y - y)));
        }
      // Exact at right angles; otherwise the screen position was rounded once.
      EXPECT_LE(worst, deg % 90 == 0 ? 0 : 1) << deg << " " << s;
    }
  }
  v.view_set_angle(0);
  v.scale_step = 2;
  v.offset_x = 10, v.offset_y = 5;
  const dib_rect r = v.doc_rect_to_screen(dib_rect{0, 0, 10, 20});
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right, 40);
  EXPECT_EQ(r.bottom, 50);
  const dib_rect d = v.screen_rect_to_doc(r);
  EXPECT_EQ(d.left, 0);
  EXPECT_EQ(d.bottom, 20);
  // Hit test: inside the area and on the document only.
  v.area_x = 100;
  EXPECT_TRUE(v.hit_test(125, 15));
  EXPECT_FALSE(v.hit_test(99, 15));
  EXPECT_FALSE(v.hit_test(115, 15));  // left of the document
  EXPECT_FALSE(v.hit_test(100 + 1000, 15));
}

TEST_F(Canvas, NothingWorksBeforeSetUp) {
  zun_file_canvas v;
  EXPECT_TRUE(v.set_document_size(100, 100));
  EXPECT_FALSE(v.view_fit());
  EXPECT_FALSE(v.view_set_angle(10));
  EXPECT_FALSE(v.hit_test(1, 1));
  v.view_setup(0, 0, 50, 50);
  EXPECT_TRUE(v.ready());
  EXPECT_EQ(v.scale_step, -2);
  EXPECT_FALSE(v.set_document_size(0, 100));
  EXPECT_FALSE(v.ready());
}

TEST_F(Canvas, Tools) {
  auto f = make_document(2000, 1500, 4, 1000, 800);
  zun_file_canvas& v = *f->canvas;
  v.view_zoom_to(500, 400, 1, 1.0);
  v.offset_x = v.offset_y = -500;

  zun_tool_canvas_translate move;
  EXPECT_STREQ(move.name(), "canvas_translate");
  ASSERT_TRUE(move.pointer_down(v, 400, 400, 0));
  EXPECT_EQ(move.grabbed.x, 900);
  ASSERT_TRUE(move.pointer_move(v, 430, 380));
  EXPECT_EQ(v.offset_x, -470);
  EXPECT_EQ(v.offset_y, -520);
  ASSERT_TRUE(move.pointer_up(v, 430, 380));
  EXPECT_FALSE(move.pointer_move(v, 500, 500));

  zun_tool_canvas_rotate turn;
  EXPECT_EQ(turn.dial_position(0), 12);
  EXPECT_EQ(turn.dial_label(12), 0);
  EXPECT_EQ(turn.dial_label(0), -180);
  EXPECT_EQ(turn.dial_label(24), 180);
  ASSERT_TRUE(turn.run(v, zun_tool_canvas_rotate::turn_back));
  EXPECT_EQ(v.angle, 345);
  EXPECT_EQ(turn.dial_label(turn.dial_position(v.angle)), -15);
  ASSERT_TRUE(turn.run(v, zun_tool_canvas_rotate::turn_on));
  EXPECT_EQ(v.angle, 0);
  ASSERT_TRUE(turn.run(v, zun_tool_canvas_rotate::set_345));
  EXPECT_EQ(v.angle, 345);
  ASSERT_TRUE(turn.run(v, zun_tool_canvas_rotate::reset_angle));

  zun_tool_canvas_scale zoom;
  const int32_t s = v.scale_step;
  ASSERT_TRUE(zoom.pointer_down(v, 500, 400, 0));
  EXPECT_EQ(v.scale_step, scale_step_once(s, 1));
  ASSERT_TRUE(zoom.pointer_down(v, 500, 400, 1));
  EXPECT_EQ(v.scale_step, s);

  ASSERT_TRUE(canvas_tool_reset(v));
  EXPECT_EQ(v.scale_step, -2);
  EXPECT_EQ(v.angle, 0);
  EXPECT_FALSE(zoom.pointer_down(v, 5, 5, 0));  // off the document
}

TEST_F(Canvas, BlocksBetweenWindowAndDocument) {
  auto f = make_document(200, 100, 4, 1000, 800);
  zun_file_canvas& v = *f->canvas;
  v.area_x = 3;
  v.area_y = 1;
  v.offset_x = v.offset_y = 0;
  dib_block* block = dib_create(6, 1, 8, 0);
  fill_tagged(block);
  canvas_point at{};

  // 1:1 upright: the same pixels, the position moved by the offsets.
  v.scale_step = 1;
  v.offset_x = 4;
  dib_block* same = v.window_block_to_doc(block, 13, 5, &at);
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(at.x, 13 - 3 - 4);
  EXPECT_EQ(at.y, 5 - 1);
  EXPECT_EQ(px(same, 7, 5), tag_of(7, 5));
  dib_free(same);

  // Magnified twice: every other window pixel becomes a document pixel.
  v.scale_step = 2;
  v.offset_x = 0;
  dib_block* doc = v.window_block_to_doc(block, 13, 5, &at);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(at.x, 5);
  EXPECT_EQ(at.y, 2);
  ASSERT_EQ(dib_width(doc), 4);
  ASSERT_EQ(dib_height(doc), 3);
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 4; ++i) EXPECT_EQ(px(doc, i, j), tag_of(2 * i, 2 * j)) << i << "," << j;

  // And back: each window pixel takes the nearest document pixel (half away from zero).
  dib_block* back = v.doc_block_to_window(doc, at, 8, 6, 13, 5);
  ASSERT_NE(back, nullptr);
  for (int j = 0; j < 6; ++j)
    for (int i = 0; i < 8; ++i) {
      const int dx = int(std::round((10 + i) / 2.0)) - 5, dy = int(std::round((4 + j) / 2.0)) - 2;
      const uint32_t want = dx < 4 && dy < 3 ? tag_of(2 * dx, 2 * dy) : 0xFFFFFFu;
      EXPECT_EQ(px(back, i, j), want) << i << "," << j;
    }
  dib_free(back);
  dib_free(doc);

  // 8-bit blocks keep their depth; pixels not covered are 0.
  dib_block* mask = dib_create(4, 0, 4, 200);
  v.view_set_angle(45);
  dib_block* turned = v.window_block_to_doc(mask, 13, 5, &at);
  ASSERT_NE(turned, nullptr);
  EXPECT_EQ(dib_bits(turned), 8);
  int covered = 0, empty = 0;
  for (int j = 0; j < dib_height(turned); ++j)
    for (int i = 0; i < dib_width(turned); ++i) (px(turned, i, j) == 200 ? covered : empty)++;
  EXPECT_GT(covered, 0);
  EXPECT_GT(empty, 0);  // the corners of a turned square
  dib_free(turned);
  dib_free(mask);
  dib_free(block);
}
