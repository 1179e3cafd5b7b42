// Regions as stroke masks: every engine paints only inside the region.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "base/dib.h"
#include "base/surface.h"
#include "paint/mp_engine.h"
#include "paint/pattern_engine.h"
#include "paint/rgn_record.h"
#include "paint/stamp_engine.h"
#include "rgn_test_util.h"
#include "tests/support/leak_check.h"

namespace {
const char kRound[] =
    "version 2\n"
    "opaque 1.0\nopaque_multiply 1.0\nhardness 0.9\ndabs_per_actual_radius 3.0\n"
    "elliptical_dab_ratio 1.0\n";

class RgnMask : public LeakCheck {
 protected:
  void SetUp() override {
    LeakCheck::SetUp();
    layer = surface_new(60, 90);
    ASSERT_TRUE(layer);
    // Some paint everywhere, so that a change outside would show.
    for (int32_t y = 0; y < 60; y += 2)
      for (int32_t x = 0; x < 90; x += 3) surface_paint_pixel(layer, x, y, dib_colour(x, y, 50), 0.5f);
    before = surface_clone(layer);
    const std::vector<rgn_point> p = {{20, 10}, {60, 15}, {70, 50}, {30, 40}};
    region.reset(rgn_make_polygon(p.data(), 4));
    ASSERT_TRUE(region && before);
    mask = rgn_mask(region.get());
  }
  void TearDown() override {
    surface_free(layer);
    surface_free(before);
    region.reset();
    LeakCheck::TearDown();
  }
  // Pixels that changed, outside and inside the region.
  void changes(int* outside, int* inside) const {
    *outside = *inside = 0;
    for (int32_t y = 0; y < 60; ++y) {
      for (int32_t x = 0; x < 90; ++x) {
        unsigned char p[4], q[4];
        surface_read_pixel(layer, x, y, p);
        surface_read_pixel(before, x, y, q);
        if (std::memcmp(p, q, 4) == 0) continue;
        ++(rgn_cell_at(region.get(), x, y) ? *inside : *outside);
      }
    }
  }
  void expect_only_inside(const char* what) const {
    int outside, inside;
    changes(&outside, &inside);
    EXPECT_EQ(outside, 0) << what;
    EXPECT_GT(inside, 30) << what;
  }
  paint_surface* layer = nullptr;
  paint_surface* before = nullptr;
  rgn_ptr region;
  surface_rgn mask{};
};

TEST_F(RgnMask, PatternPensPaintOnlyInsideTheRegion) {
  auto e = std::make_unique<pattern_engine>();
  // Type 10 (the lit sphere) is left out: its engine takes no mask.
  for (int type : {1, 2, 3, 5, 7, 12}) {
    ASSERT_EQ(pattern_load(*e, type, 0, 10, nullptr, 77), 1) << type;
    ASSERT_EQ(pattern_begin(*e, layer, 5, 30, 1.0f), 1);
    dib_rect r;
    pattern_segment(*e, layer, 85, 30, dib_colour(200, 0, 0), 1.0f, 1.0f, nullptr, &mask, &r);
    pattern_segment(*e, layer, 45, 5, dib_colour(200, 0, 0), 1.0f, 1.0f, nullptr, &mask, &r);
    pattern_end(*e);
    expect_only_inside("pattern type");
    // The eraser form too.
    ASSERT_EQ(pattern_load(*e, type, 1, 10, nullptr, 77), 1);
    ASSERT_EQ(pattern_begin(*e, layer, 45, 58, 1.0f), 1);
    pattern_segment(*e, layer, 45, 0, 0xffffff, 1.0f, 1.0f, nullptr, &mask, &r);
    pattern_end(*e);
    expect_only_inside("pattern eraser");
  }
  pattern_release(*e);
}

TEST_F(RgnMask, TexturePensPaintOnlyInsideTheRegion) {
  stamp_engine e;
  dib_block* stamp = dib_create(9, 0, 9, 180);
  ASSERT_EQ(stamp_load_block(e, stamp), 1);
  dib_free(stamp);
  ASSERT_EQ(stamp_begin(e, layer, 5, 30, 1.0f), 1);
  dib_rect r;
  stamp_segment(e, layer, 85, 30, dib_colour(0, 0, 200), 1.0f, 1.0f, &mask, &r);
  stamp_segment(e, layer, 45, 5, dib_colour(0, 0, 200), 1.0f, 1.0f, &mask, &r);
  stamp_end(e);
  stamp_release(e);
  expect_only_inside("stamp");
}

TEST_F(RgnMask, BrushPensPaintOnlyInsideTheRegion) {
  auto* e = new (std::nothrow) mp_engine;
  ASSERT_TRUE(e);
  ASSERT_EQ(e->create(), 1);
  ASSERT_EQ(e->load_brush_text(kRound, sizeof kRound - 1), 1);
  e->set_paint(dib_colour(0, 120, 0), 1.0f, 6.0f, nullptr, 0);
  e->set_eraser(0);
  e->begin(5, 30, 1.0f);
  dib_rect r;
  e->step(layer, 85, 30, 1.0f, 0.05, &mask, &r);
  e->step(layer, 45, 5, 1.0f, 0.1, &mask, &r);
  e->end();
  expect_only_inside("brush");
  // Erasing through the mask.
  e->begin(45, 58, 1.0f);
  e->set_eraser(1);
  e->step(layer, 45, 0, 1.0f, 0.05, &mask, &r);
  e->end();
  expect_only_inside("brush eraser");
  delete e;
}
}  // namespace
