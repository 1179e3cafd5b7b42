// Region records: the rasterisers of every kind, classification and the
// border list.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "paint/rgn_border.h"
#include "paint/rgn_record.h"
#include "rgn_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class RgnRecord : public LeakCheck {};

// Every cell whose centre the outline clearly contains is inside; every
// cell clearly outside (more than a cell from the outline) is outside.
void expect_matches_outline(const rgn_record* r, const std::vector<rgn_point>& p) {
  int checked_in = 0, checked_out = 0;
  for (int32_t j = 0; j < r->height; ++j) {
    for (int32_t i = 0; i < r->width; ++i) {
      const double x = r->x + i + 1e-3, y = r->y + j + 2e-3;
      const bool cell = r->cells[j * r->width + i] != 0;
      if (outline_contains(p, x, y)) {
        EXPECT_TRUE(cell) << "hole at " << r->x + i << "," << r->y + j;
        ++checked_in;
      } else if (outline_distance(p, x, y) > 1.0) {
        EXPECT_FALSE(cell) << "leak at " << r->x + i << "," << r->y + j;
        ++checked_out;
      }
    }
  }
  EXPECT_GT(checked_in, 0);
}

TEST_F(RgnRecord, PolygonGridCoversThePointsAndNeedsThreeOfThem) {
  const rgn_point two[2] = {{0, 0}, {5, 5}};
  EXPECT_EQ(rgn_make_polygon(two, 2), nullptr);
  EXPECT_EQ(rgn_make_polygon(nullptr, 5), nullptr);
  // The closing point may be given or not: the same region.
  const std::vector<rgn_point> open = {{3, 4}, {12, 4}, {12, 10}, {3, 10}};
  std::vector<rgn_point> closed = open;
  closed.push_back(open[0]);
  rgn_ptr a{rgn_make_polygon(open.data(), 4)}, b{rgn_make_polygon(closed.data(), 5)};
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->kind, kRgnPolygon);
  EXPECT_EQ(a->x, 3);
  EXPECT_EQ(a->y, 4);
  EXPECT_EQ(a->width, 10);
  EXPECT_EQ(a->height, 7);
  EXPECT_EQ(rgn_inside_count(a.get()), 70);  // the outline's cells are inside
  EXPECT_EQ(rgn_picture(a.get()), rgn_picture(b.get()));
  EXPECT_EQ(rgn_cell_at(a.get(), 3, 4), kCellBorder);
  EXPECT_EQ(rgn_cell_at(a.get(), 5, 6), kCellInterior);
  EXPECT_EQ(rgn_cell_at(a.get(), 2, 4), 0);
  EXPECT_EQ(rgn_cell_at(a.get(), 13, 11), 0);
}

TEST_F(RgnRecord, FigureEightFillsBothLoops) {
  // Two triangles crossing at (20, 10): the outline runs through its own crossing.
  const std::vector<rgn_point> p = {{0, 0}, {40, 20}, {40, 0}, {0, 20}};
  rgn_ptr r{rgn_make_polygon(p.data(), 4)};
  ASSERT_TRUE(r);
  EXPECT_NE(rgn_cell_at(r.get(), 5, 10), 0);   // left loop
  EXPECT_NE(rgn_cell_at(r.get(), 35, 10), 0);  // right loop
  EXPECT_EQ(rgn_cell_at(r.get(), 20, 3), 0);   // between the loops, above the crossing
  EXPECT_EQ(rgn_cell_at(r.get(), 20, 17), 0);
  expect_matches_outline(r.get(), p);
}

TEST_F(RgnRecord, PeaksAndValleysDoNotOpenTheFill) {
  // A crown: peaks at rows 0 and 4, valleys at row 10 (single vertices and a
  // flat valley), a step whose horizontal edge lies on row 14, a flat bottom.
  const std::vector<rgn_point> p = {{0, 30}, {0, 10}, {5, 0},  {10, 10}, {15, 4},
                                    {20, 10}, {26, 10}, {30, 0}, {35, 10}, {40, 14},
                                    {46, 14}, {50, 30}};
  rgn_ptr r{rgn_make_polygon(p.data(), int32_t(p.size()))};
  ASSERT_TRUE(r);
  expect_matches_outline(r.get(), p);
  // Right of every valley vertex on row 10 the crown is still filled, and
  // nothing right of the shape is.
  EXPECT_NE(rgn_cell_at(r.get(), 12, 10), 0);
  EXPECT_NE(rgn_cell_at(r.get(), 23, 10), 0);
  EXPECT_NE(rgn_cell_at(r.get(), 43, 20), 0);
  EXPECT_EQ(rgn_cell_at(r.get(), 48, 10), 0);
  EXPECT_EQ(rgn_cell_at(r.get(), 15, 2), 0);  // above the low peak
  // Row 0 holds only the two peak tips.
  int row0 = 0;
  for (int32_t x = 0; x <= 50; ++x) row0 += rgn_cell_at(r.get(), x, 0) != 0;
  EXPECT_EQ(row0, 2);
}

TEST_F(RgnRecord, ManyVertexOutlinesAgainstThePointInPolygonTest) {
  // A star of 200 spikes whose points fall on shared rows over and over,
  // and a self-crossing scribble: every row meets many edges and runs.
  std::vector<rgn_point> star, scribble;
  for (int k = 0; k < 400; ++k) {
    const double a = k * 3.14159265358979 / 200, r = k % 2 ? 30 : 100 + (k % 7) * 3;
    star.push_back({int32_t(std::lround(150 + r * std::cos(a))), int32_t(std::lround(150 + r * std::sin(a)))});
  }
  uint32_t seed = 12345;
  for (int k = 0; k < 300; ++k) {
    seed = seed * 1103515245u + 12345u;
    const int32_t x = int32_t(seed >> 8) % 300;
    seed = seed * 1103515245u + 12345u;
    scribble.push_back({x, int32_t((seed >> 8) % 40) * 5});  // rows repeat: many runs
  }
  for (const auto* p : {&star, &scribble}) {
    rgn_ptr r{rgn_make_polygon(p->data(), int32_t(p->size()))};
    ASSERT_TRUE(r);
    expect_matches_outline(r.get(), *p);
  }
}

TEST_F(RgnRecord, EllipsesOfBothRasterisers) {
  // Radii below 1 count as 1.
  rgn_ptr dot{rgn_make_ellipse(5, 5, 0, -3)};
  ASSERT_TRUE(dot);
  EXPECT_EQ(dot->width, 3);
  EXPECT_EQ(dot->height, 3);
  EXPECT_EQ(dot->kind, kRgnEllipse);

  // A circle: symmetric in both axes and about the diagonal; x^2 + y^2 <= r^2 + r.
  rgn_ptr c{rgn_make_ellipse(20, 30, 6, 6)};
  ASSERT_TRUE(c);
  EXPECT_EQ(c->x, 14);
  EXPECT_EQ(c->y, 24);
  for (int32_t dy = -6; dy <= 6; ++dy)
    for (int32_t dx = -6; dx <= 6; ++dx)
      EXPECT_EQ(rgn_cell_at(c.get(), 20 + dx, 30 + dy) != 0, dx * dx + dy * dy <= 42)
          << dx << "," << dy;

  // Near-circular (ratio above 0.5): the mirror images agree, the axis
  // tips are in, the box corners out.
  rgn_ptr e{rgn_make_ellipse(0, 0, 10, 7)};
  ASSERT_TRUE(e);
  EXPECT_EQ(e->width, 21);
  EXPECT_EQ(e->height, 15);
  for (int32_t y = -7; y <= 7; ++y)
    for (int32_t x = -10; x <= 10; ++x)
      EXPECT_EQ(rgn_cell_at(e.get(), x, y) != 0, rgn_cell_at(e.get(), -x, -y) != 0);
  EXPECT_NE(rgn_cell_at(e.get(), 10, 0), 0);
  EXPECT_NE(rgn_cell_at(e.get(), 0, -7), 0);
  EXPECT_EQ(rgn_cell_at(e.get(), 10, 7), 0);

  // Flat (ratio 0.5 or less), either way round: every step of the long axis
  // keeps its cell on the centre line up to both tips, and the two
  // orientations are transposes of each other.
  rgn_ptr wide{rgn_make_ellipse(0, 0, 30, 3)}, tall{rgn_make_ellipse(0, 0, 3, 30)};
  ASSERT_TRUE(wide && tall);
  for (int32_t x = -30; x <= 30; ++x) EXPECT_NE(rgn_cell_at(wide.get(), x, 0), 0) << x;
  EXPECT_EQ(rgn_cell_at(wide.get(), 30, 1), 0);
  EXPECT_NE(rgn_cell_at(wide.get(), 0, 3), 0);
  for (int32_t y = -3; y <= 3; ++y)
    for (int32_t x = -30; x <= 30; ++x)
      EXPECT_EQ(rgn_cell_at(wide.get(), x, y) != 0, rgn_cell_at(tall.get(), y, x) != 0);
}

TEST_F(RgnRecord, SectorsRunFromTheStartAngleAnticlockwise) {
  rgn_ptr q{rgn_make_sector(50, 50, 20, 0, 90)};  // the upper-right quarter
  ASSERT_TRUE(q);
  EXPECT_EQ(q->kind, kRgnSector);
  EXPECT_NE(rgn_cell_at(q.get(), 60, 40), 0);
  EXPECT_EQ(rgn_cell_at(q.get(), 40, 40), 0);
  EXPECT_EQ(rgn_cell_at(q.get(), 60, 60), 0);
  EXPECT_NE(rgn_cell_at(q.get(), 70, 50), 0);  // arc end at 0 degrees
  EXPECT_NE(rgn_cell_at(q.get(), 50, 30), 0);  // and at 90
  // The start is normalised, a negative sweep runs the other way.
  rgn_ptr same{rgn_make_sector(50, 50, 20, 720, 90)}, back{rgn_make_sector(50, 50, 20, 90, -90)};
  ASSERT_TRUE(same && back);
  EXPECT_EQ(rgn_picture(q.get()), rgn_picture(same.get()));
  EXPECT_EQ(rgn_picture(q.get()), rgn_picture(back.get()));
  // 360 or more is the full circle.
  rgn_ptr full{rgn_make_sector(50, 50, 20, 33, 400)}, circle{rgn_make_ellipse(50, 50, 20, 20)};
  ASSERT_TRUE(full && circle);
  EXPECT_EQ(rgn_picture(full.get()), rgn_picture(circle.get()));
  EXPECT_EQ(rgn_make_sector(0, 0, 10, 0, 0), nullptr);
}

TEST_F(RgnRecord, RoundedRectangleClampsAndCutsItsCorners) {
  rgn_ptr small{rgn_make_round_rect(10, 10, 1, 2, 9)};
  ASSERT_TRUE(small);
  EXPECT_EQ(small->width, 9);  // half sizes below 4 count as 4
  EXPECT_EQ(small->height, 9);
  rgn_ptr r{rgn_make_round_rect(0, 0, 20, 10, 6)};
  ASSERT_TRUE(r);
  EXPECT_EQ(r->width, 41);
  EXPECT_EQ(r->height, 21);
  EXPECT_EQ(r->x, -20);
  EXPECT_EQ(rgn_cell_at(r.get(), -20, -10), 0);  // corners cut
  EXPECT_EQ(rgn_cell_at(r.get(), 20, 10), 0);
  EXPECT_NE(rgn_cell_at(r.get(), 0, -10), 0);  // straight sides full
  EXPECT_NE(rgn_cell_at(r.get(), 20, 0), 0);
  EXPECT_NE(rgn_cell_at(r.get(), 14, 4), 0);
  // The four corners are cut alike: the cells left out are four equal groups.
  const int64_t cut = 41 * 21 - rgn_inside_count(r.get());
  EXPECT_GT(cut, 0);
  EXPECT_EQ(cut % 4, 0);
  for (int32_t y = -10; y <= 10; ++y)
    for (int32_t x = -20; x <= 20; ++x)
      EXPECT_EQ(rgn_cell_at(r.get(), x, y) != 0, rgn_cell_at(r.get(), -x, y) != 0);
  // The corner radius is clamped to min(half sizes) - 2: a radius of 50
  // cuts as much as 8.
  rgn_ptr big{rgn_make_round_rect(0, 0, 20, 10, 50)}, eight{rgn_make_round_rect(0, 0, 20, 10, 8)};
  ASSERT_TRUE(big && eight);
  EXPECT_EQ(rgn_picture(big.get()), rgn_picture(eight.get()));
  EXPECT_NE(rgn_picture(big.get()), rgn_picture(r.get()));
}

TEST_F(RgnRecord, CurveAndPointShapes) {
  const std::vector<rgn_point> sq = {{10, 10}, {30, 10}, {30, 30}, {10, 30}};
  rgn_ptr c{rgn_make_curve(sq.data(), 4, 12)};
  ASSERT_TRUE(c);
  EXPECT_EQ(c->kind, kRgnCurve);
  EXPECT_EQ(c->curve_parameter, 12);
  for (const rgn_point& p : sq) EXPECT_NE(rgn_cell_at(c.get(), p.x, p.y), 0);  // passes through
  EXPECT_NE(rgn_cell_at(c.get(), 20, 20), 0);
  EXPECT_LT(c->x, 10);  // the closed spline bulges beyond the square's sides
  EXPECT_GT(c->x + c->width, 31);

  rgn_ptr rect{rgn_make_rect(5, 6, 7, 3)};
  ASSERT_TRUE(rect);
  EXPECT_EQ(rect->kind, kRgnPoints);
  EXPECT_EQ(rect->point_count, 4);
  EXPECT_EQ(rgn_inside_count(rect.get()), 21);
  const dib_rect b = rgn_inside_box(rect.get());
  EXPECT_EQ(b.left, 5);
  EXPECT_EQ(b.top, 6);
  EXPECT_EQ(b.right, 12);
  EXPECT_EQ(b.bottom, 9);
  EXPECT_EQ(rgn_make_rect(0, 0, 0, 4), nullptr);
  EXPECT_EQ(rgn_make_rect(0, 0, kRgnMaxSide + 1, 4), nullptr);
}

TEST_F(RgnRecord, ClassificationAndBorderList) {
  rgn_ptr r{rgn_make_rect(0, 0, 5, 5)};
  ASSERT_TRUE(r);
  int interior = 0;
  for (int32_t k = 0; k < 25; ++k) interior += r->cells[k] == kCellInterior;
  EXPECT_EQ(interior, 9);
  ASSERT_EQ(r->border_count, 16);
  // Row order, every non-interior inside cell with its code.
  int32_t last = -1;
  for (int32_t k = 0; k < r->border_count; ++k) {
    const rgn_cell& c = r->border[k];
    EXPECT_EQ(c.code, kCellBorder);
    EXPECT_EQ(rgn_cell_at(r.get(), c.x, c.y), kCellBorder);
    EXPECT_GT(c.y * 5 + c.x, last);
    last = c.y * 5 + c.x;
  }
  // A cell grid classified by hand: a hole makes its neighbours border.
  rgn_ptr g{rgn_make_cells(10, 20, 5, 5)};
  ASSERT_TRUE(g);
  EXPECT_EQ(g->kind, kRgnCells);
  for (int32_t k = 0; k < 25; ++k) g->cells[k] = k == 12 ? 0 : 7;
  ASSERT_TRUE(rgn_classify(g.get()));
  EXPECT_EQ(g->border_count, 24);
  EXPECT_EQ(rgn_cell_at(g.get(), 12, 22), 0);
  EXPECT_EQ(rgn_cell_at(g.get(), 11, 21), kCellBorder);
  EXPECT_EQ(g->border[0].x, 10);
  EXPECT_EQ(g->border[0].y, 20);
  // Oversized grids are refused, not allocated.
  EXPECT_EQ(rgn_make_cells(0, 0, kRgnMaxSide, kRgnMaxSide), nullptr);
  EXPECT_EQ(rgn_make_cells(0, 0, -1, 5), nullptr);
}

TEST_F(RgnRecord, BorderListRulesAndGrowth) {
  rgn_ptr r{rgn_make_cells(100, 100, 100, 100)};
  ASSERT_TRUE(r);
  rgn_border_cal list(r.get());
  ASSERT_TRUE(list.add(99, 150, 1));   // left of the grid
  ASSERT_TRUE(list.add(150, 200, 1));  // below it
  EXPECT_EQ(list.count(), 0);
  ASSERT_TRUE(list.add(100, 100, 5));
  ASSERT_TRUE(list.add(100, 100, 5));  // equal to the last: ignored
  ASSERT_TRUE(list.add(101, 100, 5));
  ASSERT_TRUE(list.add(100, 100, 5));  // equal to an earlier one only: kept
  EXPECT_EQ(list.count(), 3);
  for (int32_t k = 0; k < 5000; ++k) ASSERT_TRUE(list.add(100 + k % 100, 100 + k / 100, k));
  EXPECT_EQ(list.count(), 5003);
  ASSERT_TRUE(list.store(r.get()));
  EXPECT_EQ(list.count(), 0);
  ASSERT_EQ(r->border_count, 5003);
  EXPECT_EQ(r->border[5002].code, 4999);
  EXPECT_EQ(r->border[5002].x, 199);
}

TEST_F(RgnRecord, CopiesAreIndependent) {
  const std::vector<rgn_point> p = {{0, 0}, {9, 0}, {0, 9}};
  rgn_ptr a{rgn_make_polygon(p.data(), 3)};
  ASSERT_TRUE(a);
  rgn_ptr b{rgn_copy(a.get())};
  ASSERT_TRUE(b);
  EXPECT_EQ(rgn_picture(a.get()), rgn_picture(b.get()));
  EXPECT_EQ(b->point_count, 3);
  EXPECT_EQ(b->border_count, a->border_count);
  b->cells[0] = 0;
  b->points[0].x = 50;
  EXPECT_NE(a->cells[0], 0);
  EXPECT_EQ(a->points[0].x, 0);
  const surface_rgn m = rgn_mask(a.get());
  EXPECT_EQ(m.cells, a->cells);
  EXPECT_EQ(surface_rgn_inside(&m, 1, 1), 1);
  EXPECT_EQ(surface_rgn_inside(&m, 9, 9), 0);
  EXPECT_EQ(rgn_copy(nullptr), nullptr);
}
}  // namespace
