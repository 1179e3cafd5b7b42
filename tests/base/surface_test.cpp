// The surface: record, changed area, reduced copy, per-pixel operations, drawing.
#include "base/surface.h"

#include <gtest/gtest.h>

#include <random>

#include "base/dib_pixel.h"
#include "tests/base/dib_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class Surface : public LeakCheck {};

bool same_rect(const dib_rect& a, const dib_rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
unsigned cover(const paint_surface* s, int x, int y) {
  unsigned char p[4];
  return surface_read_pixel(s, x, y, p) ? p[3] : 999;
}
uint32_t colour(const paint_surface* s, int x, int y) { return px(s->colour, x, y); }

TEST_F(Surface, NewCloneFree) {
  EXPECT_EQ(surface_new(0, 4), nullptr);
  EXPECT_EQ(surface_new(4, 0), nullptr);
  paint_surface* s = surface_new(3, 5);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->kind, 1);
  EXPECT_EQ(s->width, 5);
  EXPECT_EQ(s->height, 3);
  EXPECT_EQ(colour(s, 4, 2), 0xFFFFFFu);
  EXPECT_EQ(cover(s, 4, 2), 0u);
  EXPECT_TRUE(dib_rect_empty(s->changed));
  EXPECT_EQ(s->step_x, 1.0f);

  surface_blend_pixel(s, 1, 1, 10, 20, 30, 1.0f);
  paint_surface* c = surface_clone(s);
  ASSERT_NE(c, nullptr);
  EXPECT_NE(c->colour, s->colour);
  EXPECT_EQ(c->colour_bits, dib_pixels(c->colour)) << "caches point at the copy";
  EXPECT_EQ(colour(c, 1, 1), dib_colour(10, 20, 30));
  surface_blend_pixel(c, 2, 2, 0, 0, 0, 1.0f);
  EXPECT_EQ(colour(s, 2, 2), 0xFFFFFFu);
  EXPECT_TRUE(same_rect(s->changed, dib_rect{1, 1, 2, 2}));
  surface_free(c);
  surface_free(s);
  surface_free(nullptr);
}

TEST_F(Surface, ChangedAreaBookkeeping) {
  paint_surface* s = surface_new(10, 10);
  EXPECT_EQ(surface_blend_pixel(s, 3, 4, 0, 0, 0, 0.5f), 1);
  EXPECT_TRUE(same_rect(s->changed, dib_rect{3, 4, 4, 5})) << "exactly that pixel";
  surface_paint_pixel(s, 6, 2, 0, 1.0f);
  EXPECT_TRUE(same_rect(s->changed, dib_rect{3, 2, 7, 5}));
  EXPECT_EQ(surface_blend_pixel(s, 10, 0, 0, 0, 0, 1.0f), 0) << "outside";
  EXPECT_EQ(surface_blend_pixel(s, -1, 0, 0, 0, 0, 1.0f), 0);
  EXPECT_TRUE(same_rect(s->changed, dib_rect{3, 2, 7, 5}));
  surface_note_pixel(s, 11, 11);
  EXPECT_TRUE(same_rect(s->changed, dib_rect{3, 2, 7, 5}));
  surface_note_rect(s, dib_rect{-4, 8, 2, 20});
  EXPECT_TRUE(same_rect(s->changed, dib_rect{0, 2, 7, 10})) << "clipped to the surface";
  EXPECT_TRUE(same_rect(surface_changed_area(s, 1), dib_rect{0, 1, 8, 10}));
  EXPECT_EQ(surface_clear(s, 0), 1);
  EXPECT_TRUE(dib_rect_empty(s->changed));
  EXPECT_EQ(cover(s, 3, 4), 0u);
  EXPECT_EQ(colour(s, 6, 2), 0xFFFFFFu);
  surface_free(s);

  // Colour-only surfaces track nothing.
  paint_surface* plain = surface_new_plain(4, 4, 0xC0C0C0);
  surface_blend_pixel(plain, 1, 1, 0, 0, 0, 1.0f);
  EXPECT_TRUE(dib_rect_empty(plain->changed));
  EXPECT_EQ(cover(plain, 1, 1), 255u);
  EXPECT_EQ(colour(plain, 1, 1), 0u);
  surface_clear(plain, 0x112233);
  EXPECT_EQ(colour(plain, 1, 1), 0x112233u);
  surface_free(plain);
}

TEST_F(Surface, PerPixelOperations) {
  paint_surface* s = surface_new(4, 4);
  surface_blend_pixel(s, 0, 0, 0, 0, 255, 0.5f);
  unsigned char p[4];
  ASSERT_EQ(surface_read_pixel(s, 0, 0, p), 1);
  EXPECT_EQ(p[0], 255);  // blue first
  EXPECT_EQ(p[3], 127);
  surface_fade_pixel(s, 0, 0, 0.25f);
  EXPECT_EQ(cover(s, 0, 0), 63u);  // (127/255 - 0.25) * 255 = 63.25
  EXPECT_EQ(p[0], 255);
  surface_fade_pixel(s, 0, 0, 0.5f);  // fades out completely: white again
  EXPECT_EQ(cover(s, 0, 0), 0u);
  EXPECT_EQ(colour(s, 0, 0), 0xFFFFFFu);
  surface_paint_pixel(s, 1, 1, dib_colour(1, 2, 3), 0.2f);
  EXPECT_EQ(cover(s, 1, 1), 51u);
  EXPECT_EQ(colour(s, 1, 1), dib_colour(1, 2, 3));
  surface_erase_pixel(s, 1, 1, 0);
  EXPECT_EQ(cover(s, 1, 1), 0u);
  EXPECT_EQ(colour(s, 1, 1), 0xFFFFFFu);
  EXPECT_TRUE(same_rect(s->changed, dib_rect{0, 0, 2, 2}));

  paint_surface* t = surface_new(4, 4);
  surface_paint_pixel(s, 2, 2, 0, 1.0f);
  ASSERT_EQ(surface_copy_pixel(s, t, 2, 2), 1);
  EXPECT_EQ(cover(t, 2, 2), 255u);
  EXPECT_EQ(colour(t, 2, 2), 0u);
  EXPECT_EQ(surface_copy_pixel(s, t, 4, 2), 0);
  surface_free(t);
  surface_free(s);
}

TEST_F(Surface, ReducedCopyFollowsSteppedPixels) {
  paint_surface* s = surface_new(8, 8);
  ASSERT_EQ(surface_set_reduced(s, 4, 4), 1);
  EXPECT_EQ(s->step_x, 2.0f);
  EXPECT_EQ(px(s->reduced, 1, 1), 0xFFFFFFu);
  surface_blend_pixel(s, 2, 2, 0, 0, 0, 1.0f);
  EXPECT_EQ(px(s->reduced, 1, 1), 0u);
  surface_blend_pixel(s, 5, 4, 0, 0, 0, 1.0f);  // odd x: not on a step
  EXPECT_EQ(px(s->reduced, 2, 2), 0xFFFFFFu);
  surface_blend_pixel(s, 6, 7, 0, 0, 0, 1.0f);  // odd y
  EXPECT_EQ(px(s->reduced, 3, 3), 0xFFFFFFu);
  // Rebuilt from the colours when cleared.
  surface_clear(s, 0);
  EXPECT_EQ(px(s->reduced, 1, 1), 0xFFFFFFu);
  // Building from scratch samples the same steps.
  dib_fill(s->colour, 0x010203, nullptr);
  surface_rebuild_reduced(s);
  EXPECT_EQ(px(s->reduced, 3, 3), 0x010203u);
  EXPECT_EQ(surface_set_reduced(s, 0, 0), 1);
  EXPECT_EQ(s->reduced, nullptr);
  surface_free(s);
}

TEST_F(Surface, DrawTruncatesTheBlend) {
  paint_surface* s = surface_new(2, 3);
  dib_fill(s->colour, 0, nullptr);
  dib_fill(s->coverage, 128, nullptr);
  surface_note_rect(s, dib_rect{0, 0, 3, 2});
  dib_block* t = dib_create(2, 1, 3, 0xFFFFFF);
  ASSERT_EQ(surface_draw_to(s, t, nullptr, 1.0f), 1);
  // (0 - 255) * 128 / 256 = -127.5, truncated to -127.
  EXPECT_EQ(px(t, 0, 0), 0x808080u);
  EXPECT_EQ(px(t, 2, 1), 0x808080u);
  // At opacity 0.5: a = 64, (0 - 255) * 64 / 256 = -63.75 -> -63.
  dib_fill(t, 0xFFFFFF, nullptr);
  surface_draw_to(s, t, nullptr, 0.5f);
  EXPECT_EQ(px(t, 1, 1), dib_colour(192, 192, 192));
  // Full coverage at opacity 1 gives the colour exactly.
  dib_fill(s->coverage, 255, nullptr);
  dib_fill(s->colour, 0xFFFFFF, nullptr);
  dib_fill(t, 0, nullptr);
  surface_draw_to(s, t, nullptr, 1.0f);
  EXPECT_EQ(px(t, 0, 1), 0xFFFFFFu);
  dib_free(t);
  surface_free(s);
}

// Every coverage and opacity, across row widths that leave tails of any length,
// against the formula written with C's own truncating division.
TEST_F(Surface, DrawMatchesTheFormulaEverywhere) {
  std::mt19937 rng(5);
  for (float g : {1.0f, 0.5f, 0.37f, 0.999f, 0.02f, 0.7f}) {
    for (int round = 0; round < 8; ++round) {
      for (int w : {1, 15, 16, 17, 31, 32, 33, 37, 47, 64, 95, 100}) {
        paint_surface* s = surface_new(3, w);
        dib_block* t = dib_create(3, 1, w, 0);
        for (int y = 0; y < 3; ++y)
          for (int x = 0; x < w; ++x) {
            set_px(s->colour, x, y, rng() & 0xFFFFFF);
            set_px(t, x, y, rng() & 0xFFFFFF);
            // Row 0: 0, 255 and anything between; row 1: one coverage for the
            // whole row (the inside of a stroke); row 2: 255 but for one pixel.
            const unsigned r = rng() % 4;
            unsigned char& c = dib_pixel(s->coverage, x, y)[0];
            if (y == 0) c = r == 0 ? 0 : r == 1 ? 255 : rng() & 255;
            if (y == 1)
              c = static_cast<unsigned char>(x == 0 ? rng() : dib_pixel(s->coverage, 0, 1)[0]);
            if (y == 2) c = x == w / 2 ? 77 : 255;
          }
        surface_note_rect(s, dib_rect{0, 0, w, 3});
        dib_block* before = dib_clone(t);
        surface_draw_to(s, t, nullptr, g);
        const float eff = g >= 0.99f ? 1.0f : g;
        for (int y = 0; y < 3; ++y)
          for (int x = 0; x < w; ++x) {
            const unsigned char* p = dib_pixel(s->colour, x, y);
            const unsigned char* q0 = dib_pixel(before, x, y);
            const unsigned char* q = dib_pixel(t, x, y);
            const int a = static_cast<int>(eff * dib_pixel(s->coverage, x, y)[0]);
            for (int c = 0; c < 3; ++c) {
              const int want = a == 255 ? p[c] : q0[c] + (p[c] - q0[c]) * a / 256;
              ASSERT_EQ(q[c], want) << "g " << g << " w " << w << " at " << x << "," << y;
            }
          }
        dib_free(before);
        dib_free(t);
        surface_free(s);
      }
    }
  }
}

TEST_F(Surface, DrawCoversOnlyTheChangedAreaAndClip) {
  paint_surface* s = surface_new(6, 6);
  for (int x = 0; x < 6; ++x) surface_paint_pixel(s, x, 2, dib_colour(0, 0, 0), 1.0f);
  dib_fill(s->colour, 0, nullptr);  // colour outside the changed area must not show
  dib_block* t = dib_create(6, 1, 6, 0xFFFFFF);
  dib_rect clip{1, 0, 4, 6};
  ASSERT_EQ(surface_draw_to(s, t, &clip, 1.0f), 1);
  EXPECT_EQ(px(t, 0, 2), 0xFFFFFFu);
  EXPECT_EQ(px(t, 1, 2), 0u);
  EXPECT_EQ(px(t, 3, 2), 0u);
  EXPECT_EQ(px(t, 4, 2), 0xFFFFFFu);
  EXPECT_EQ(px(t, 2, 3), 0xFFFFFFu);
  // Cleared: nothing is drawn any more.
  surface_clear(s, 0);
  dib_fill(t, 0x123456, nullptr);
  surface_draw_to(s, t, nullptr, 1.0f);
  EXPECT_EQ(px(t, 2, 2), 0x123456u);
  // A target smaller than the surface is clipped, not overrun.
  surface_paint_pixel(s, 5, 5, 0, 1.0f);
  dib_block* small = dib_create(2, 1, 2, 0xFFFFFF);
  EXPECT_EQ(surface_draw_to(s, small, nullptr, 1.0f), 1);
  dib_free(small);
  // Kind 0: copied at opacity 1, blended otherwise.
  paint_surface* plain = surface_new_plain(2, 2, 0);
  dib_fill(t, 0xFFFFFF, nullptr);
  surface_draw_to(plain, t, nullptr, 0.5f);
  EXPECT_EQ(px(t, 1, 1), 0x818181u);  // a = 127: (0 - 255) * 127 / 256 = -126.5 -> -126
  surface_draw_to(plain, t, nullptr, 1.0f);
  EXPECT_EQ(px(t, 1, 1), 0u);
  EXPECT_EQ(px(t, 2, 2), 0xFFFFFFu);
  surface_free(plain);
  dib_free(t);
  surface_free(s);
}

TEST_F(Surface, PasteClipsToTheOverlap) {
  paint_surface* s = surface_new(8, 8);
  dib_block* img = dib_create(10, 1, 10, dib_colour(9, 8, 7));
  ASSERT_EQ(surface_paste(s, -5, -5, img, 0, 0, nullptr, 1.0f), 1);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool in = x < 5 && y < 5;
      ASSERT_EQ(cover(s, x, y), in ? 255u : 0u) << x << "," << y;
      ASSERT_EQ(colour(s, x, y), in ? dib_colour(9, 8, 7) : 0xFFFFFFu);
    }
  EXPECT_TRUE(same_rect(s->changed, dib_rect{0, 0, 5, 5}));

  // Wholly inside: row copies, same result.
  surface_clear(s, 0);
  dib_block* small = numbered(3, 2);
  ASSERT_EQ(surface_paste(s, 4, 5, small, 0, 0, nullptr, 1.0f), 1);
  EXPECT_EQ(colour(s, 4, 5), px(small, 0, 0));
  EXPECT_EQ(colour(s, 6, 6), px(small, 2, 1));
  EXPECT_EQ(cover(s, 6, 6), 255u);
  EXPECT_EQ(cover(s, 7, 6), 0u);
  EXPECT_TRUE(same_rect(s->changed, dib_rect{4, 5, 7, 7}));
  // A rectangle larger than the image takes only the image's pixels.
  surface_clear(s, 0);
  ASSERT_EQ(surface_paste(s, 0, 0, small, 5, 5, nullptr, 1.0f), 1);
  EXPECT_EQ(cover(s, 2, 1), 255u);
  EXPECT_EQ(cover(s, 3, 1), 0u);
  EXPECT_EQ(cover(s, 0, 2), 0u);
  EXPECT_EQ(surface_paste(s, 8, 0, small, 0, 0, nullptr, 1.0f), 0) << "no overlap";
  dib_free(small);
  dib_free(img);
  surface_free(s);
}

TEST_F(Surface, PasteThroughAlphaAndOpacity) {
  paint_surface* s = surface_new(2, 3);
  dib_block* img = dib_create(2, 1, 3, 0);
  dib_block* alpha = dib_create(2, 0, 3, 0);
  dib_pixel(alpha, 1, 0)[0] = 255;
  dib_pixel(alpha, 2, 0)[0] = 51;
  ASSERT_EQ(surface_paste(s, 0, 0, img, 0, 0, alpha, 1.0f), 1);
  EXPECT_EQ(cover(s, 0, 0), 0u);
  EXPECT_EQ(colour(s, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(cover(s, 1, 0), 255u);
  EXPECT_EQ(cover(s, 2, 0), 51u);
  EXPECT_EQ(surface_paste(s, 0, 1, img, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(cover(s, 0, 1), 0u);
  ASSERT_EQ(surface_paste(s, 0, 1, img, 0, 0, nullptr, 0.5f), 1);
  EXPECT_EQ(cover(s, 0, 1), 127u);
  surface_clear(s, 0);
  ASSERT_EQ(surface_paste(s, 0, 0, img, 0, 0, alpha, 3.0f), 1);  // above 1 counts as 1
  EXPECT_EQ(cover(s, 1, 0), 255u);
  dib_free(alpha);
  dib_free(img);
  surface_free(s);
}
}  // namespace
