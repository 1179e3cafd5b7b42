// The cell painter and the region-limited copies and fills.
#include <gtest/gtest.h>

#include <vector>

#include "base/surface.h"
#include "tests/base/dib_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class SurfaceRegion : public LeakCheck {};

unsigned cover(const paint_surface* s, int x, int y) {
  unsigned char p[4];
  return surface_read_pixel(s, x, y, p) ? p[3] : 999;
}
uint32_t colour(const paint_surface* s, int x, int y) { return px(s->colour, x, y); }

// A region of w x h cells at (x, y), all interior.
struct grid {
  std::vector<int32_t> cells;
  surface_rgn rgn;
  grid(int32_t x, int32_t y, int32_t w, int32_t h, int32_t kind = 0)
      : cells(std::size_t(w) * h, kCellInterior), rgn{x, y, w, h, nullptr, kind} {
    rgn.cells = cells.data();
  }
  int32_t& at(int32_t i, int32_t j) { return cells[std::size_t(j) * rgn.width + i]; }
};

// Kind 2/3 codes: top byte 0x20 | kind, direction indices + 1 in bits 20-23
// and 16-19, v and u in bytes 0 and 1.
int32_t edge_code(int kind, int dx, int dy, int v_byte, int u_byte) {
  return static_cast<int32_t>(uint32_t(0x20 | kind) << 24 | uint32_t(dx + 1) << 20 |
                              uint32_t(dy + 1) << 16 | uint32_t(u_byte) << 8 | uint32_t(v_byte));
}

TEST_F(SurfaceRegion, InteriorAndCoverageFactorCells) {
  paint_surface* s = surface_new(4, 4);
  EXPECT_EQ(surface_paint_cell(s, 1, 1, kCellInterior, 0, 0.5f, nullptr), 1);
  EXPECT_EQ(cover(s, 1, 1), 127u);
  EXPECT_EQ(surface_paint_cell(s, 2, 2, kCellBorder, 0, 1.0f, nullptr), 1);
  EXPECT_EQ(cover(s, 2, 2), 255u);
  const int32_t half = 0x21000080;  // kind 1, factor 128 / 255
  surface_paint_cell(s, 3, 3, half, 0, 1.0f, nullptr);
  EXPECT_EQ(cover(s, 3, 3), 128u);
  EXPECT_EQ(surface_paint_cell(s, 0, 0, 0, 0, 1.0f, nullptr), 0) << "outside cell";
  surface_free(s);
}

TEST_F(SurfaceRegion, KindZeroSpreadsTheEdgeAlongTheNormal) {
  paint_surface* s = surface_new(4, 4);
  // Normal (0, 0): the pixel only.
  surface_paint_cell(s, 0, 0, 0x20008080, 0, 1.0f, nullptr);
  EXPECT_EQ(cover(s, 0, 0), 255u);
  EXPECT_EQ(cover(s, 1, 0), 0u);
  EXPECT_EQ(cover(s, 0, 1), 0u);
  // Normal (0.5, 0): half of the pixel's share goes right.
  surface_paint_cell(s, 2, 2, 0x200080C0, 0, 1.0f, nullptr);
  EXPECT_EQ(cover(s, 2, 2), 255u);
  EXPECT_EQ(cover(s, 3, 2), 127u);
  EXPECT_EQ(cover(s, 2, 3), 0u);
  EXPECT_EQ(cover(s, 3, 3), 0u);
  surface_free(s);
  // Normal (0.5, 0.5): right and lower a quarter each, lower-right a quarter;
  // with the pixel's own quarter they make one.
  s = surface_new(4, 4);
  surface_paint_cell(s, 0, 0, 0x2000C0C0, 0, 1.0f, nullptr);
  EXPECT_EQ(cover(s, 1, 0), 63u);
  EXPECT_EQ(cover(s, 0, 1), 63u);
  EXPECT_EQ(cover(s, 1, 1), 63u);
  surface_free(s);
}

TEST_F(SurfaceRegion, KindTwoAndThreeNeighbours) {
  paint_surface* s = surface_new(5, 5);
  // Kind 2, dx = +1, dy = +1, v = 0.5, u = 0: s = v; (x, y+1) at weight(-0.5),
  // (x, y-1) at weight(0.5): both 1 - 0.5 * 0.70711 = 0.646.
  surface_paint_cell(s, 2, 2, edge_code(2, 1, 1, 192, 128), 0, 1.0f, nullptr);
  EXPECT_EQ(cover(s, 2, 2), 255u);
  EXPECT_EQ(cover(s, 2, 3), 164u);
  EXPECT_EQ(cover(s, 2, 1), 164u);
  EXPECT_EQ(cover(s, 1, 2), 0u);
  surface_free(s);
  s = surface_new(5, 5);
  // Kind 3 with u = 0.5, v = 0.5, dy = +1: s = v; (x+dx) at weight(0) = 1,
  // (x-dx) at weight(1) = 0.29.
  surface_paint_cell(s, 2, 2, edge_code(3, 1, 1, 192, 192), 0, 1.0f, nullptr);
  EXPECT_EQ(cover(s, 3, 2), 255u);
  EXPECT_EQ(cover(s, 1, 2), 74u);
  EXPECT_EQ(cover(s, 2, 3), 0u);
  // |v| <= 0.01: no neighbours.
  surface_paint_cell(s, 0, 4, edge_code(3, 1, 1, 128, 192), 0, 1.0f, nullptr);
  EXPECT_EQ(cover(s, 1, 4), 0u);
  surface_free(s);
}

TEST_F(SurfaceRegion, TranslucentNeighboursInsideTheRegionGetAFifth) {
  paint_surface* s = surface_new(5, 5);
  grid g(0, 0, 5, 5);
  const int32_t code = edge_code(3, 1, 1, 192, 128);  // u = 0, v = 0.5: weights 0.646
  surface_paint_cell(s, 2, 2, code, 0, 0.5f, &g.rgn);
  // h = 0.5 * 0.2 = 0.1; 0.646 * 0.1 * 255 = 16.5
  EXPECT_EQ(cover(s, 3, 2), 16u);
  surface_free(s);
  s = surface_new(5, 5);
  g.at(3, 2) = 0;  // outside the region: the full opacity
  surface_paint_cell(s, 2, 2, code, 0, 0.5f, &g.rgn);
  EXPECT_EQ(cover(s, 3, 2), 82u);  // 0.646 * 0.5 * 255 = 82.4
  EXPECT_EQ(cover(s, 1, 2), 16u);
  surface_free(s);
}

TEST_F(SurfaceRegion, CopyRegion) {
  paint_surface* a = surface_new(4, 4);
  paint_surface* b = surface_new(4, 4);
  surface_paint_pixel(a, 0, 0, dib_colour(1, 2, 3), 1.0f);
  surface_paint_pixel(a, 3, 3, dib_colour(4, 5, 6), 1.0f);
  surface_paint_pixel(a, 2, 1, dib_colour(7, 8, 9), 0.2f);
  EXPECT_EQ(surface_copy_region(a, nullptr, a, 0, 0), 0);
  grid g(0, 0, 3, 3);
  ASSERT_EQ(surface_copy_region(a, &g.rgn, b, 1, 0), 1);
  EXPECT_EQ(colour(b, 1, 0), dib_colour(1, 2, 3));
  EXPECT_EQ(cover(b, 1, 0), 255u);
  EXPECT_EQ(cover(b, 3, 1), 51u);
  EXPECT_EQ(cover(b, 0, 0), 0u);
  EXPECT_EQ(cover(b, 3, 3), 0u) << "outside the region";
  ASSERT_EQ(surface_copy_region(a, nullptr, b, 0, 0), 1);
  EXPECT_EQ(cover(b, 3, 3), 255u);
  EXPECT_EQ(cover(b, 1, 1), 0u) << "unpainted pixels leave the target alone";
  surface_free(b);
  surface_free(a);
}

TEST_F(SurfaceRegion, FillRegion) {
  paint_surface* s = surface_new(5, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) surface_paint_pixel(s, x, y, 0, 1.0f);
  grid g(1, 1, 2, 2);
  g.at(1, 1) = 0;
  ASSERT_EQ(surface_fill_region(s, &g.rgn, 255, 0, 0), 1);
  EXPECT_EQ(cover(s, 1, 1), 0u);
  EXPECT_EQ(colour(s, 1, 1), 0xFFFFFFu);
  EXPECT_EQ(cover(s, 2, 2), 255u);
  EXPECT_EQ(cover(s, 0, 0), 255u);
  // A kind-2 border cell also clears the neighbours it points to.
  grid e(3, 3, 1, 1);
  e.at(0, 0) = edge_code(2, 1, 1, 192, 128);
  surface_fill_region(s, &e.rgn, 0, 0, 0);
  EXPECT_EQ(cover(s, 3, 3), 0u);
  EXPECT_EQ(cover(s, 3, 4), 0u);
  EXPECT_EQ(cover(s, 3, 2), 0u);
  EXPECT_EQ(cover(s, 4, 3), 255u);
  // Kind 2 covering everything: the whole surface is cleared.
  grid all(-1, -1, 7, 7, 2);
  surface_fill_region(s, &all.rgn, 0, 0, 0);
  EXPECT_TRUE(dib_rect_empty(s->changed));
  EXPECT_EQ(cover(s, 0, 0), 0u);
  surface_free(s);

  // Colour-only surfaces are painted with the colour.
  paint_surface* plain = surface_new_plain(3, 3, 0xFFFFFF);
  grid one(1, 1, 1, 1);
  surface_fill_region(plain, &one.rgn, 10, 20, 30);
  EXPECT_EQ(colour(plain, 1, 1), dib_colour(10, 20, 30));
  EXPECT_EQ(colour(plain, 0, 0), 0xFFFFFFu);
  surface_fill_region(plain, nullptr, 1, 2, 3);
  EXPECT_EQ(colour(plain, 0, 0), dib_colour(1, 2, 3));
  surface_free(plain);
}
}  // namespace
