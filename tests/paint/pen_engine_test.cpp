// The pen object: selection, sizes, papers, stamp files and the pressure
// rules of a stroke.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/os.h"
#include "paint/mp_engine.h"
#include "paint/paint_state.h"
#include "paint/pen_engine.h"
#include "paint/pen_resources.h"
#include "tests/paint/pen_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {

using surface_ptr = std::unique_ptr<paint_surface, surface_deleter>;

class Pen : public LeakCheck {
 protected:
  void SetUp() override {
    pen_picture_tree();  // made before the counters are read: it lives on
    LeakCheck::SetUp();
    pen->fixed_seed = 7;
  }
  void TearDown() override {
    pen.reset();
    LeakCheck::TearDown();  // the layer was there before the counters were read
    pen_picture_tree();
  }
  int paint(int has_pressure, float p0, int x1, int y1, int segment_pressure_kind, float p1) {
    EXPECT_EQ(pen->begin_stroke(has_pressure, layer.get(), 20, 30, p0), 1);
    dib_rect r;
    const int n = pen->stroke_segment(layer.get(), x1, y1, 0, 1.0f, p1, segment_pressure_kind, 0, 0,
                                      nullptr, &r);
    pen->end_stroke();
    return n;
  }
  std::unique_ptr<zun_pen_single_engine> pen{new zun_pen_single_engine};
  surface_ptr layer{surface_new(64, 96)};
};

std::string stamp_file(const TempDir& d, int set, int step) {
  char name[64];
  std::snprintf(name, sizeof name, "GLIB/tex/cust/%03d-%02d.bmp", set, step);
  return d.path() + "/" + name;
}

}  // namespace

TEST_F(Pen, ReselectingWithAnotherEraserFlagKeepsThePaper) {
  ASSERT_EQ(pen->select_pen(1, 0), 1);
  ASSERT_NE(pen->paper, nullptr);  // tex3
  const dib_block* paper = pen->paper;
  ASSERT_EQ(pen->set_size(0.5f), 1);
  const unsigned char* tips = pen->pattern.tips;
  EXPECT_EQ(pen->select_pen(1, 1), 1);
  EXPECT_EQ(pen->paper, paper);
  EXPECT_EQ(pen->eraser, 1);
  EXPECT_EQ(pen->pattern.tips, tips);  // nothing rebuilt
  EXPECT_EQ(pen->pattern.params.eraser, 1);  // but the engine erases now
  // Selected as an eraser first, a pen has no paper; as a pen again it loads it.
  ASSERT_EQ(pen->select_pen(4, 1), 1);
  EXPECT_EQ(pen->paper, nullptr);
  ASSERT_EQ(pen->select_pen(4, 0), 1);
  EXPECT_NE(pen->paper, nullptr);
  // Pens without paper, and a missing paper file, leave none.
  ASSERT_EQ(pen->select_pen(2, 0), 1);
  EXPECT_EQ(pen->paper, nullptr);
  EXPECT_EQ(pen->select_pen(13, 0), 0);
  EXPECT_EQ(pen->desc, nullptr);
  EXPECT_EQ(pen->index, -1);
}

TEST_F(Pen, ReselectedAsAnEraserItErases) {
  ASSERT_EQ(pen->select_pen(11, 0), 1);
  ASSERT_EQ(pen->set_size(0.0f), 1);
  ASSERT_EQ(paint(0, 1, 60, 30, 0, 1), 1);
  const int painted = painted_count(layer.get());
  ASSERT_GT(painted, 0);
  ASSERT_EQ(pen->select_pen(11, 1), 1);
  ASSERT_EQ(paint(0, 1, 60, 30, 0, 1), 1);
  EXPECT_EQ(painted_count(layer.get()), 0);
}

TEST_F(Pen, PressureKindsNeverMixWithinAStroke) {
  ASSERT_EQ(pen->select_pen(11, 0), 1);
  ASSERT_EQ(pen->set_size(0.0f), 1);
  dib_rect r;
  ASSERT_EQ(pen->begin_stroke(1, layer.get(), 20, 30, 0.5f), 1);
  EXPECT_EQ(pen->stroke_segment(layer.get(), 60, 30, 0, 1, 1, 0, 0, 0, nullptr, &r), 0);
  EXPECT_EQ(painted_count(layer.get()), 0);
  EXPECT_TRUE(dib_rect_empty(r));
  EXPECT_EQ(pen->stroke_segment(layer.get(), 60, 30, 0, 1, 1, 1, 0, 0, nullptr, &r), 1);
  EXPECT_FALSE(dib_rect_empty(r));
  pen->end_stroke();
  EXPECT_EQ(pen->stroke_has_pressure, 0);
  layer.reset(surface_new(64, 96));
  ASSERT_EQ(pen->begin_stroke(0, layer.get(), 20, 30, 1.0f), 1);
  EXPECT_EQ(pen->stroke_segment(layer.get(), 60, 30, 0, 1, 0.5f, 1, 0, 0, nullptr, &r), 0);
  EXPECT_EQ(painted_count(layer.get()), 0);
  pen->end_stroke();
}

TEST_F(Pen, AlmostNoPressureAtPenDownMeansNoPressureAtAll) {
  ASSERT_EQ(pen->select_pen(11, 0), 1);  // type 12: coverage 255 only at full strength
  ASSERT_EQ(pen->set_size(0.0f), 1);
  ASSERT_EQ(pen->begin_stroke(1, layer.get(), 20, 30, 0.00005f), 1);
  EXPECT_EQ(pen->stroke_has_pressure, 0);
  dib_rect r;
  EXPECT_EQ(pen->stroke_segment(layer.get(), 60, 30, 0, 1, 0.2f, 1, 0, 0, nullptr, &r), 0);
  EXPECT_EQ(pen->stroke_segment(layer.get(), 60, 30, 0, 1, 0.2f, 0, 0, 0, nullptr, &r), 1);
  pen->end_stroke();
  EXPECT_EQ(coverage_at(layer.get(), 21, 30), 255);  // the pen-down dab at full pressure
  // 0.0001 itself is a pressure.
  ASSERT_EQ(pen->begin_stroke(1, layer.get(), 20, 30, 0.0001f), 1);
  EXPECT_EQ(pen->stroke_has_pressure, 1);
  pen->end_stroke();
}

TEST_F(Pen, PatternSizesAreEvenAndRebuiltOnlyWhenTheyChange) {
  ASSERT_EQ(pen->select_pen(2, 0), 1);  // 2..40
  ASSERT_EQ(pen->set_size(0.5f), 1);    // 21 -> 20
  EXPECT_FLOAT_EQ(pen->size, 20);
  EXPECT_EQ(pen->pattern.params.size, 80);
  EXPECT_FLOAT_EQ(pen->size_fraction(), 18.0f / 38);
  const unsigned char* tips = pen->pattern.tips;
  ASSERT_EQ(pen->set_size(0.52f), 1);  // 21.76 -> 20 again
  EXPECT_EQ(pen->pattern.tips, tips);
  ASSERT_EQ(pen->set_size_pixels(9), 1);  // 9 -> 8
  EXPECT_FLOAT_EQ(pen->size, 8);
  ASSERT_EQ(pen->set_size(7.0f), 1);  // clamped to 40
  EXPECT_FLOAT_EQ(pen->size, 40);
  EXPECT_FLOAT_EQ(pen->size_fraction(), 1);
  ASSERT_EQ(pen->set_size_pixels(-5), 1);
  EXPECT_FLOAT_EQ(pen->size, 2);
  EXPECT_FLOAT_EQ(pen->size_fraction(), 0);
  EXPECT_EQ(pen->simulate_flag(), 0);
  ASSERT_EQ(pen->select_pen(0, 0), 1);
  EXPECT_EQ(pen->simulate_flag(), 1);
  pen->release();
  EXPECT_EQ(pen->simulate_flag(), 0);
  EXPECT_EQ(pen->size_fraction(), 0);
  EXPECT_EQ(pen->set_size(0.5f), 0);
}

TEST_F(Pen, TextureSizesMapOntoTheStampFiles) {
  TempDir tree;
  for (int i = 0; i < 8; ++i) {
    dib_block* b = grey_fill(4 + 2 * i, 4 + 2 * i, 255);
    ASSERT_TRUE(write_picture(stamp_file(tree, 0, i), b));
    dib_free(b);
  }
  // Set 1 has a gap after 01; set 2 nothing at all.
  for (int i : {0, 1, 3}) {
    dib_block* b = grey_fill(6, 6, 255);
    ASSERT_TRUE(write_picture(stamp_file(tree, 1, i), b));
    dib_free(b);
  }
  use_tree(tree.path());
  EXPECT_EQ(count_stamp_files(0), 8);
  EXPECT_EQ(count_stamp_files(1), 2);
  EXPECT_EQ(count_stamp_files(2), 0);
  ASSERT_EQ(pen->select_pen(20, 0), 1);
  EXPECT_FLOAT_EQ(pen->desc->size_min, 0);
  EXPECT_FLOAT_EQ(pen->desc->size_max, 7);
  EXPECT_FLOAT_EQ(pen_find(20)->size_max, 0);  // the catalogue itself stays as it is
  const struct {
    float fraction;
    int step;
  } cases[] = {{0.0f, 0}, {0.14f, 0}, {0.15f, 1}, {0.5f, 3}, {0.99f, 6}, {1.0f, 7}};
  for (const auto& c : cases) {
    ASSERT_EQ(pen->set_size(c.fraction), 1) << c.fraction;
    EXPECT_FLOAT_EQ(pen->size, float(c.step)) << c.fraction;
    EXPECT_EQ(pen->stamp.size, 4 + 2 * c.step) << c.fraction;
  }
  ASSERT_EQ(pen->set_size_pixels(5), 1);
  EXPECT_EQ(pen->stamp.size, 14);
  ASSERT_EQ(pen->select_pen(21, 0), 1);
  EXPECT_FLOAT_EQ(pen->desc->size_max, 1);
  EXPECT_EQ(pen->select_pen(22, 0), 0);  // no stamp files: no pen
  EXPECT_EQ(pen->desc, nullptr);
  dib_rect r;
  EXPECT_EQ(pen->begin_stroke(0, layer.get(), 5, 5, 1), 0);
  EXPECT_EQ(pen->stroke_segment(layer.get(), 9, 9, 0, 1, 1, 0, 0, 0, nullptr, &r), 0);
  // A damaged stamp file fails the size call and paints nothing.
  FILE* f = std::fopen(stamp_file(tree, 0, 2).c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("BM not a picture", f);
  std::fclose(f);
  ASSERT_EQ(pen->select_pen(20, 0), 1);
  EXPECT_EQ(pen->set_size(2.0f / 7), 0);
  EXPECT_EQ(pen->begin_stroke(0, layer.get(), 5, 5, 1), 0);
  pen->release();
  pen_picture_tree();
}

TEST_F(Pen, BrushPenWithoutItsBrushFileIsNotSelected) {
  TempDir empty;
  use_tree(empty.path());
  EXPECT_EQ(pen->select_pen(44, 0), 0);
  EXPECT_EQ(pen->desc, nullptr);
  EXPECT_EQ(pen->brush, nullptr);
  dib_rect r;
  EXPECT_EQ(pen->stroke_segment(layer.get(), 9, 9, 0, 1, 1, 0, 0, 0, nullptr, &r), 0);
  pen_picture_tree();
}

TEST_F(Pen, CancelDropsTheStrokeAndColourFollowsThePen) {
  ASSERT_EQ(pen->select_pen(11, 0), 1);  // paints black whatever the colour
  ASSERT_EQ(pen->set_size(0.0f), 1);
  ASSERT_EQ(pen->begin_stroke(0, layer.get(), 20, 30, 1), 1);
  dib_rect r;
  ASSERT_EQ(pen->stroke_segment(layer.get(), 30, 30, 0x00ff00, 1, 1, 0, 0, 0, nullptr, &r), 1);
  unsigned char bgr[3];
  colour_at(layer.get(), 25, 30, bgr);
  EXPECT_EQ(bgr[1], 0);
  pen->cancel_stroke();
  EXPECT_EQ(pen->stroke_segment(layer.get(), 50, 30, 0, 1, 1, 0, 0, 0, nullptr, &r), 0);
  ASSERT_EQ(pen->select_pen(12, 0), 1);
  ASSERT_EQ(pen->set_size(0.0f), 1);
  ASSERT_EQ(pen->begin_stroke(0, layer.get(), 20, 50, 1), 1);
  // A move to the same point paints nothing and says so.
  EXPECT_EQ(pen->stroke_segment(layer.get(), 20, 50, 0, 1, 1, 0, 0, 0, nullptr, &r), 0);
  pen->end_stroke();
}

// Brush pens through the installation tree's brush package (when the build
// has made it): the stroke reaches the brush engine and is closed again.
TEST_F(Pen, BrushPensForwardTheirStrokeToTheBrushEngine) {
  const char* tree = std::getenv("QM_TREE");
  if (!tree) GTEST_SKIP() << "QM_TREE is not set";
  use_tree(tree);
  std::string package;
  if (!pen_resolve("Gpenpat\\mp.zzi", &package) || !os_file_exists(package.c_str())) {
    pen_picture_tree();
    GTEST_SKIP() << "no brush package in " << tree;
  }
  ASSERT_EQ(pen->select_pen(61, 0), 1);
  ASSERT_NE(pen->brush, nullptr);
  ASSERT_EQ(pen->set_size(1.0f), 1);
  EXPECT_FLOAT_EQ(pen->size, 10);
  // Late in the clock's range, where seconds in a float would have lost the milliseconds.
  uint32_t now = 0xFFFFFF00u;
  static uint32_t* clock_value;
  clock_value = &now;
  pen->clock = [] { return *clock_value; };
  ASSERT_EQ(pen->begin_stroke(0, layer.get(), 20, 30, 1.0f), 1);
  EXPECT_EQ(pen->stroke_start_time, now);
  int painted = 0;
  for (int i = 1; i <= 20; ++i) {
    now += 10;
    dib_rect r;
    // Two packets per batch: both get the batch's time.
    painted |= pen->stroke_segment(layer.get(), 20 + 2 * i, 30, 0, 1, 1, 0, 0, 2, nullptr, &r);
    EXPECT_EQ(pen->batch_time, now);  // passes the wrap of the clock on the way
    EXPECT_EQ(uint32_t(pen->batch_time - pen->stroke_start_time), 10u);
    painted |= pen->stroke_segment(layer.get(), 21 + 2 * i, 30, 0, 1, 1, 0, 1, 2, nullptr, &r);
    EXPECT_EQ(pen->stroke_start_time, pen->batch_time);
  }
  pen->end_stroke();
  EXPECT_TRUE(painted);
  EXPECT_GT(painted_count(layer.get()), 0);
  EXPECT_EQ(pen->brush->stroke_open(), 0);
  EXPECT_EQ(pen->batch_time, 0u);
  pen->release();
  pen_picture_tree();
}

// Macro files give the positions: any value must paint safely or not at all.
TEST_F(Pen, ExtremePositionsPaintNothingAndDoNotHang) {
  for (int id : {11, 3, 25}) {
    ASSERT_EQ(pen->select_pen(id, 0), 1);
    ASSERT_EQ(pen->set_size(1.0f), 1);
    ASSERT_EQ(pen->begin_stroke(0, layer.get(), INT32_MAX, INT32_MIN, 1), 1);
    dib_rect r;
    EXPECT_EQ(pen->stroke_segment(layer.get(), INT32_MIN, INT32_MAX, 0, 1, 1, 0, 0, 0, nullptr, &r), 0);
    EXPECT_EQ(pen->stroke_segment(layer.get(), INT32_MIN + 40, INT32_MAX, 0, 1, 1, 0, 0, 0, nullptr, &r), 0);
    EXPECT_EQ(pen->stroke_segment(layer.get(), 30, 30, 0, 1, 1, 0, 0, 0, nullptr, &r), 0);  // a jump
    EXPECT_EQ(pen->stroke_segment(layer.get(), 90, 30, 0, 1, 1, 0, 0, 0, nullptr, &r), 1);
    pen->end_stroke();
  }
  EXPECT_GT(painted_count(layer.get()), 0);
}
