// The brush surface: dabs into a paint_surface and colour queries.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/dib.h"
#include "base/dib_pixel.h"
#include "base/surface.h"
#include "paint/mp_surface.h"
#include "tests/support/leak_check.h"

namespace {

class MpSurface : public LeakCheck {
 protected:
  void SetUp() override {
    LeakCheck::SetUp();
    layer_ = surface_new(40, 50);
    ASSERT_NE(layer_, nullptr);
    s_.layer = layer_;
  }
  void TearDown() override {
    surface_free(layer_);
    LeakCheck::TearDown();
  }
  int dab(float x, float y, float radius, float opaque = 1.0f, float hardness = 1.0f) {
    return mp_surface_draw_dab(&s_, x, y, radius, 1.0f, 0.0f, 0.0f, opaque, hardness, 1.0f, 1.0f,
                               0.0f);
  }
  int coverage(int x, int y) {
    unsigned char p[4];
    surface_read_pixel(layer_, x, y, p);
    return p[3];
  }
  long painted() {
    long n = 0;
    for (int y = 0; y < layer_->height; ++y)
      for (int x = 0; x < layer_->width; ++x) n += coverage(x, y) != 0;
    return n;
  }

  paint_surface* layer_ = nullptr;
  mp_surface s_;
};

TEST_F(MpSurface, DegenerateDabsDrawNothing) {
  EXPECT_EQ(dab(20, 20, 5, 1.0f, 0.0f), 0);   // hardness 0
  EXPECT_EQ(dab(20, 20, 0.05f), 0);           // radius below 0.1
  EXPECT_EQ(dab(20, 20, 5, 0.0f), 0);         // opaque 0
  EXPECT_EQ(dab(20, 20, 5, -3.0f), 0);        // clamped to 0
  EXPECT_EQ(dab(20, 20, 5, 1.0f, -1.0f), 0);  // hardness clamped to 0
  s_.layer = nullptr;
  EXPECT_EQ(dab(20, 20, 5), 0);
  s_.layer = layer_;
  EXPECT_EQ(painted(), 0);
  EXPECT_TRUE(dib_rect_empty(layer_->changed));
}

TEST_F(MpSurface, HardDabCoversItsDiscAndReportsItsRectangle) {
  EXPECT_EQ(dab(20.0f, 15.0f, 4.0f), 1);
  // Pixel centres within 4 of (20, 15) are painted fully, the rest not at all.
  long inside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 50; ++x) {
      float dx = x + 0.5f - 20.0f, dy = y + 0.5f - 15.0f;
      bool in = dx * dx + dy * dy <= 16.0f;
      inside += in;
      EXPECT_EQ(coverage(x, y), in ? 255 : 0) << x << "," << y;
    }
  EXPECT_EQ(painted(), inside);
  unsigned char p[4];
  surface_read_pixel(layer_, 20, 15, p);
  EXPECT_EQ(p[2], 255);
  EXPECT_EQ(p[1], 0);
  EXPECT_EQ(p[0], 0);
  // floor(x - r - 1) and ceil(2 (r + 1)).
  EXPECT_EQ(s_.changed.left, 15);
  EXPECT_EQ(s_.changed.top, 10);
  EXPECT_EQ(s_.changed.right, 25);
  EXPECT_EQ(s_.changed.bottom, 20);
  EXPECT_EQ(layer_->changed.left, 16);  // the layer notes painted pixels only
  EXPECT_EQ(layer_->changed.right, 24);
}

TEST_F(MpSurface, SoftDabFallsOffAndEllipseFollowsAngle) {
  EXPECT_EQ(dab(25.0f, 20.0f, 10.0f, 1.0f, 0.5f), 1);
  EXPECT_GT(coverage(25, 20), 240);
  EXPECT_GT(coverage(25, 20), coverage(29, 20));
  EXPECT_GT(coverage(29, 20), coverage(33, 20));
  surface_clear(layer_, 0);
  // Aspect 4 at angle 0 squeezes the vertical axis; at 90 degrees the other.
  mp_surface_draw_dab(&s_, 25, 20, 8, 0, 0, 0, 1, 1, 1, 4.0f, 0.0f);
  EXPECT_EQ(coverage(31, 20), 255);
  EXPECT_EQ(coverage(25, 26), 0);
  surface_clear(layer_, 0);
  mp_surface_draw_dab(&s_, 25, 20, 8, 0, 0, 0, 1, 1, 1, 4.0f, 90.0f);
  EXPECT_EQ(coverage(31, 20), 0);
  EXPECT_EQ(coverage(25, 26), 255);
}

TEST_F(MpSurface, DabAtTheEdgeIsClippedAndFarAwayIgnored) {
  EXPECT_EQ(dab(0.0f, 0.0f, 3.0f), 1);
  EXPECT_EQ(s_.changed.left, 0);
  EXPECT_EQ(s_.changed.top, 0);
  EXPECT_EQ(coverage(0, 0), 255);
  EXPECT_EQ(dab(-1e9f, 5.0f, 3.0f), 0);
  EXPECT_EQ(dab(5.0f, 1e9f, 3.0f), 0);
  EXPECT_EQ(dab(49.5f, 39.5f, 200.0f), 1);  // larger than the layer
  EXPECT_EQ(painted(), 50 * 40);
  EXPECT_EQ(dab(25.0f, 20.0f, 3e30f), 1);  // bounds far beyond any integer
  EXPECT_EQ(s_.changed.left, 0);
  EXPECT_EQ(s_.changed.right, 50);
  EXPECT_EQ(s_.changed.bottom, 40);
}

TEST_F(MpSurface, EraserMaskAndPaper) {
  dab(25, 20, 10);
  s_.eraser = 1;
  mp_surface_draw_dab(&s_, 25, 20, 3, 0, 0, 0, 0.5f, 1, 1, 1, 0);
  EXPECT_NEAR(coverage(25, 20), 127, 1);
  mp_surface_draw_dab(&s_, 25, 20, 3, 0, 0, 0, 1.0f, 1, 1, 1, 0);
  EXPECT_EQ(coverage(25, 20), 0);
  EXPECT_EQ(coverage(25, 28), 255);
  s_.eraser = 0;
  surface_clear(layer_, 0);

  // Mask: only the left half of a 50 x 40 cell grid.
  int32_t cells[40 * 50] = {};
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 25; ++x) cells[y * 50 + x] = kCellInterior;
  surface_rgn rgn{0, 0, 50, 40, cells, 1};
  s_.mask = &rgn;
  dab(25, 20, 10);
  EXPECT_EQ(coverage(22, 20), 255);
  EXPECT_EQ(coverage(27, 20), 0);
  s_.mask = nullptr;
  surface_clear(layer_, 0);

  // Paper: a 2 x 2 texture, tiled; 0 blocks paint, 255 lets it through.
  dib_block* paper = dib_create(2, 0, 2, 0);
  ASSERT_NE(paper, nullptr);
  dib_pixel(paper, 0, 0)[0] = 255;
  dib_pixel(paper, 1, 1)[0] = 255;
  s_.paper = paper;
  dab(25, 20, 10);
  EXPECT_EQ(coverage(24, 20), 255);
  EXPECT_EQ(coverage(25, 20), 0);
  EXPECT_EQ(coverage(25, 21), 255);
  s_.paper = nullptr;
  dib_free(paper);
}

TEST_F(MpSurface, OilKeepsAQuarterOfThePenColour) {
  s_.oil = 1;
  s_.pen_r = 0.0f, s_.pen_g = 1.0f, s_.pen_b = 0.4f;
  mp_surface_draw_dab(&s_, 25, 20, 3, 0.8f, 0.0f, 0.0f, 1, 1, 1, 1, 0);
  unsigned char p[4];
  surface_read_pixel(layer_, 25, 20, p);
  EXPECT_EQ(p[2], 204);  // 0.8 kept
  EXPECT_EQ(p[1], 64);   // raised to 0.25
  EXPECT_EQ(p[0], 26);   // raised to 0.1
}

TEST_F(MpSurface, ColourQueryOverTransparentPaintPicksUpNothing) {
  float rgba[4] = {9, 9, 9, 9};
  ASSERT_EQ(mp_surface_get_color(&s_, 25, 20, 5, rgba), 1);
  for (float v : rgba) EXPECT_EQ(v, 0.0f);
  ASSERT_EQ(mp_surface_get_color(&s_, 25, 20, 3e30f, rgba), 1);  // the whole layer
  EXPECT_EQ(rgba[3], 0.0f);
  // Outside the layer: no pixel, the query fails.
  EXPECT_EQ(mp_surface_get_color(&s_, -100, 20, 5, rgba), 0);
  // Mostly transparent (a <= 0.01) also counts as nothing.
  surface_blend_pixel(layer_, 25, 20, 255, 0, 0, 0.02f);
  ASSERT_EQ(mp_surface_get_color(&s_, 25.5f, 20.5f, 10, rgba), 1);
  EXPECT_EQ(rgba[3], 0.0f);
}

TEST_F(MpSurface, ColourQueryAveragesPaintAndCoverage) {
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 25; ++x) surface_paint_pixel(layer_, x, y, dib_colour(0, 0, 255), 1.0f);
  float rgba[4];
  ASSERT_EQ(mp_surface_get_color(&s_, 10, 20, 4, rgba), 1);
  EXPECT_FLOAT_EQ(rgba[0], 0.0f);
  EXPECT_FLOAT_EQ(rgba[2], 1.0f);
  EXPECT_FLOAT_EQ(rgba[3], 1.0f);
  // On the border half the weight is transparent: a is about one half, and
  // transparent pixels repeat the last colour, so the colour stays blue.
  ASSERT_EQ(mp_surface_get_color(&s_, 25, 20, 6, rgba), 1);
  EXPECT_NEAR(rgba[3], 0.5f, 0.08f);
  EXPECT_FLOAT_EQ(rgba[2], 1.0f);
  EXPECT_FLOAT_EQ(rgba[0], 0.0f);
  // A layer without an alpha plane is opaque everywhere; white paper.
  paint_surface* plain = surface_new_plain(10, 10, dib_colour(255, 255, 255));
  mp_surface q;
  q.layer = plain;
  ASSERT_EQ(mp_surface_get_color(&q, 5, 5, 2, rgba), 1);
  for (float v : rgba) EXPECT_FLOAT_EQ(v, 1.0f);
  surface_free(plain);
}

TEST_F(MpSurface, OilQueryOverBarePaperMixesThePenColourRepeatably) {
  // Left half red paint, right half bare; the pen is loaded with green.
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 25; ++x) surface_paint_pixel(layer_, x, y, dib_colour(255, 0, 0), 1.0f);
  float plain[4], a[4], b[4];
  ASSERT_EQ(mp_surface_get_color(&s_, 25, 20, 6, plain), 1);
  EXPECT_FLOAT_EQ(plain[1], 0.0f);  // bare pixels repeat the red
  mp_surface o1, o2;
  for (mp_surface* o : {&o1, &o2}) {
    o->layer = layer_;
    o->oil = 1;
    o->pen_r = 0.0f, o->pen_g = 1.0f, o->pen_b = 0.0f;
  }
  ASSERT_EQ(mp_surface_get_color(&o1, 25, 20, 6, a), 1);
  ASSERT_EQ(mp_surface_get_color(&o2, 25, 20, 6, b), 1);
  EXPECT_GT(a[1], 0.2f);  // bare pixels bring in green streaks
  EXPECT_LT(a[0], plain[0]);
  EXPECT_FLOAT_EQ(a[3], plain[3]);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(a[i], b[i]) << "seeded: the same every time";
}


// The dab's run blend equals blend-pixel byte for byte, for every coverage
// and opacities from 0 (left alone) through the "counts as 1" range.
TEST(MpBlendRun, EqualsBlendPixel) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 200; ++trial) {
    const int n = 1 + int(rng() % 37);
    std::vector<unsigned char> px(3 * n), cov(n);
    std::vector<float> g(n);
    for (auto& b : px) b = static_cast<unsigned char>(rng());
    for (int k = 0; k < n; ++k) {
      cov[k] = static_cast<unsigned char>(k % 5 == 0 ? 0 : (k % 7 == 0 ? 255 : rng()));
      const int kind = int(rng() % 6);
      g[k] = kind == 0 ? 0.0f : kind == 1 ? 0.995f : float(rng() % 100000) / 100000.0f;
    }
    const uint32_t colour = rng() & 0xFFFFFF;
    std::vector<unsigned char> px2 = px, cov2 = cov;
    mp_blend_run(px.data(), cov.data(), g.data(), n, colour);
    for (int k = 0; k < n; ++k)
      if (g[k] > 0.0f) dib_px_over(&px2[3 * k], &cov2[k], colour, g[k]);
    ASSERT_EQ(px, px2) << "trial " << trial;
    ASSERT_EQ(cov, cov2) << "trial " << trial;
  }
}

}  // namespace
