// Blits, resampling, bilinear sampling and the ownership-taking transforms.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "base/dib.h"
#include "tests/base/dib_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class DibBlit : public LeakCheck {};

TEST_F(DibBlit, OneToOneClipsNegativeSourceAndLimitsSize) {
  dib_block* src = numbered(4, 4);
  dib_block* dst = dib_create(3, 1, 3, 0xFFFFFF);
  // sx = -1: one column less, destination moved right by one.
  EXPECT_EQ(dib_blit(dst, 0, 0, 4, 4, src, -1, 0, 4, 4, 0), 1);
  EXPECT_EQ(px(dst, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(px(dst, 1, 0), px(src, 0, 0));
  EXPECT_EQ(px(dst, 2, 2), px(src, 1, 2));
  // Limited by the source's right edge.
  dib_fill(dst, 0xFFFFFF, nullptr);
  EXPECT_EQ(dib_blit(dst, 0, 0, 3, 3, src, 2, 1, 3, 3, 0), 1);
  EXPECT_EQ(px(dst, 1, 0), px(src, 3, 1));
  EXPECT_EQ(px(dst, 2, 0), 0xFFFFFFu);
  // Nothing left after clipping fails.
  EXPECT_EQ(dib_blit(dst, 3, 0, 2, 2, src, 0, 0, 2, 2, 0), 0);
  EXPECT_EQ(dib_blit(dst, 0, 0, 2, 2, src, 4, 0, 2, 2, 0), 0);
  dib_free(dst);
  dib_free(src);
}

TEST_F(DibBlit, NegativeDestinationGoesPixelByPixel) {
  dib_block* src = numbered(4, 4);
  dib_block* dst = dib_create(3, 1, 3, 0xFFFFFF);
  EXPECT_EQ(dib_blit(dst, -2, -1, 4, 4, src, 0, 0, 4, 4, 0), 1);
  EXPECT_EQ(px(dst, 0, 0), px(src, 2, 1));
  EXPECT_EQ(px(dst, 1, 2), px(src, 3, 3));
  EXPECT_EQ(px(dst, 2, 0), 0xFFFFFFu);  // source column 4 does not exist
  dib_free(dst);
  dib_free(src);
}

TEST_F(DibBlit, RefusesMismatchedKindsAndEmptySizes) {
  dib_block* src = numbered(2, 2);
  dib_block* grey = dib_create(2, 0, 2, 0);
  EXPECT_EQ(dib_blit(grey, 0, 0, 2, 2, src, 0, 0, 2, 2, 0), 0);
  EXPECT_EQ(dib_blit(src, 0, 0, 0, 2, src, 0, 0, 2, 2, 0), 0);
  EXPECT_EQ(dib_blit(src, 0, 0, 2, 2, src, 0, 0, 2, -1, 1), 0);
  EXPECT_EQ(dib_blit(nullptr, 0, 0, 2, 2, src, 0, 0, 2, 2, 0), 0);
  dib_free(grey);
  dib_free(src);
}

TEST_F(DibBlit, OverlappingBlitWithinOneBlock) {
  dib_block* b = numbered(3, 5);
  dib_block* before = dib_clone(b);
  // Move rows 0..3 down by one: done row by row from the top it would smear row 0.
  EXPECT_EQ(dib_blit(b, 0, 1, 3, 4, b, 0, 0, 3, 4, 0), 1);
  for (int y = 1; y < 5; ++y) EXPECT_EQ(px(b, 1, y), px(before, 1, y - 1)) << y;
  // The pixel-by-pixel path (negative destination) and a scaled one, in place.
  dib_free(b);
  dib_free(before);
  before = numbered(5, 5);
  b = numbered(5, 5);
  EXPECT_EQ(dib_blit(b, -1, 1, 5, 4, b, 0, 0, 5, 4, 0), 1);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(px(b, x, 3), px(before, x + 1, 2)) << x;
  dib_free(b);
  b = numbered(5, 5);
  EXPECT_EQ(dib_blit(b, 0, 0, 4, 4, b, 0, 0, 2, 2, 0), 1);
  EXPECT_EQ(px(b, 3, 3), px(before, 1, 1));
  dib_free(before);
  dib_free(b);
}

TEST_F(DibBlit, ScaledNearestAndBilinear) {
  dib_block* src = numbered(2, 2);
  dib_block* big = dib_create(4, 1, 4, 0);
  EXPECT_EQ(dib_blit(big, 0, 0, 4, 4, src, 0, 0, 2, 2, 0), 1);
  EXPECT_EQ(px(big, 1, 1), px(src, 0, 0));
  EXPECT_EQ(px(big, 2, 3), px(src, 1, 1));
  dib_free(big);

  dib_block* row = dib_create(1, 0, 2, 0);
  set_px(row, 1, 0, 255);
  dib_block* wide = dib_create(1, 0, 4, 9);
  EXPECT_EQ(dib_blit(wide, 0, 0, 4, 1, row, 0, 0, 2, 1, 1), 1);
  EXPECT_EQ(px(wide, 0, 0), 0u);
  EXPECT_EQ(px(wide, 1, 0), 127u);  // 127.5 truncated
  EXPECT_EQ(px(wide, 2, 0), 255u);
  EXPECT_EQ(px(wide, 3, 0), 255u);  // right neighbour missing: the base pixel
  dib_free(wide);
  dib_free(row);
  dib_free(src);
}

// The scaled blit samples exactly where dib_sample_bilinear says, edges,
// missing neighbours and source offsets included.
TEST_F(DibBlit, ScaledBlitAgreesWithTheSample) {
  std::mt19937 rng(3);
  for (int bits : {24, 8}) {
    dib_block* src = dib_create(7, bits == 24, 9, 0);
    unsigned char* p = dib_pixels(src);
    for (uint32_t i = 0; i < dib_stride(src) * 7; ++i) p[i] = static_cast<unsigned char>(rng());
    const int dw = 23, dh = 5, sx = -2, sy = 1, sw = 10, sh = 7, dx = -3, dy = 1;
    dib_block* dst = dib_create(6, bits == 24, 20, 0x5A5A5A);
    dib_block* before = dib_clone(dst);
    ASSERT_EQ(dib_blit(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, 1), 1);
    for (int i = 0; i < dh; ++i)
      for (int j = 0; j < dw; ++j) {
        if (!dib_pixel(dst, dx + j, dy + i)) continue;
        unsigned char want[3];
        std::memcpy(want, dib_pixel(before, dx + j, dy + i), bits / 8);
        dib_sample_bilinear(src, sx + j * (double(sw) / dw), sy + i * (double(sh) / dh), want);
        ASSERT_EQ(std::memcmp(dib_pixel(dst, dx + j, dy + i), want, bits / 8), 0) << j << "," << i;
      }
    dib_free(before);
    dib_free(dst);
    dib_free(src);
  }
}

TEST_F(DibBlit, BilinearSampleEdges) {
  dib_block* b = dib_create(2, 0, 2, 0);
  set_px(b, 1, 0, 100);
  set_px(b, 0, 1, 200);
  set_px(b, 1, 1, 40);
  unsigned char out = 7;
  EXPECT_EQ(dib_sample_bilinear(b, -0.5, 0, &out), 0);
  EXPECT_EQ(out, 7);
  EXPECT_EQ(dib_sample_bilinear(b, 2.0, 0, &out), 0);
  EXPECT_EQ(dib_sample_bilinear(b, 0.5, 0.5, &out), 1);
  // top 50, bottom 120: 85
  EXPECT_EQ(out, 85);
  EXPECT_EQ(dib_sample_bilinear(b, 1.5, 1.5, &out), 1);
  EXPECT_EQ(out, 40);  // every neighbour missing
  dib_free(b);
}

TEST_F(DibBlit, ResampleInto) {
  dib_block* src = numbered(2, 3);
  dib_block* dst = dib_create(6, 1, 4, 0);
  EXPECT_EQ(dib_resample_into(dst, src), 1);
  EXPECT_EQ(px(dst, 1, 1), px(src, 0, 0));
  EXPECT_EQ(px(dst, 3, 5), px(src, 1, 2));
  EXPECT_EQ(px(dst, 2, 2), px(src, 1, 1));
  dib_block* same = dib_create(3, 1, 2, 0);
  EXPECT_EQ(dib_resample_into(same, src), 1);
  EXPECT_TRUE(same_pixels(same, src));
  dib_block* grey = dib_create(3, 0, 2, 0);
  EXPECT_EQ(dib_resample_into(grey, src), 0);
  dib_free(grey);
  dib_free(same);
  dib_free(dst);
  dib_free(src);
}

TEST_F(DibBlit, CropCenter) {
  dib_block* b = numbered(5, 4);
  EXPECT_EQ(dib_crop_center(b, 5, 4), b);
  EXPECT_EQ(dib_crop_center(b, 6, 4), b);
  EXPECT_EQ(dib_crop_center(b, 0, 4), b);
  dib_block* c = dib_crop_center(b, 2, 2);  // frees b
  ASSERT_NE(c, b);
  EXPECT_EQ(dib_width(c), 2);
  EXPECT_EQ(px(c, 0, 0), dib_colour(1, 1, 2));
  EXPECT_EQ(px(c, 1, 1), dib_colour(2, 2, 4));
  dib_free(c);
}

TEST_F(DibBlit, QuarterTurnMirrorAndFlip) {
  dib_block* b = numbered(3, 2);
  dib_block* ref = dib_clone(b);
  b = dib_rotate90(b);
  ASSERT_EQ(dib_width(b), 2);
  ASSERT_EQ(dib_height(b), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(px(b, x, y), px(ref, 3 - 1 - y, x));
  dib_free(b);

  b = dib_mirror(dib_clone(ref));
  EXPECT_EQ(px(b, 0, 1), px(ref, 2, 1));
  dib_free(b);
  b = dib_flip(dib_clone(ref));
  EXPECT_EQ(px(b, 2, 0), px(ref, 2, 1));
  dib_free(b);

  // 8-bit blocks keep their table.
  dib_block* grey = dib_create(2, 0, 3, 5);
  grey = dib_rotate90(grey);
  EXPECT_EQ(dib_colours_used(grey), 256u);
  EXPECT_EQ(dib_table(grey)[4 * 9], 9);
  dib_free(grey);
  dib_free(ref);
}

TEST_F(DibBlit, Resize) {
  dib_block* b = dib_create(1, 1, 2, 0);
  set_px(b, 1, 0, 0xFFFFFF);
  b = dib_resize(b, 4, 1);
  ASSERT_EQ(dib_width(b), 4);
  EXPECT_EQ(px(b, 1, 0), 0x7F7F7Fu);
  EXPECT_EQ(px(b, 3, 0), 0xFFFFFFu);
  EXPECT_EQ(dib_resize(b, 0, 3), b);
  dib_free(b);
}

TEST_F(DibBlit, RotateSizesAndBackground) {
  dib_block* b = numbered(40, 20);
  dib_block* ref = dib_clone(b);
  b = dib_rotate(b, 0.0f, 0);
  ASSERT_NE(b, ref);
  EXPECT_EQ(dib_width(b), 40);
  EXPECT_EQ(dib_height(b), 20);
  EXPECT_TRUE(same_pixels(b, ref));
  b = dib_rotate(b, 90.0f, 0);
  EXPECT_EQ(dib_width(b), 20);
  EXPECT_EQ(dib_height(b), 40);
  dib_free(b);

  b = dib_create(20, 1, 40, dib_colour(10, 20, 30));
  b = dib_rotate(b, 30.0f, 0xFFFFFF);
  // 40 cos 30 + 20 sin 30 = 44.64, 40 sin 30 + 20 cos 30 = 37.32
  EXPECT_EQ(dib_width(b), 44);
  EXPECT_EQ(dib_height(b), 37);
  EXPECT_EQ(px(b, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(px(b, 43, 36), 0xFFFFFFu);
  EXPECT_EQ(px(b, 22, 18), dib_colour(10, 20, 30));
  dib_free(b);

  // Anticlockwise on screen: the bright right end of a bar rises.
  b = dib_create(3, 1, 41, 0);
  for (int x = 30; x < 41; ++x) set_px(b, x, 1, 0xFFFFFF);
  b = dib_rotate(b, 45.0f, 0);
  int top_white = -1, bottom_white = -1;
  for (int y = 0; y < dib_height(b); ++y)
    for (int x = dib_width(b) / 2; x < dib_width(b); ++x)
      if (dib_red(px(b, x, y)) > 100) {
        if (top_white < 0) top_white = y;
        bottom_white = y;
      }
  ASSERT_GE(top_white, 0);
  EXPECT_LT(bottom_white, dib_height(b) / 2);
  dib_free(b);
  dib_free(ref);
  EXPECT_EQ(dib_rotate(nullptr, 10.0f, 0), nullptr);
}
}  // namespace
