// The dab walk: spacing across short and long segments, leftovers, pressure.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "paint/dab_walk.h"

namespace {

struct dab {
  double x, y, strength;
};

dib_rect record(void* ctx, double x, double y, double s) {
  static_cast<std::vector<dab>*>(ctx)->push_back({x, y, s});
  const int32_t ix = int32_t(std::floor(x)), iy = int32_t(std::floor(y));
  return dib_rect{ix, iy, ix + 1, iy + 1};
}

struct Walk : ::testing::Test {
  dab_walk w;
  std::vector<dab> dabs;
  dib_rect changed{};
  int to(int32_t x, int32_t y, double p, double spacing) {
    return walk_segment(w, x, y, p, spacing, record, &dabs, &changed);
  }
};

}  // namespace

TEST_F(Walk, FirstSegmentStartsAtThePenDownPoint) {
  walk_begin(w, 10, 20, 1.0);
  EXPECT_EQ(to(20, 20, 1.0, 3.0), 4);  // 0, 3, 6, 9
  ASSERT_EQ(dabs.size(), 4u);
  EXPECT_DOUBLE_EQ(dabs[0].x, 10);
  EXPECT_DOUBLE_EQ(dabs[3].x, 19);
  EXPECT_DOUBLE_EQ(w.leftover, 1);
  EXPECT_EQ(changed.left, 10);
  EXPECT_EQ(changed.right, 20);
  // Continuing: the next dab falls one spacing after the last one.
  dabs.clear();
  EXPECT_EQ(to(30, 20, 1.0, 3.0), 3);
  ASSERT_EQ(dabs.size(), 3u);
  EXPECT_DOUBLE_EQ(dabs[0].x, 22);
  EXPECT_DOUBLE_EQ(dabs[2].x, 28);
  EXPECT_DOUBLE_EQ(w.leftover, 2);
}

TEST_F(Walk, ShortMovesAccumulateFromTheOlderPoint) {
  walk_begin(w, 0, 0, 1.0);
  EXPECT_EQ(to(0, 0, 1.0, 1.0), 0);  // no movement at all
  EXPECT_EQ(w.prev_x, 0);
  // A first real move, then a move back shorter than 0.2 cannot exist with
  // integer points; a zero-length one keeps the previous point.
  EXPECT_EQ(to(5, 0, 1.0, 1.0), 5);
  EXPECT_EQ(to(5, 0, 1.0, 1.0), 0);
  EXPECT_EQ(w.prev_x, 5);
  dabs.clear();
  // Measured from (5, 0): the dab one spacing after the last (at 4, 0) falls
  // on that point.
  EXPECT_EQ(to(5, 1, 1.0, 1.0), 1);
  EXPECT_DOUBLE_EQ(dabs[0].x, 5);
  EXPECT_DOUBLE_EQ(dabs[0].y, 0);
}

TEST_F(Walk, WideSpacingKeepsExactSpacingAlongThePath) {
  // Spacing 5 over 2-pixel moves: dabs only every few segments, and always
  // at multiples of 5 along the line.
  walk_begin(w, 0, 0, 1.0);
  std::vector<int> per_segment;
  for (int x = 2; x <= 40; x += 2) per_segment.push_back(to(x, 0, 1.0, 5.0));
  ASSERT_EQ(dabs.size(), 9u);  // 0, 5, ..., 40
  for (std::size_t i = 0; i < dabs.size(); ++i) EXPECT_NEAR(dabs[i].x, 5.0 * i, 1e-9);
  EXPECT_EQ(per_segment[0], 1);
  EXPECT_EQ(per_segment[1], 0);  // e = 4 < 5: nothing
  EXPECT_EQ(per_segment[2], 1);  // at 5
}

TEST_F(Walk, DiagonalSegmentsAndPressureInterpolation) {
  walk_begin(w, 0, 0, 0.0);
  EXPECT_EQ(to(30, 40, 1.0, 10.0), 5);  // L = 50: 0, 10, 20, 30, 40
  EXPECT_NEAR(dabs[1].x, 6, 1e-9);
  EXPECT_NEAR(dabs[1].y, 8, 1e-9);
  for (std::size_t i = 0; i < dabs.size(); ++i) EXPECT_NEAR(dabs[i].strength, i * 0.2, 1e-9);
  EXPECT_DOUBLE_EQ(w.prev_strength, 1.0);
  // Pressures outside 0..1 are clamped, at the dabs and for the stroke.
  dabs.clear();
  to(30, 90, 3.0, 10.0);
  for (const dab& d : dabs) EXPECT_LE(d.strength, 1.0);
  EXPECT_DOUBLE_EQ(w.prev_strength, 1.0);
}

TEST_F(Walk, NothingWithoutABegunStrokeOrWithoutSpacing) {
  EXPECT_EQ(to(10, 10, 1.0, 1.0), 0);
  walk_begin(w, 0, 0, 1.0);
  EXPECT_EQ(to(10, 10, 1.0, 0.0), 0);  // a zero spacing would never advance
  EXPECT_EQ(to(10, 10, 1.0, -1.0), 0);
  EXPECT_TRUE(dabs.empty());
  walk_end(w);
  EXPECT_EQ(to(20, 20, 1.0, 1.0), 0);
}

TEST_F(Walk, AnAbsurdJumpLaysNoDabs) {
  // Positions from a damaged macro file: no endless walk, and the stroke
  // goes on from the new point.
  walk_begin(w, 0, 0, 1.0);
  EXPECT_EQ(to(2000000000, -2000000000, 1.0, 0.5), 0);
  EXPECT_TRUE(dabs.empty());
  EXPECT_EQ(w.prev_x, 2000000000);
  EXPECT_EQ(to(2000000010, -2000000000, 1.0, 5.0), 2);
  EXPECT_DOUBLE_EQ(dabs[0].x, 2000000000.0);
}
