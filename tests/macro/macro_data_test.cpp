// Recording into the macro: what the pen and eraser tools' events become,
// when they are ignored, the list's growth, seeking, truncation and paths.
#include "macro/macro_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/alloc.h"
#include "tests/doc/doc_test_util.h"
#include "tests/macro/macro_fixture.h"

namespace {
class MacroData : public RecordingMacro {
 protected:
  macro_event ev(uint8_t phase, int32_t x, int32_t y, float pressure = 0.5f) {
    macro_event e;
    e.phase = phase;
    e.x = x, e.y = y;
    e.pressure = pressure;
    e.has_pressure = 1;
    e.pen_id = 7;
    e.pen_size = 3.5f;
    e.colour = 0x00102030;
    e.opacity = 0.75f;
    return e;
  }
  // n pen strokes of two distinct moves each: 4 records per stroke.
  void strokes(int n) {
    for (int i = 0; i < n; ++i) {
      macro->record_pen_event(ev(kMacroDown, i, 0));
      macro->record_pen_event(ev(kMacroMove, i, 1));
      macro->record_pen_event(ev(kMacroMove, i, 2));
      macro->record_pen_event(ev(kMacroUp, 5, 5));
    }
  }
  const macro_record& at(int32_t i) { return *macro->record_at(i); }
};
}  // namespace

TEST_F(MacroData, InitReservesOneStepOfCountedRecords) {
  EXPECT_EQ(macro->records->capacity, 10240);
  EXPECT_EQ(macro->count(), 0);
  EXPECT_EQ(macro->position, 0);
  EXPECT_GE(alloc_bytes(), 10240LL * 168);
  EXPECT_STREQ(macro->path, "");
}

TEST_F(MacroData, StrokeGivesDownDistinctMovesAndUp) {
  auto doc = make_document(320, 240);
  macro->document = doc.get();
  macro_event down = ev(kMacroDown, 10, 20, 0.3f);
  down.point_index = 4, down.point_count = 8;  // never kept on a down record
  EXPECT_TRUE(macro->record_pen_event(down));
  EXPECT_TRUE(macro->record_pen_event(ev(kMacroMove, 11, 20, 0.4f)));
  EXPECT_TRUE(macro->record_pen_event(ev(kMacroMove, 11, 20, 0.6f)));  // repeat: merges
  macro_event batch = ev(kMacroMove, 12, 21);
  batch.point_index = 1, batch.point_count = 2;
  EXPECT_TRUE(macro->record_pen_event(batch));
  EXPECT_TRUE(macro->record_pen_event(ev(kMacroMove, 11, 20)));  // not the previous point: new
  EXPECT_TRUE(macro->record_pen_event(ev(kMacroUp, 99, 98, 0.2f)));
  ASSERT_EQ(macro->count(), 5);
  EXPECT_EQ(macro->position, 4);

  const uint8_t phases[] = {1, 2, 2, 2, 3};
  for (int i = 0; i < 5; ++i) {
    const macro_record& r = at(i);
    EXPECT_EQ(r.record_kind, kMacroKindPen);
    EXPECT_EQ(r.phase, phases[i]) << i;
    EXPECT_EQ(r.canvas_width, 320);
    EXPECT_EQ(r.canvas_height, 240);
    EXPECT_EQ(r.colour, 0x00102030u);
    EXPECT_EQ(r.back_colour, 0x00FFFFFFu);
    EXPECT_FLOAT_EQ(r.opacity, 0.75f);
    EXPECT_EQ(r.pen.pen_id, 7);
    EXPECT_FLOAT_EQ(r.pen.pen_size, 3.5f);
    EXPECT_EQ(r.pen.erase, 0);
  }
  EXPECT_EQ(at(0).x, 10);
  EXPECT_EQ(at(0).pen.point_index, 0);
  EXPECT_EQ(at(0).pen.point_count, 0);
  EXPECT_FLOAT_EQ(at(0).pen.pressure, 0.3f);
  EXPECT_EQ(at(1).x, 11);
  EXPECT_FLOAT_EQ(at(1).pen.pressure, 0.6f);  // the merged move's values
  EXPECT_EQ(at(2).x, 12);
  EXPECT_EQ(at(2).pen.point_index, 1);
  EXPECT_EQ(at(2).pen.point_count, 2);
  const macro_record& up = at(4);
  EXPECT_EQ(up.x, 0);
  EXPECT_EQ(up.y, 0);
  EXPECT_FLOAT_EQ(up.pen.pressure, 1.0f);
  EXPECT_EQ(up.pen.has_pressure, 0);
  // Nothing beyond the used fields is set.
  for (int i = 0; i < 104; ++i) ASSERT_EQ(up.pen.reserved2[i], 0);
}

TEST_F(MacroData, MergeRefreshesTheHeader) {
  EXPECT_TRUE(macro->record_pen_event(ev(kMacroDown, 1, 1)));
  EXPECT_TRUE(macro->record_pen_event(ev(kMacroMove, 2, 2)));
  macro_event again = ev(kMacroMove, 2, 2);
  again.colour = 0x000000FF;
  again.opacity = 0.5f;
  auto doc = make_document(64, 48);
  macro->document = doc.get();
  EXPECT_TRUE(macro->record_pen_event(again));
  ASSERT_EQ(macro->count(), 2);
  EXPECT_EQ(at(1).colour, 0x000000FFu);
  EXPECT_FLOAT_EQ(at(1).opacity, 0.5f);
  EXPECT_EQ(at(1).canvas_width, 64);
  EXPECT_EQ(at(0).canvas_width, 0);  // recorded without a document
}

TEST_F(MacroData, EraserRecordsAreWhiteAndErase) {
  macro_event e = ev(kMacroDown, 5, 6);
  e.erase = 0;
  EXPECT_TRUE(macro->record_rub_event(e));
  EXPECT_TRUE(macro->record_rub_event(ev(kMacroMove, 6, 6)));
  EXPECT_TRUE(macro->record_rub_event(ev(kMacroMove, 6, 6)));
  // A pen move at the same point is another kind: not merged.
  EXPECT_TRUE(macro->record_pen_event(ev(kMacroMove, 6, 6)));
  ASSERT_EQ(macro->count(), 3);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(at(i).record_kind, kMacroKindRub);
    EXPECT_EQ(at(i).colour, 0x00FFFFFFu);
    EXPECT_EQ(at(i).pen.erase, 1);
  }
  EXPECT_EQ(at(2).record_kind, kMacroKindPen);
  EXPECT_EQ(at(2).colour, 0x00102030u);
}

TEST_F(MacroData, OnlyARecordingInitialisedPanelRecords) {
  strokes(1);
  ASSERT_EQ(macro->count(), 4);
  const macro_record last = at(3);
  for (int32_t state : {kMacroIdle, kMacroPlaying}) {
    owner.state = state;
    EXPECT_FALSE(macro->record_pen_event(ev(kMacroDown, 1, 1)));
    EXPECT_FALSE(macro->record_rub_event(ev(kMacroMove, 0, 2)));
    EXPECT_FALSE(macro->record_pen_event(ev(kMacroUp, 0, 0)));
    EXPECT_EQ(macro->count(), 4);
  }
  // Not even a merge changes a record while playing.
  macro->seek(2);
  owner.state = kMacroPlaying;
  macro_event same = ev(kMacroMove, 0, 2);
  same.colour = 0x00ABCDEF;
  EXPECT_FALSE(macro->record_pen_event(same));
  EXPECT_EQ(at(2).colour, 0x00102030u);

  owner.state = kMacroRecording;
  owner.initialised = 0;
  EXPECT_FALSE(macro->record_pen_event(ev(kMacroDown, 1, 1)));
  macro->owner = nullptr;
  EXPECT_FALSE(macro->record_pen_event(ev(kMacroDown, 1, 1)));
  EXPECT_EQ(macro->count(), 4);
  EXPECT_EQ(std::memcmp(&at(3), &last, sizeof last), 0);

  macro->owner = &owner;
  owner.initialised = 1;
  macro_event odd = ev(4, 1, 1);  // no such phase
  EXPECT_FALSE(macro->record_pen_event(odd));
  EXPECT_EQ(macro->count(), 4);
}

TEST_F(MacroData, ListGrowsInWholeStepsKeepingRecords) {
  macro->record_pen_event(ev(kMacroDown, 0, 0));
  for (int i = 1; i <= 10240; ++i) ASSERT_TRUE(macro->record_pen_event(ev(kMacroMove, i, 0)));
  EXPECT_EQ(macro->count(), 10241);
  EXPECT_EQ(macro->records->capacity, 20480);
  EXPECT_EQ(at(0).phase, kMacroDown);
  EXPECT_EQ(at(10240).x, 10240);
  EXPECT_EQ(at(5000).x, 5000);

  zun_macro_rec list(4);
  EXPECT_TRUE(list.reserve(3));
  EXPECT_EQ(list.capacity, 3);  // the first block is exact
  list.count = 3;
  EXPECT_TRUE(list.reserve(0));
  EXPECT_TRUE(list.reserve(6));  // needs 9: rounded up to 12
  EXPECT_EQ(list.capacity, 12);
  EXPECT_EQ(list.items[11].record_kind, 0);
  // A request beyond the bound fails and leaves the list alone.
  macro_record* before = list.items;
  EXPECT_FALSE(list.reserve(kMacroMaxRecords));
  EXPECT_FALSE(list.reserve(-1));
  EXPECT_EQ(list.items, before);
  EXPECT_EQ(list.capacity, 12);
  EXPECT_EQ(list.count, 3);
}

TEST_F(MacroData, SeekClampsAndDropsThePlayer) {
  macro->seek(5);
  EXPECT_EQ(macro->position, 0);  // empty
  strokes(3);
  macro->player = new zun_macro_one(macro.get());
  macro->player_kind = 1;
  macro->seek(100);
  EXPECT_EQ(macro->position, 11);
  EXPECT_EQ(macro->player, nullptr);
  EXPECT_EQ(macro->player_kind, 0);
  macro->seek(-3);
  EXPECT_EQ(macro->position, 0);
  macro->seek(6);
  EXPECT_EQ(macro->position, 6);
  macro->end();
  EXPECT_EQ(macro->position, 11);
  macro->home();
  EXPECT_EQ(macro->position, 0);
}

TEST_F(MacroData, RecordingFromAPositionKeepsWhatCameBefore) {
  strokes(2);
  macro->record_pen_event(ev(kMacroDown, 9, 9));
  macro->record_pen_event(ev(kMacroMove, 9, 10));
  ASSERT_EQ(macro->count(), 10);
  macro->seek(5);
  macro->truncate_at_position();
  EXPECT_EQ(macro->count(), 5);
  EXPECT_EQ(macro->position, 4);
  EXPECT_EQ(at(4).phase, kMacroDown);
  EXPECT_EQ(macro->record_at(5), nullptr);
  EXPECT_EQ(macro->records->items[5].record_kind, 0);  // discarded records are zero again
  // New records follow the kept ones; a move repeating a discarded one is new.
  EXPECT_TRUE(macro->record_pen_event(ev(kMacroMove, 1, 1)));
  EXPECT_EQ(macro->count(), 6);

  macro->seek(0);
  macro->truncate_at_position();
  EXPECT_EQ(macro->count(), 0);
  EXPECT_EQ(macro->position, 0);
  macro->truncate_at_position();  // empty: nothing happens
  EXPECT_EQ(macro->count(), 0);
}

TEST_F(MacroData, PathsAlwaysEndInZwm) {
  EXPECT_EQ(macro->default_path(), "untitled.zwm");
  EXPECT_EQ(macro->default_path("无题"), "无题.zwm");
  EXPECT_TRUE(macro->set_path("C:\\work\\a.txt"));
  EXPECT_STREQ(macro->path, "C:\\work\\a.zwm");
  EXPECT_EQ(macro->default_path("x"), "C:\\work\\a.zwm");
  EXPECT_TRUE(macro->set_path("d/e.f/name"));
  EXPECT_STREQ(macro->path, "d/e.f/name.zwm");
  EXPECT_TRUE(macro->set_path("D:\\M\\B.ZWM"));
  EXPECT_STREQ(macro->path, "D:\\M\\B.ZWM");
  EXPECT_TRUE(macro->set_path("a.b.zwmx"));
  EXPECT_STREQ(macro->path, "a.b.zwm");
  // Too long to hold: refused, the path stays.
  const std::string too_long = std::string(600, 'a') + ".zwm";
  EXPECT_FALSE(macro->set_path(too_long.c_str()));
  EXPECT_STREQ(macro->path, "a.b.zwm");
  EXPECT_TRUE(macro->set_path(std::string(507, 'b').append(".zwm").c_str()));
  EXPECT_EQ(std::strlen(macro->path), 511u);
  EXPECT_TRUE(macro->set_path(""));
  EXPECT_STREQ(macro->path, "");
  EXPECT_TRUE(macro_path_ok("x.ZwM"));
  EXPECT_FALSE(macro_path_ok("zwm"));
  EXPECT_FALSE(macro_path_ok(nullptr));
}
