// The catalogue, the slots, the shared opacity and the pressure the engines get.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "paint/paint_state.h"
#include "paint/pen_catalogue.h"

TEST(Catalogue, HoldsTheFiftyEightIdsAndNoOthers) {
  std::set<int> ids;
  for (int i = 0; i < kPenCount; ++i) ids.insert(pen_catalogue()[i].id);
  std::set<int> expected;
  for (int i = 0; i <= 12; ++i) expected.insert(i);
  for (int i = 20; i <= 32; ++i) expected.insert(i);
  for (int i = 40; i <= 71; ++i) expected.insert(i);
  EXPECT_EQ(ids, expected);
  for (int id : {-1, 13, 19, 33, 39, 72, 1000}) EXPECT_EQ(pen_find(id), nullptr) << id;
  for (int id : expected) {
    const pen_desc* d = pen_find(id);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->id, id);
    EXPECT_EQ(&pen_catalogue()[pen_index(id)], d);
  }
}

TEST(Catalogue, KindsSetsAndRangesAreConsistent) {
  for (int i = 0; i < kPenCount; ++i) {
    const pen_desc& d = pen_catalogue()[i];
    SCOPED_TRACE(d.id);
    if (d.kind == kPenPattern) {
      EXPECT_EQ(d.set, d.id + 1);  // pattern types follow the ids
      EXPECT_GE(d.size_min, 2);
      EXPECT_GT(d.size_max, d.size_min);
    } else if (d.kind == kPenTexture) {
      EXPECT_EQ(d.set, d.id - 20);
      char group[16];
      std::snprintf(group, sizeof group, "9-%d", d.set + 1);
      EXPECT_STREQ(d.group, group);
    } else {
      ASSERT_EQ(d.kind, kPenBrush);
      EXPECT_NE(std::strchr(d.brush_name, '$'), nullptr);
      EXPECT_GT(d.size_max, d.size_min);
    }
    EXPECT_LT(d.pressure_floor, d.pressure_ceiling);
  }
  // The irregular rows.
  EXPECT_STREQ(pen_find(11)->key, "old12");
  EXPECT_STREQ(pen_find(12)->key, "old13");
  EXPECT_STREQ(pen_find(44)->brush_name, pen_find(71)->brush_name);
  EXPECT_STREQ(pen_find(44)->key, pen_find(71)->key);
  EXPECT_NE(pen_find(44)->size_max, pen_find(71)->size_max);
  EXPECT_EQ(pen_find(52)->brush_flag, 1);
  EXPECT_FLOAT_EQ(pen_find(63)->pressure_ceiling, 0.75f);
  EXPECT_EQ(pen_find(68)->invert, 1);
  EXPECT_EQ(pen_find(0)->simulate, 1);
}

TEST(Slots, DefaultsOpenResetAndTheEraserPen) {
  pen_slots_restore_defaults();
  const int pens[kPenSlots] = {63, 71, 44, 5, 0};
  for (int i = 0; i < kPenSlots; ++i) {
    EXPECT_EQ(pen_slots()[i].pen_id, pens[i]);
    EXPECT_EQ(pen_slots()[i].initialised, 0);
    EXPECT_FLOAT_EQ(pen_slots()[i].size, 0.5f);
  }
  pen_slot& eraser = pen_slots()[kEraserSlot];
  EXPECT_EQ(pen_slot_pen(kEraserSlot), 2);
  eraser.eraser_mode = 1;
  EXPECT_EQ(pen_slot_pen(kEraserSlot), 11);
  eraser.size = 0.9f;
  eraser.reserved = 7;
  pen_slot_open(kEraserSlot);
  EXPECT_EQ(eraser.initialised, 1);
  EXPECT_FLOAT_EQ(eraser.size, 0.5f);
  EXPECT_EQ(eraser.eraser_mode, 1);  // opening keeps the mode
  pen_slot_reset(kEraserSlot);
  EXPECT_EQ(eraser.eraser_mode, 0);
  EXPECT_EQ(eraser.reserved, 0);
  EXPECT_EQ(pen_slot_pen(3), 5);
  EXPECT_EQ(pen_slot_pen(5), -1);
  pen_slot_open(-1);  // ignored
  pen_slots_restore_defaults();
}

TEST(PaintState, OpacityClampsAndIgnoresSmallChanges) {
  set_paint_opacity(0.5f);
  EXPECT_FLOAT_EQ(paint_opacity(), 0.5f);
  EXPECT_EQ(set_paint_opacity(0.505f), 0);
  EXPECT_EQ(set_paint_opacity(0.51f), 0);  // within 0.01 still
  EXPECT_FLOAT_EQ(paint_opacity(), 0.5f);
  EXPECT_EQ(set_paint_opacity(0.52f), 1);
  EXPECT_EQ(set_paint_opacity(3.0f), 1);
  EXPECT_FLOAT_EQ(paint_opacity(), 1.0f);
  EXPECT_EQ(set_paint_opacity(-2.0f), 1);
  EXPECT_FLOAT_EQ(paint_opacity(), 0.0f);
  EXPECT_EQ(set_paint_opacity(std::nanf("")), 0);
  EXPECT_FLOAT_EQ(paint_opacity(), 0.0f);
  set_paint_opacity(1.0f);
  // A pen's factor scales it, within 0..1.
  EXPECT_FLOAT_EQ(pen_opacity(*pen_find(59), 1.0f), 0.2f);
  EXPECT_FLOAT_EQ(pen_opacity(*pen_find(58), 0.5f), 0.25f);
  EXPECT_FLOAT_EQ(pen_opacity(*pen_find(0), 1.5f), 1.0f);
}

TEST(StrokePressure, ByKindEventAndPen) {
  const pen_desc& pattern = *pen_find(3);
  const pen_desc& texture = *pen_find(25);
  const pen_desc& brush = *pen_find(44);
  // Without pressure: full for pattern and texture pens; brush pens lay the
  // first dab at 0 and continue at 1.
  EXPECT_FLOAT_EQ(stroke_pressure(pattern, 0.3f, 0, 0), 1.0f);
  EXPECT_FLOAT_EQ(stroke_pressure(texture, 0.3f, 0, 1), 1.0f);
  EXPECT_FLOAT_EQ(stroke_pressure(brush, 0.3f, 0, 0), 0.0f);
  EXPECT_FLOAT_EQ(stroke_pressure(brush, 0.3f, 0, 1), 1.0f);
  EXPECT_FLOAT_EQ(stroke_pressure(brush, 0.3f, 1, 1), 0.3f);
  // Pen 63's ceiling clamps the mouse's full pressure too.
  EXPECT_FLOAT_EQ(stroke_pressure(*pen_find(63), 0.2f, 0, 1), 0.75f);
  EXPECT_FLOAT_EQ(stroke_pressure(*pen_find(63), 0.9f, 1, 1), 0.75f);
  // Pen 68 inverts a tablet pressure before the clamp, never a missing one.
  const pen_desc& grass = *pen_find(68);
  EXPECT_FLOAT_EQ(stroke_pressure(grass, 0.2f, 1, 1), 0.8f);
  EXPECT_FLOAT_EQ(stroke_pressure(grass, 1.4f, 1, 1), 0.0f);
  EXPECT_FLOAT_EQ(stroke_pressure(grass, 0.2f, 0, 1), 1.0f);
  EXPECT_FLOAT_EQ(stroke_pressure(pattern, 1.7f, 1, 1), 1.0f);
  EXPECT_FLOAT_EQ(stroke_pressure(pattern, std::nanf(""), 1, 1), 1.0f);
}
