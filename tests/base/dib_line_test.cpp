// Traced lines and rectangle outlines.
#include "base/dib_line.h"

#include <gtest/gtest.h>

#include "tests/base/dib_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class DibLine : public LeakCheck {};

TEST_F(DibLine, StraightLinesCoverBothEnds) {
  dib_smart_trace t;
  ASSERT_EQ(t.trace_line(5, 2, 1, 2), 1);
  ASSERT_EQ(t.count(), 5);
  EXPECT_EQ(t[0].x, 5);
  EXPECT_EQ(t[4].x, 1);
  for (int i = 0; i < t.count(); ++i) EXPECT_EQ(t[i].weight, 1.0f);
  t.clear();
  ASSERT_EQ(t.trace_line(3, 0, 3, 3), 1);
  EXPECT_EQ(t.count(), 4);
  t.clear();
  ASSERT_EQ(t.trace_line(2, 2, 2, 2), 1);
  EXPECT_EQ(t.count(), 1);
}

TEST_F(DibLine, DiagonalWeights) {
  dib_smart_trace t;
  ASSERT_EQ(t.trace_line(0, 0, 4, 4), 1);
  ASSERT_EQ(t.count(), 5 * 3);
  for (int i = 0; i < t.count(); i += 3) {
    EXPECT_EQ(t[i].x, t[i].y);
    EXPECT_FLOAT_EQ(t[i].weight, 1.0f);
    // Neighbours across a 45-degree line lie 0.7071 away: weight 0.5.
    EXPECT_NEAR(t[i + 1].weight, 0.5f, 1e-4);
    EXPECT_NEAR(t[i + 2].weight, 0.5f, 1e-4);
  }
  // A shallow line: the neighbour on the side the line moves towards weighs
  // more once the line has left the pixel centre.
  t.clear();
  ASSERT_EQ(t.trace_line(0, 0, 10, 3), 1);
  for (int i = 0; i < t.count(); ++i) {
    EXPECT_GE(t[i].weight, 0.0f);
    EXPECT_LE(t[i].weight, 1.0f);
  }
  EXPECT_EQ(t[3].x, 1);
  EXPECT_EQ(t[3].y, 0);
  EXPECT_EQ(t[4].y, 1);  // towards the line's direction
  EXPECT_GT(t[4].weight, t[5].weight);
}

TEST_F(DibLine, TraceGrowsPastOneBlock) {
  dib_smart_trace t;
  ASSERT_EQ(t.trace_line(0, 0, 5000, 0), 1);
  EXPECT_EQ(t.count(), 5001);
  EXPECT_EQ(t[5000].x, 5000);
}

TEST_F(DibLine, PaintsInsideTheTargetOnly) {
  dib_block* b = dib_create(5, 1, 5, 0xFFFFFF);
  EXPECT_EQ(dib_line(b, -3, 2, 10, 2, 0, 1.0f, 1), 1);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(px(b, x, 2), 0u);
  EXPECT_EQ(px(b, 0, 1), 0xFFFFFFu);
  dib_fill(b, 0xFFFFFF, nullptr);
  EXPECT_EQ(dib_line(b, 0, 0, 4, 4, 0, 1.0f, 1), 1);
  EXPECT_EQ(px(b, 2, 2), 0u);
  EXPECT_EQ(px(b, 2, 1), 0x7F7F7Fu);  // weight 0.5: 255 - 127.5 truncated
  dib_fill(b, 0xFFFFFF, nullptr);
  EXPECT_EQ(dib_line(b, 2, 2, 2, 2, 0, 1.0f, 3), 1);  // a 3 x 3 dot
  EXPECT_EQ(px(b, 1, 1), 0u);
  EXPECT_EQ(px(b, 3, 3), 0u);
  EXPECT_EQ(px(b, 4, 4), 0xFFFFFFu);
  dib_free(b);
}

TEST_F(DibLine, RectOutlineKeepsRightAndBottomInside) {
  dib_block* b = dib_create(6, 1, 6, 0xFFFFFF);
  EXPECT_EQ(dib_rect_outline(b, dib_rect{1, 1, 5, 4}, 0, 1.0f, 1), 1);
  EXPECT_EQ(px(b, 1, 1), 0u);
  EXPECT_EQ(px(b, 4, 1), 0u);
  EXPECT_EQ(px(b, 5, 1), 0xFFFFFFu);
  EXPECT_EQ(px(b, 4, 3), 0u);
  EXPECT_EQ(px(b, 2, 4), 0xFFFFFFu);
  EXPECT_EQ(px(b, 2, 2), 0xFFFFFFu);
  dib_free(b);
}
}  // namespace
