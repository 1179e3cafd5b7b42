// The size slider's value and its bracket keys.
#include "paint/pen_size.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(PenSize, ValueFollowsTheSlider) {
  zun_pen_size size;
  EXPECT_FLOAT_EQ(size.value(), 1.0f) << "no slider";
  size.create(0.37f);
  EXPECT_EQ(size.position(), 37);
  EXPECT_FLOAT_EQ(size.value(), 0.37f);
  size.set_hidden(1);
  EXPECT_FLOAT_EQ(size.value(), 0.0f);
  size.set_hidden(0);
  EXPECT_FLOAT_EQ(size.value(), 0.37f);
  size.destroy();
  EXPECT_FLOAT_EQ(size.value(), 1.0f);
}

TEST(PenSize, StoredSizesOutsideTheRangeLandOnTheSlider) {
  zun_pen_size size;
  size.create(2.5f);
  EXPECT_EQ(size.position(), 100);
  size.create(-1.0f);
  EXPECT_EQ(size.position(), 0);
  size.create(std::nanf(""));
  EXPECT_EQ(size.position(), 0);
  size.create(0.285f);
  EXPECT_EQ(size.position(), 29);
}

TEST(PenSize, BracketKeysStepOneAndStopAtTheEnds) {
  zun_pen_size size;
  EXPECT_EQ(size.key_press(91, 0, 0), 0) << "no slider yet";
  size.create(0.5f);
  EXPECT_EQ(size.key_press(91, 0, 0), 1);
  EXPECT_EQ(size.key_press(219, 0, 0), 1);
  EXPECT_EQ(size.position(), 48);
  EXPECT_EQ(size.key_press(93, 0, 0), 1);
  EXPECT_EQ(size.key_press(221, 0, 0), 1);
  EXPECT_EQ(size.key_press(221, 0, 0), 1);
  EXPECT_EQ(size.position(), 51);
  EXPECT_EQ(size.key_press(92, 0, 0), 0);
  EXPECT_EQ(size.key_press(91, 1, 0), 0) << "Alt held";
  EXPECT_EQ(size.key_press(93, 0, 1), 0) << "pointer confined";
  EXPECT_EQ(size.position(), 51);

  size.create(0.99f);
  size.key_press(93, 0, 0);
  size.key_press(93, 0, 0);
  EXPECT_EQ(size.position(), 100);
  size.create(0.0f);
  size.key_press(91, 0, 0);
  EXPECT_EQ(size.position(), 0);
}
