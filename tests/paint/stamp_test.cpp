// The stamp engine: stamps it accepts, strength, placement and masks.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "paint/stamp_engine.h"
#include "tests/paint/pen_test_util.h"
#include "tests/support/leak_check.h"

namespace {

using surface_ptr = std::unique_ptr<paint_surface, surface_deleter>;

class Stamp : public LeakCheck {
 protected:
  void TearDown() override {
    stamp_release(e);
    LeakCheck::TearDown();  // the layer was there before the counters were read
  }
  void load_fill(int32_t n, int value) {
    dib_block* b = grey_fill(n, n, value);
    ASSERT_EQ(stamp_load_block(e, b), 1);
    dib_free(b);
  }
  stamp_engine e;
  surface_ptr layer{surface_new(40, 40)};
};

}  // namespace

TEST_F(Stamp, OnePixelStampsAreRefused) {
  dib_block* one = grey_fill(1, 1, 255);
  EXPECT_EQ(stamp_load_block(e, one), 0);  // its spacing would be 0
  dib_free(one);
  dib_block* flat = grey_fill(6, 3, 255);  // fewer rows than columns
  EXPECT_EQ(stamp_load_block(e, flat), 0);
  dib_free(flat);
  dib_block* colour = dib_create(4, 1, 4, 0);
  EXPECT_EQ(stamp_load_block(e, colour), 0);
  dib_free(colour);
  EXPECT_EQ(stamp_load_block(e, nullptr), 0);
  EXPECT_EQ(stamp_begin(e, layer.get(), 5, 5, 1), 0);
  load_fill(2, 255);
  EXPECT_GT(stamp_spacing(e), 0);
  EXPECT_DOUBLE_EQ(stamp_spacing(e), 0.1);
  load_fill(40, 255);
  EXPECT_DOUBLE_EQ(stamp_spacing(e), 39 * 0.05);
}

TEST_F(Stamp, ADabCoversTheWholeStampAtTheStrength) {
  load_fill(5, 255);
  ASSERT_EQ(stamp_begin(e, layer.get(), 20, 20, 1.0f), 1);
  dib_rect r;
  ASSERT_EQ(stamp_segment(e, layer.get(), 20, 21, 0x0000ff, 1.0f, 1.0f, nullptr, &r), 1);
  // L = 1 and spacing 0.4 * ... = 4 * 0.1: dabs at 20, 20.4, 20.8 (all in row 20).
  EXPECT_EQ(r.left, 18);
  EXPECT_EQ(r.right, 23);  // five columns: an odd stamp keeps its last one
  EXPECT_EQ(r.top, 18);
  EXPECT_EQ(r.bottom, 23);
  EXPECT_EQ(painted_count(layer.get()), 25);
  stamp_end(e);
  EXPECT_EQ(stamp_segment(e, layer.get(), 25, 25, 0, 1.0f, 1.0f, nullptr, &r), 0);

  // Pressure 0 still paints at the minimum strength 0.1.
  layer.reset(surface_new(40, 40));
  ASSERT_EQ(stamp_begin(e, layer.get(), 20, 20, 0.0f), 1);
  stamp_segment(e, layer.get(), 20, 21, 0, 1.0f, 0.0f, nullptr, &r);
  const int c = coverage_at(layer.get(), 20, 18);
  EXPECT_GT(c, 20);
  EXPECT_LT(c, 80);  // three dabs of 24 / 255
}

TEST_F(Stamp, MaskAndLayerEdges) {
  load_fill(8, 200);
  std::vector<int32_t> cells(40 * 40, 0);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 40; ++x) cells[y * 40 + x] = 1;
  const surface_rgn mask{0, 0, 40, 40, cells.data(), 1};
  ASSERT_EQ(stamp_begin(e, layer.get(), 2, 18, 1.0f), 1);
  dib_rect r;
  ASSERT_EQ(stamp_segment(e, layer.get(), 38, 18, 0, 1.0f, 1.0f, &mask, &r), 1);
  const dib_rect below{0, 20, 40, 40};
  EXPECT_EQ(painted_count(layer.get(), &below), 0);
  EXPECT_GE(r.left, 0);
  EXPECT_LE(r.right, 40);
  EXPECT_GT(painted_count(layer.get()), 0);
  stamp_end(e);
  // Another layer than the stroke's paints nothing.
  surface_ptr other{surface_new(10, 10)};
  ASSERT_EQ(stamp_begin(e, layer.get(), 2, 2, 1.0f), 1);
  EXPECT_EQ(stamp_segment(e, other.get(), 8, 8, 0, 1.0f, 1.0f, nullptr, &r), 0);
  EXPECT_EQ(painted_count(other.get()), 0);
}
