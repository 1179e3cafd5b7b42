// Region masks through the pen object: a pattern pen, a texture pen and a
// brush pen selected from the catalogue paint only inside the region.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/os.h"
#include "paint/pen_engine.h"
#include "paint/pen_resources.h"
#include "paint/rgn_record.h"
#include "rgn_test_util.h"
#include "tests/paint/pen_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class RgnPenMask : public LeakCheck {
 protected:
  void SetUp() override {
    pen_picture_tree();  // made before the counters are read: it lives on
    LeakCheck::SetUp();
    pen->fixed_seed = 3;
    layer = surface_new(70, 100);
    ASSERT_TRUE(layer);
    for (int32_t y = 0; y < 70; y += 2)
      for (int32_t x = 0; x < 100; x += 2) surface_paint_pixel(layer, x, y, dib_colour(x, y, 90), 0.4f);
    before = surface_clone(layer);
    region.reset(rgn_make_ellipse(50, 35, 25, 18));
    ASSERT_TRUE(region && before);
  }
  void TearDown() override {
    pen.reset();
    surface_free(layer);
    surface_free(before);
    region.reset();
    LeakCheck::TearDown();
    pen_picture_tree();
  }
  // One stroke right across the region and out of it on both sides.
  void stroke() {
    const surface_rgn mask = rgn_mask(region.get());
    ASSERT_EQ(pen->begin_stroke(0, layer, 2, 35, 1.0f), 1);
    dib_rect r;
    for (int i = 1; i <= 24; ++i)
      pen->stroke_segment(layer, 2 + 4 * i, 35 + (i % 3) * 4, dib_colour(10, 20, 200), 1.0f, 1.0f, 0,
                          0, 1, &mask, &r);
    pen->end_stroke();
  }
  void expect_only_inside(const char* what) {
    int outside = 0, inside = 0;
    for (int32_t y = 0; y < 70; ++y) {
      for (int32_t x = 0; x < 100; ++x) {
        unsigned char p[4], q[4];
        surface_read_pixel(layer, x, y, p);
        surface_read_pixel(before, x, y, q);
        if (std::memcmp(p, q, 4)) ++(rgn_cell_at(region.get(), x, y) ? inside : outside);
      }
    }
    EXPECT_EQ(outside, 0) << what;
    EXPECT_GT(inside, 40) << what;
  }
  std::unique_ptr<zun_pen_single_engine> pen{new zun_pen_single_engine};
  paint_surface* layer = nullptr;
  paint_surface* before = nullptr;
  rgn_ptr region;
};

TEST_F(RgnPenMask, PatternPen) {
  ASSERT_EQ(pen->select_pen(1, 0), 1);
  ASSERT_EQ(pen_find(1)->kind, kPenPattern);
  ASSERT_EQ(pen->set_size(1.0f), 1);
  stroke();
  expect_only_inside("pattern pen 1");
  // The eraser of the same pen keeps to the region as well.
  ASSERT_EQ(pen->select_pen(1, 1), 1);
  stroke();
  expect_only_inside("pattern eraser 1");
}

TEST_F(RgnPenMask, TexturePen) {
  ASSERT_EQ(pen->select_pen(20, 0), 1);
  ASSERT_EQ(pen_find(20)->kind, kPenTexture);
  ASSERT_EQ(pen->set_size(1.0f), 1);
  stroke();
  expect_only_inside("texture pen 20");
}

TEST_F(RgnPenMask, BrushPen) {
  const char* tree = std::getenv("QM_TREE");
  if (!tree) GTEST_SKIP() << "QM_TREE is not set (run through ctest)";
  use_tree(tree);
  std::string package;
  if (!pen_resolve("Gpenpat\\mp.zzi", &package) || !os_file_exists(package.c_str()))
    GTEST_SKIP() << "no brush package in " << tree;
  ASSERT_EQ(pen->select_pen(61, 0), 1);
  ASSERT_EQ(pen_find(61)->kind, kPenBrush);
  ASSERT_EQ(pen->set_size(1.0f), 1);
  uint32_t now = 1000;
  static uint32_t* clock_value;
  clock_value = &now;
  pen->clock = [] { return *clock_value += 10; };
  stroke();
  expect_only_inside("brush pen 61");
  pen->release();
}
}  // namespace
