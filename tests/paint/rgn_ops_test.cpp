// Region transforms, the view mapping, and regions against layers.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/dib.h"
#include "base/surface.h"
#include "doc/canvas.h"
#include "paint/rgn_layer.h"
#include "paint/rgn_ops.h"
#include "rgn_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class RgnOps : public LeakCheck {};

// An asymmetric outline: no mirror image or turn of it equals it.
const std::vector<rgn_point> kFlag = {{10, 10}, {30, 10}, {30, 14}, {16, 14}, {16, 30}, {10, 30}};

rgn_record* flag() { return rgn_make_polygon(kFlag.data(), int32_t(kFlag.size())); }

// An 8-bit block of the grid's size: 255 inside, 0 outside.
dib_block* mask_block(const rgn_record* r) {
  dib_block* b = dib_create(r->height, 0, r->width, 0);
  for (int32_t j = 0; b && j < r->height; ++j)
    for (int32_t i = 0; i < r->width; ++i)
      *dib_pixel(b, i, j) = r->cells[j * r->width + i] ? 255 : 0;
  return b;
}

// Cells that disagree with the block (inside where it is below 128 or
// outside where it is 128 or more).
int disagreements(const rgn_record* r, const dib_block* b) {
  int n = 0;
  for (int32_t j = 0; j < r->height; ++j)
    for (int32_t i = 0; i < r->width; ++i)
      n += (r->cells[j * r->width + i] != 0) != (*dib_pixel(b, i, j) >= 128);
  return n;
}

struct canvas_view : zun_file_canvas {
  canvas_view(int32_t w, int32_t h) {
    view_setup(0, 0, 800, 600);
    set_document_size(w, h);
  }
};

TEST_F(RgnOps, TranslateMovesGridPointsCentreAndBorder) {
  rgn_ptr r{flag()};
  ASSERT_TRUE(r);
  const std::string before = rgn_picture(r.get());
  const rgn_cell b0 = r->border[0];
  ASSERT_TRUE(rgn_translate(r.get(), -7, 5));
  EXPECT_EQ(r->x, 3);
  EXPECT_EQ(r->y, 15);
  EXPECT_EQ(r->points[0].x, 3);
  EXPECT_EQ(r->points[0].y, 15);
  EXPECT_EQ(r->border[0].x, b0.x - 7);
  EXPECT_EQ(r->border[0].y, b0.y + 5);
  EXPECT_EQ(rgn_picture(r.get()), before);
  rgn_ptr e{rgn_make_ellipse(0, 0, 4, 3)};
  ASSERT_TRUE(rgn_translate(e.get(), 10, 20));
  EXPECT_EQ(e->centre_x, 10);
  EXPECT_EQ(e->centre_y, 20);
  EXPECT_EQ(rgn_translate(nullptr, 1, 1), 0);
}

TEST_F(RgnOps, MirrorFlipAndQuarterTurnMatchTheBitmapTransforms) {
  using transform_fn = int (*)(rgn_record*);
  using bitmap_fn = dib_block* (*)(dib_block*);
  const struct {
    transform_fn region;
    bitmap_fn bitmap;
  } pairs[] = {{rgn_mirror, dib_mirror}, {rgn_flip, dib_flip}, {rgn_quarter_turn, dib_rotate90}};
  for (const auto& p : pairs) {
    rgn_ptr r{flag()};
    ASSERT_TRUE(r);
    dib_block* b = p.bitmap(mask_block(r.get()));
    const dib_rect before = rgn_box(r.get());
    ASSERT_TRUE(p.region(r.get()));
    ASSERT_EQ(r->width, dib_width(b));
    ASSERT_EQ(r->height, dib_height(b));
    EXPECT_EQ(disagreements(r.get(), b), 0);
    // The grid stays about the same centre (to half a cell).
    EXPECT_LE(std::abs((r->x * 2 + r->width) - (before.left + before.right)), 1);
    EXPECT_LE(std::abs((r->y * 2 + r->height) - (before.top + before.bottom)), 1);
    // The transformed points describe the transformed cells.
    rgn_ptr rebuilt{rgn_copy(r.get())};
    ASSERT_TRUE(rgn_rebuild(rebuilt.get()));
    EXPECT_EQ(rgn_picture(rebuilt.get()), rgn_picture(r.get()));
    EXPECT_EQ(rebuilt->x, r->x);
    EXPECT_EQ(rebuilt->y, r->y);
    dib_free(b);
  }
  // Four quarter turns come back to the start; two mirrors too.
  rgn_ptr r{flag()}, start{flag()};
  for (int k = 0; k < 4; ++k) ASSERT_TRUE(rgn_quarter_turn(r.get()));
  EXPECT_EQ(rgn_picture(r.get()), rgn_picture(start.get()));
  EXPECT_EQ(r->x, start->x);
  EXPECT_EQ(r->points[2].x, start->points[2].x);
  ASSERT_TRUE(rgn_mirror(r.get()) && rgn_mirror(r.get()));
  EXPECT_EQ(rgn_picture(r.get()), rgn_picture(start.get()));
}

TEST_F(RgnOps, ShapesFollowTheirTransforms) {
  // Ellipses and rounded rectangles swap their radii on a quarter turn.
  rgn_ptr e{rgn_make_ellipse(50, 50, 12, 5)};
  ASSERT_TRUE(rgn_quarter_turn(e.get()));
  EXPECT_EQ(e->radius1, 5);
  EXPECT_EQ(e->radius2, 12);
  EXPECT_EQ(e->centre_x, 50);
  EXPECT_EQ(e->centre_y, 50);
  rgn_ptr fresh{rgn_make_ellipse(50, 50, 5, 12)};
  EXPECT_EQ(rgn_picture(e.get()), rgn_picture(fresh.get()));
  // A sector's angles turn and reflect with it.
  rgn_ptr s{rgn_make_sector(0, 0, 15, 10, 60)};
  ASSERT_TRUE(rgn_quarter_turn(s.get()));
  EXPECT_EQ(s->start_angle, 100);
  rgn_ptr turned{rgn_make_sector(0, 0, 15, 100, 60)};
  EXPECT_EQ(rgn_picture(s.get()), rgn_picture(turned.get()));
  ASSERT_TRUE(rgn_mirror(s.get()));
  EXPECT_EQ(s->start_angle, 20);  // 180 - (100 + 60)
  ASSERT_TRUE(rgn_flip(s.get()));
  EXPECT_EQ(s->start_angle, 280);  // -(20 + 60)
}

TEST_F(RgnOps, RotationUsesTheBitmapRotationsSizeAndSense) {
  rgn_ptr r{flag()};
  dib_block* b = mask_block(r.get());
  b = dib_rotate(b, 30.0f, 0);
  ASSERT_TRUE(rgn_rotate(r.get(), 30.0));
  ASSERT_EQ(r->width, dib_width(b));
  ASSERT_EQ(r->height, dib_height(b));
  // Nearest cells against bilinear pixels: they may differ along the edges only.
  const int64_t inside = rgn_inside_count(r.get());
  EXPECT_GT(inside, 150);
  EXPECT_LT(disagreements(r.get(), b), inside / 5);
  dib_free(b);
  // Exactly 90 degrees is a quarter turn, 360 nothing at all.
  rgn_ptr a{flag()}, q{flag()};
  ASSERT_TRUE(rgn_rotate(a.get(), 90.0));
  ASSERT_TRUE(rgn_quarter_turn(q.get()));
  EXPECT_EQ(rgn_picture(a.get()), rgn_picture(q.get()));
  EXPECT_EQ(a->x, q->x);
  ASSERT_TRUE(rgn_rotate(a.get(), -450.0));
  rgn_ptr start{flag()};
  EXPECT_EQ(rgn_picture(a.get()), rgn_picture(start.get()));
  // A turned ellipse is no longer an axis-aligned ellipse.
  rgn_ptr e{rgn_make_ellipse(0, 0, 10, 4)};
  ASSERT_TRUE(rgn_rotate(e.get(), 20.0));
  EXPECT_EQ(e->kind, kRgnCells);
}

TEST_F(RgnOps, ScaleResamplesAboutTheCentre) {
  rgn_ptr r{flag()};
  ASSERT_TRUE(r);
  const rgn_ptr start{flag()};
  ASSERT_TRUE(rgn_scale(r.get(), 2 * start->width, 2 * start->height));
  EXPECT_EQ(r->width, 42);
  EXPECT_EQ(r->height, 42);
  EXPECT_EQ(r->x, 10 - 11);
  for (int32_t j = 0; j < r->height; ++j)
    for (int32_t i = 0; i < r->width; ++i)
      EXPECT_EQ(r->cells[j * 42 + i] != 0, start->cells[(j / 2) * 21 + i / 2] != 0);
  EXPECT_EQ(rgn_inside_count(r.get()), 4 * rgn_inside_count(start.get()));
  EXPECT_EQ(rgn_scale(r.get(), 0, 5), 0);
  EXPECT_EQ(r->width, 42);  // unchanged after a refused scale
  // Centred shapes take the new size as their radii.
  rgn_ptr e{rgn_make_ellipse(0, 0, 10, 10)};
  ASSERT_TRUE(rgn_scale(e.get(), 41, 11));
  EXPECT_EQ(e->radius1, 20);
  EXPECT_EQ(e->radius2, 5);
}

TEST_F(RgnOps, MappingToTheDocumentThroughTheView) {
  canvas_view view(200, 100);
  // 1:1, unrotated: only the origin moves (doc = screen - offset).
  rgn_ptr r{flag()};
  rgn_ptr d{rgn_to_document(r.get(), view)};
  ASSERT_TRUE(d);
  EXPECT_EQ(d->x, r->x - view.offset_x);
  EXPECT_EQ(d->y, r->y - view.offset_y);
  EXPECT_EQ(rgn_picture(d.get()), rgn_picture(r.get()));
  EXPECT_EQ(d->points[0].x, kFlag[0].x - view.offset_x);

  // Zoomed in twice: outlines map their points and are rebuilt, half size.
  view.scale_step = 2;
  view.offset_x = 0, view.offset_y = 0;
  d.reset(rgn_to_document(r.get(), view));
  ASSERT_TRUE(d);
  EXPECT_EQ(d->kind, kRgnPolygon);
  EXPECT_EQ(d->points[1].x, 15);
  EXPECT_EQ(d->width, 11);
  // Ellipses map centre and radii.
  rgn_ptr e{rgn_make_ellipse(100, 60, 20, 10)};
  d.reset(rgn_to_document(e.get(), view));
  ASSERT_TRUE(d);
  EXPECT_EQ(d->centre_x, 50);
  EXPECT_EQ(d->centre_y, 30);
  EXPECT_EQ(d->radius1, 10);
  EXPECT_EQ(d->radius2, 5);

  // Rotated: the ellipse becomes a cell grid where every document cell
  // takes the screen cell under it.
  view.scale_step = 1;
  view.angle = 30;
  d.reset(rgn_to_document(e.get(), view));
  ASSERT_TRUE(d);
  EXPECT_EQ(d->kind, kRgnCells);
  int64_t checked = 0;
  for (int32_t y = d->y; y < d->y + d->height; ++y) {
    for (int32_t x = d->x; x < d->x + d->width; ++x) {
      const canvas_point s = view.doc_to_screen(x, y);
      EXPECT_EQ(rgn_cell_at(d.get(), x, y) != 0, rgn_cell_at(e.get(), s.x, s.y) != 0);
      ++checked;
    }
  }
  EXPECT_GT(checked, 400);
  // And back to the screen: nearly the ellipse again (nearest lookups twice).
  rgn_ptr back{rgn_to_screen(d.get(), view)};
  ASSERT_TRUE(back);
  int differ = 0;
  for (int32_t y = 50; y <= 70; ++y)
    for (int32_t x = 80; x <= 120; ++x)
      differ += (rgn_cell_at(back.get(), x, y) != 0) != (rgn_cell_at(e.get(), x, y) != 0);
  EXPECT_LT(differ, 60);
  EXPECT_GT(rgn_inside_count(back.get()), rgn_inside_count(e.get()) * 9 / 10);
}

TEST_F(RgnOps, FillPasteAndExactCopyOnALayer) {
  paint_surface* layer = surface_new(40, 50);
  ASSERT_TRUE(layer);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 50; ++x) surface_paint_pixel(layer, x, y, dib_colour(x * 5, y * 6, 7), 0.6f);
  paint_surface* before = surface_clone(layer);
  rgn_ptr r{rgn_make_ellipse(20, 20, 8, 6)};
  ASSERT_TRUE(rgn_fill(layer, r.get(), dib_colour(255, 255, 255)));
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 50; ++x) {
      unsigned char p[4], q[4];
      surface_read_pixel(layer, x, y, p);
      surface_read_pixel(before, x, y, q);
      if (rgn_cell_at(r.get(), x, y)) {
        EXPECT_EQ(p[3], 0);
        EXPECT_EQ(p[0] & p[1] & p[2], 255);
      } else {
        EXPECT_EQ(std::memcmp(p, q, 4), 0) << x << "," << y;
      }
    }
  }
  // The exact copy puts every byte back, moved by an offset.
  ASSERT_TRUE(rgn_copy_pixels(before, r.get(), layer, 0, 0));
  for (int32_t y = 0; y < 40; ++y)
    ASSERT_EQ(std::memcmp(dib_row(layer->colour, y), dib_row(before->colour, y), 150), 0);
  ASSERT_TRUE(rgn_copy_pixels(before, r.get(), layer, 15, -3));
  unsigned char p[4], q[4];
  surface_read_pixel(layer, 35, 17, p);
  surface_read_pixel(before, 20, 20, q);
  EXPECT_EQ(std::memcmp(p, q, 4), 0);
  EXPECT_EQ(rgn_copy_pixels(before, r.get(), before, 0, 0), 0);

  // Paste: picture and coverage replace what is under the region only.
  dib_block* colour = dib_create(13, 1, 17, dib_colour(1, 2, 3));
  dib_block* cover = dib_create(13, 0, 17, 99);
  ASSERT_TRUE(rgn_paste(layer, r.get(), colour, cover, 12, 14));
  surface_read_pixel(layer, 20, 20, p);
  EXPECT_EQ(p[2], 1);
  EXPECT_EQ(p[3], 99);
  surface_read_pixel(layer, 12, 20, p);  // the ellipse tip, on the picture's left column
  EXPECT_EQ(p[3], 99);
  surface_read_pixel(layer, 5, 5, p);
  surface_read_pixel(before, 5, 5, q);
  EXPECT_EQ(std::memcmp(p, q, 4), 0);
  dib_block* wrong = dib_create(3, 0, 3, 0);
  EXPECT_EQ(rgn_paste(layer, r.get(), colour, wrong, 0, 0), 0);
  dib_free(wrong);
  dib_free(colour);
  dib_free(cover);
  surface_free(before);
  surface_free(layer);
}
}  // namespace
