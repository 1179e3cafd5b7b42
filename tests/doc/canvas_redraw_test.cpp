// The redraw of the document into the desktop bitmap, pixel by pixel, at
// reductions, 1:1, magnifications and an angle.
#include <gtest/gtest.h>

#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"

namespace {
constexpr uint32_t kGround = 0x5A5A5A;  // what the desktop showed before

struct Scene {
  std::unique_ptr<zun_file> f;
  dib_block* desktop;
  // Area at (ax, ay) of the window-sized desktop bitmap.
  static constexpr int kAx = 7, kAy = 5, kAw = 300, kAh = 200;

  Scene(int w, int h) {
    f = make_document(w, h, 4, kAw, kAh);
    f->canvas->view_setup(kAx, kAy, kAw, kAh);
    fill_tagged(f->data->current_background()->image);
    desktop = dib_create(kAh + 12, 1, kAw + 20, kGround);
  }
  ~Scene() { dib_free(desktop); }
  zun_file_canvas& view() { return *f->canvas; }
  // Renders the whole document and presents it.
  void redraw() {
    f->data->doc_mark_dirty(nullptr, 0);
    ASSERT_TRUE(f->canvas->view_redraw(*f->data, desktop));
  }
  uint32_t at(int X, int Y) const { return px(desktop, kAx + X, kAy + Y); }
};

class Redraw : public LeakCheck {};

// Every area pixel against the document pixel that expect(X, Y) names, or
// the old ground where it names none.
template <typename F>
int mismatches(Scene& s, int w, int h, F expect) {
  int bad = 0;
  for (int Y = 0; Y < Scene::kAh; ++Y)
    for (int X = 0; X < Scene::kAw; ++X) {
      int x, y;
      const bool on = expect(X, Y, &x, &y) && x >= 0 && y >= 0 && x < w && y < h;
      const uint32_t want = on ? tag_of(x, y) : kGround;
      if (s.at(X, Y) != want && bad++ < 5)
        ADD_FAILURE() << "screen " << X << "," << Y << " has " << std::hex << s.at(X, Y)
                      << " wants " << want;
    }
  // Nothing outside the area was touched.
  for (int Y = 0; Y < dib_height(s.desktop); ++Y)
    for (int X = 0; X < dib_width(s.desktop); ++X) {
      const bool inside = X >= Scene::kAx && Y >= Scene::kAy && X < Scene::kAx + Scene::kAw &&
                          Y < Scene::kAy + Scene::kAh;
      if (!inside && px(s.desktop, X, Y) != kGround) ++bad;
    }
  return bad;
}

int floor_div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
}  // namespace

TEST_F(Redraw, OneToOneIsShiftedByTheOffsets) {
  Scene s(250, 180);  // smaller than the area: centred, ground around it
  ASSERT_EQ(s.view().scale_step, 1);
  s.redraw();
  const int ox = s.view().offset_x, oy = s.view().offset_y;
  EXPECT_EQ(ox, 25);
  EXPECT_EQ(mismatches(s, 250, 180,
                       [&](int X, int Y, int* x, int* y) {
                         *x = X - ox, *y = Y - oy;
                         return true;
                       }),
            0);
}

TEST_F(Redraw, ReductionSamplesEveryThirdPixel) {
  Scene s(240, 250);
  zun_file_canvas& v = s.view();
  v.scale_step = -3;
  v.offset_x = 19, v.offset_y = -8;  // not multiples of 3
  s.redraw();
  EXPECT_EQ(mismatches(s, 240, 250,
                       [&](int X, int Y, int* x, int* y) {
                         *x = X * 3 - 19, *y = Y * 3 + 8;
                         return true;
                       }),
            0);
}

TEST_F(Redraw, MagnificationReplicatesSquares) {
  Scene s(240, 250);
  zun_file_canvas& v = s.view();
  v.scale_step = 4;
  v.offset_x = -30, v.offset_y = 3;
  s.redraw();
  EXPECT_EQ(mismatches(s, 240, 250,
                       [&](int X, int Y, int* x, int* y) {
                         *x = floor_div(X, 4) + 30, *y = floor_div(Y, 4) - 3;
                         return true;
                       }),
            0);
}

TEST_F(Redraw, RotatedViewTakesTheNearestPixel) {
  for (int angle : {37, 90, 200}) {
    for (int scale : {1, 2, -2}) {
      Scene s(201, 151);
      zun_file_canvas& v = s.view();
      v.view_set_angle(angle);
      v.scale_step = scale;
      v.offset_x = 40, v.offset_y = 20;
      s.redraw();
      EXPECT_EQ(mismatches(s, 201, 151,
                           [&](int X, int Y, int* x, int* y) {
                             const canvas_point p = v.screen_to_doc(X, Y);
                             *x = p.x, *y = p.y;
                             return true;
                           }),
                0)
          << angle << " " << scale;
    }
  }
}

TEST_F(Redraw, OnlyTheChangedPartIsRedrawn) {
  Scene s(250, 180);
  s.redraw();
  dib_fill(s.desktop, kGround, nullptr);
  surface_paint_pixel(s.f->surface(), 10, 10, 0x0000FF, 1.0f);
  const dib_rect r{8, 8, 12, 12};
  s.f->data->doc_mark_dirty(&r, 1);
  dib_rect screen;
  ASSERT_TRUE(s.view().view_redraw(*s.f->data, s.desktop, &screen));
  const int ox = s.view().offset_x, oy = s.view().offset_y;
  EXPECT_EQ(s.at(10 + ox, 10 + oy), 0x0000FFu);
  EXPECT_EQ(s.at(8 + ox, 8 + oy), tag_of(8, 8));
  EXPECT_EQ(s.at(12 + ox, 12 + oy), kGround);
  EXPECT_EQ(screen.left, Scene::kAx + 8 + ox);
  EXPECT_EQ(screen.bottom, Scene::kAy + 12 + oy);
  // Nothing pending: nothing drawn.
  EXPECT_FALSE(s.view().view_redraw(*s.f->data, s.desktop, &screen));
  EXPECT_TRUE(dib_rect_empty(screen));
}

TEST_F(Redraw, DesktopSmallerThanTheAreaIsNotOverrun) {
  Scene s(400, 300);
  s.view().scale_step = 1;
  s.view().offset_x = s.view().offset_y = 0;
  dib_block* small = dib_create(50, 1, 60, kGround);
  s.f->data->doc_mark_dirty(nullptr, 0);
  ASSERT_TRUE(s.view().view_redraw(*s.f->data, small));
  EXPECT_EQ(px(small, 59, 49), tag_of(59 - Scene::kAx, 49 - Scene::kAy));
  EXPECT_EQ(px(small, 3, 3), kGround);
  dib_free(small);
  for (int angle : {0, 45}) {
    s.view().view_set_angle(angle);
    dib_block* tiny = dib_create(3, 1, 2, kGround);
    // Wholly left of and above the area: nothing to present, nothing written.
    EXPECT_FALSE(s.view().view_present(dib_rect{0, 0, 400, 300}, tiny));
    EXPECT_EQ(px(tiny, 1, 2), kGround);
    dib_free(tiny);
  }
}
