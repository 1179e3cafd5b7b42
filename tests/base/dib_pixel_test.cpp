// Blend primitives (their truncations) and the portable indexed-to-24 conversion.
#include "base/dib_pixel.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/base/dib_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class DibPixel : public LeakCheck {};

TEST(DibPrimitive, AlphaTable) {
  EXPECT_EQ(alpha_table[0], 0.0f);
  EXPECT_EQ(alpha_table[255], 1.0f);
  EXPECT_FLOAT_EQ(alpha_table[51], 0.2f);
}

TEST(DibPrimitive, Blend256TruncatesTowardZero) {
  // (0 - 255) * 128 / 256 = -127.5 is -127, not the -128 of a plain shift.
  EXPECT_EQ(dib_blend256(255, 0, 128), 128);
  EXPECT_EQ(dib_blend256(0, 255, 128), 127);
  EXPECT_EQ(dib_blend256(255, 0, 1), 255);  // -255/256 truncates to 0
  EXPECT_EQ(dib_blend256(10, 0, 255), 1);
  EXPECT_EQ(dib_blend256(100, 100, 200), 100);
}

TEST(DibPrimitive, SetWithOpacity) {
  unsigned char p[3] = {255, 255, 255};
  dib_px_set(p, dib_colour(0, 0, 0), 0.5f);
  EXPECT_EQ(p[0], 127);                           // 255 - 127.5 truncated
  dib_px_set(p, dib_colour(10, 20, 30), 0.995f);  // counts as 1
  EXPECT_EQ(p[0], 30);
  EXPECT_EQ(p[2], 10);
  dib_px_set(p, dib_colour(200, 200, 200), 0.0f);
  EXPECT_EQ(p[1], 20);
  unsigned char q[3] = {0, 100, 255};
  dib_px_set_inverse(q, 1.0f);
  EXPECT_EQ(q[0], 255);
  EXPECT_EQ(q[1], 155);
  EXPECT_EQ(q[2], 0);
}

TEST(DibPrimitive, OverWithCoverage) {
  unsigned char p[3] = {255, 255, 255}, a = 0, out[4] = {};
  // Nothing under it: the colour comes through unmixed, coverage g.
  dib_px_over(p, &a, dib_colour(0, 100, 200), 0.5f, out);
  EXPECT_EQ(p[0], 200);
  EXPECT_EQ(p[1], 100);
  EXPECT_EQ(a, 127);
  EXPECT_EQ(out[3], 127);
  EXPECT_EQ(out[0], 200);
  // Over a painted pixel: T = 0.5 + A - 0.5 A.
  dib_px_over(p, &a, dib_colour(0, 0, 0), 0.5f);
  EXPECT_EQ(a, 191);
  EXPECT_EQ(p[0], 66);  // 0.5 * 200 * (127/255) / 0.749 = 66.5
  // T = 0: nothing changes.
  unsigned char z[3] = {1, 2, 3}, za = 0;
  dib_px_over(z, &za, 0xFFFFFF, 0.0f);
  EXPECT_EQ(z[0], 1);
  EXPECT_EQ(za, 0);
  // Opacity 0 over coverage keeps the coverage exactly.
  for (int c = 1; c < 256; ++c) {
    unsigned char q[3] = {9, 9, 9}, qa = static_cast<unsigned char>(c);
    dib_px_over(q, &qa, 0, 0.0f);
    ASSERT_EQ(qa, c);
    ASSERT_EQ(q[0], 9);
  }
  // Without a plane: p += g (c - p), truncated.
  unsigned char w[3] = {255, 255, 255};
  dib_px_over(w, nullptr, 0, 0.5f, out);
  EXPECT_EQ(w[0], 127);
  EXPECT_EQ(out[3], 255);
}

// Painting a colour over itself must leave it: in floats the two shares can
// sum a hair under one, and truncation would then darken every dab by a step.
TEST(DibPrimitive, OverWithTheSameColourKeepsIt) {
  for (int gi = 1; gi <= 100; ++gi) {
    const float g = gi / 100.0f;
    for (int a = 0; a < 256; ++a)
      for (int v = 0; v < 256; ++v) {
        unsigned char p[3] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v),
                              static_cast<unsigned char>(v)};
        unsigned char cov = static_cast<unsigned char>(a);
        dib_px_over(p, &cov, dib_colour(v, v, v), g);
        ASSERT_EQ(p[0], v) << "g " << g << " a " << a;
        ASSERT_GE(cov, a);
      }
  }
}

TEST(DibPrimitive, PaintPlainAndFade) {
  unsigned char p[3] = {0, 0, 0}, a = 0;
  dib_px_paint(p, &a, dib_colour(1, 2, 3), 0.5f);
  EXPECT_EQ(p[0], 3);
  EXPECT_EQ(a, 127);
  dib_px_plain(p, &a, 0);
  EXPECT_EQ(p[0], 255);
  EXPECT_EQ(a, 0);
  dib_px_plain(p, nullptr, dib_colour(5, 6, 7));
  EXPECT_EQ(p[0], 7);

  unsigned char f[3] = {0, 0, 0}, fa = 255;
  dib_px_fade(f, &fa, 0.25f);
  EXPECT_EQ(fa, 191);
  EXPECT_EQ(f[0], 0);
  dib_px_fade(f, &fa, 0.8f);
  EXPECT_EQ(fa, 0);
  EXPECT_EQ(f[0], 255);
  unsigned char g[3] = {0, 100, 255};
  dib_px_fade(g, nullptr, 0.5f);
  EXPECT_EQ(g[0], 127);
  EXPECT_EQ(g[1], 177);
  EXPECT_EQ(g[2], 255);
}

// The index layouts of 1, 4 and 8 bits, the table limits, and an index past the table.
TEST_F(DibPixel, IndexedTo24) {
  const unsigned char rgb[4 * 3] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 2, 3};
  dib_block* b8 = dib_create_indexed(3, 5, 2, rgb);
  dib_pixel(b8, 0, 0)[0] = 1;
  dib_pixel(b8, 1, 0)[0] = 2;
  dib_pixel(b8, 2, 0)[0] = 3;  // past colours used: black
  dib_pixel(b8, 4, 1)[0] = 1;
  dib_block* c = dib_to_24(b8);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(px(c, 0, 0), dib_colour(40, 50, 60));
  EXPECT_EQ(px(c, 1, 0), dib_colour(70, 80, 90));
  EXPECT_EQ(px(c, 2, 0), 0u);
  EXPECT_EQ(px(c, 3, 0), dib_colour(10, 20, 30));
  EXPECT_EQ(px(c, 4, 1), dib_colour(40, 50, 60));
  dib_free(c);
  dib_free(b8);

  // 1 bit, 10 wide: the high bit is the leftmost pixel; a padded stride of 4.
  std::vector<unsigned char> one(40 + 8 + 4 * 2, 0);
  uint32_t size = 40, w = 10, h = 2;
  uint16_t planes = 1, bits = 1;
  std::memcpy(&one[0], &size, 4);
  std::memcpy(&one[4], &w, 4);
  std::memcpy(&one[8], &h, 4);
  std::memcpy(&one[12], &planes, 2);
  std::memcpy(&one[14], &bits, 2);
  one[40 + 4] = 255, one[40 + 5] = 128;  // entry 1: blue 255, green 128
  one[48] = 0x80;                        // bottom row (y = 1), x = 0
  one[48 + 1] = 0x40;                    // x = 9
  one[52] = 0x01;                        // top row, x = 7
  dib_block* b1 = dib_from_bytes(one.data(), one.size());
  ASSERT_NE(b1, nullptr);
  c = dib_to_24(b1);
  EXPECT_EQ(px(c, 0, 1), dib_colour(0, 128, 255));
  EXPECT_EQ(px(c, 9, 1), dib_colour(0, 128, 255));
  EXPECT_EQ(px(c, 8, 1), 0u);
  EXPECT_EQ(px(c, 7, 0), dib_colour(0, 128, 255));
  EXPECT_EQ(px(c, 0, 0), 0u);
  dib_free(c);
  // 4 bits: high nibble first.
  bits = 4;
  std::vector<unsigned char> four(40 + 64 + 4 * 1, 0);
  h = 1, w = 3;
  std::memcpy(&four[0], &size, 4);
  std::memcpy(&four[4], &w, 4);
  std::memcpy(&four[8], &h, 4);
  std::memcpy(&four[12], &planes, 2);
  std::memcpy(&four[14], &bits, 2);
  four[40 + 15 * 4 + 2] = 200;  // entry 15 red
  four[40 + 2 * 4 + 1] = 33;    // entry 2 green
  four[104] = 0xF2;
  four[105] = 0x20;
  dib_block* b4 = dib_from_bytes(four.data(), four.size());
  ASSERT_NE(b4, nullptr);
  c = dib_to_24(b4);
  EXPECT_EQ(px(c, 0, 0), dib_colour(200, 0, 0));
  EXPECT_EQ(px(c, 1, 0), dib_colour(0, 33, 0));
  EXPECT_EQ(px(c, 2, 0), dib_colour(0, 33, 0));
  dib_free(c);
  dib_free(b4);
  dib_free(b1);

  dib_block* rgb24 = numbered(3, 3);
  c = dib_to_24(rgb24);
  EXPECT_TRUE(same_pixels(c, rgb24));
  dib_free(c);
  dib_free(rgb24);
}
}  // namespace
