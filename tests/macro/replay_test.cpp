// Playback through the program's players: a session painted live through
// the pen tools while recording gives the same pixels when replayed into a
// fresh document; one undo step per playback; input stops it.
#include <gtest/gtest.h>

#include <string>

#include "base/alloc.h"
#include "doc/zun_file.h"
#include "macro/control.h"
#include "macro/players.h"
#include "paint/paint_state.h"
#include "paint/pen_catalogue.h"
#include "tests/doc/doc_test_util.h"
#include "tests/macro/live_session.h"
#include "tests/support/temp_dir.h"

namespace {

class counting_view : public macro_view {
 public:
  void invalidate(const dib_rect& r) override {
    ++count;
    area = dib_rect_union(area, r);
  }
  int count = 0;
  dib_rect area{0, 0, 0, 0};
};

class Replay : public ::testing::Test {
 protected:
  void SetUp() override {
    if (use_install_tree().empty()) GTEST_SKIP() << "QM_TREE is not set (run through ctest)";
    pen_slots_restore_defaults();
    live = make_document(240, 180, 8);
    ASSERT_TRUE(recorder_panel.create(macro_texts{}, nullptr));
    recorder_panel.set_stage(live.get(), nullptr);
    g_test_now = kTestClockStart;
  }
  void TearDown() override {
    pen_slots_restore_defaults();
    set_paint_colour(0);
    set_paint_opacity(1);
  }
  // Records the script live; the macro is then saved and loaded into a
  // fresh panel with the program's players, as a later run would.
  void record_live(const std::vector<session_stroke>& script) {
    ASSERT_EQ(recorder_panel.record(), 1);
    ASSERT_EQ(paint_session(*live, recorder_panel, script), 1);
    ASSERT_EQ(recorder_panel.stop(), 1);
    ASSERT_GT(recorder_panel.macro.count(), 5);
    ASSERT_EQ(recorder_panel.save(path.c_str()), 1);
    ASSERT_TRUE(player_panel.create(macro_texts{}, nullptr));
    player_panel.macro.players = &players;
    ASSERT_EQ(player_panel.load(path.c_str()), 1);
    ASSERT_EQ(player_panel.macro.count(), recorder_panel.macro.count());
  }

  Initialised initialised;
  TempDir dir;
  std::string path = dir.path() + "/session.zwm";
  std::unique_ptr<zun_file> live;
  zun_macro_control recorder_panel;
  zun_macro_players players{macro_engine_setup{kTestSeed, test_clock}};
  zun_macro_control player_panel;
  counting_view view;
};

}  // namespace

TEST_F(Replay, ASessionOfEveryPenKindReplaysPixelForPixel) {
  const std::vector<session_stroke> script = session_script();
  record_live(script);
  // Every stroke was recorded: down, moves (one per tablet packet) and up.
  int64_t events = 0;
  for (const session_stroke& s : script)
    events += 2 + int64_t(s.points.size() - 1) * (s.pressure > 0 ? s.batch : 1);
  EXPECT_EQ(player_panel.macro.count(), events);
  const int64_t painted = covered_pixels(live->surface());
  ASSERT_GT(painted, 240 * 180 / 5);

  auto fresh = make_document(240, 180, 8);
  player_panel.set_stage(fresh.get(), &view);
  const int64_t ticks = play_all(player_panel);
  EXPECT_EQ(ticks, player_panel.macro.count());  // one record per tick, none skipped
  EXPECT_EQ(player_panel.state, kMacroIdle);
  const surface_diff d = compare_surfaces(live->surface(), fresh->surface());
  EXPECT_EQ(d.pixels, 0) << "largest channel difference " << d.max_delta;
  EXPECT_GT(view.count, 0);
  EXPECT_EQ(fresh->modified, 1);
  // The players made one engine each and every pen kind was really used.
  EXPECT_EQ(pen_find(4)->kind, kPenPattern);
  EXPECT_EQ(pen_find(20)->kind, kPenTexture);
  EXPECT_EQ(pen_find(44)->kind, kPenBrush);
}

TEST_F(Replay, EachPenKindAloneReplaysExactly) {
  // Smaller sessions of one stroke each, so that a fault names its pen.
  for (const session_stroke& s : session_script()) {
    SCOPED_TRACE("pen " + std::to_string(s.pen_id) + " slot " + std::to_string(s.slot));
    live = make_document(240, 180, 8);
    recorder_panel.set_stage(live.get(), nullptr);
    recorder_panel.home();
    recorder_panel.macro.clear();
    pen_slots_restore_defaults();
    g_test_now = kTestClockStart;
    zun_macro_control again;
    ASSERT_TRUE(again.create(macro_texts{}, nullptr));
    again.macro.players = &players;
    again.set_stage(live.get(), nullptr);
    ASSERT_EQ(again.record(), 1);
    ASSERT_EQ(paint_session(*live, again, {s}), 1);
    again.stop();
    if (s.slot != kEraserSlot) {
      EXPECT_GT(covered_pixels(live->surface()), 200);
    }
    auto fresh = make_document(240, 180, 8);
    again.set_stage(fresh.get(), nullptr);
    play_all(again);
    const surface_diff d = compare_surfaces(live->surface(), fresh->surface());
    EXPECT_EQ(d.pixels, 0) << "largest channel difference " << d.max_delta;
  }
}

TEST_F(Replay, ALargerCanvasReceivesTheMacroCentred) {
  // Pens without paper, away from the edges: papers and clipping are tied to
  // the layer, so only such strokes look the same wherever they land.
  std::vector<canvas_point> a{{40, 40}, {80, 60}, {120, 50}, {200, 130}};
  std::vector<canvas_point> b{{60, 140}, {100, 100}, {180, 60}};
  record_live({{0, 11, 100, 0x00ff0000, 1.0f, 0, 0, a},
               {1, 12, 50, 0x000000ff, 0.6f, 0.7f, 3, b},
               {4, 2, 30, 0, 1.0f, 0, 0, {{100, 30}, {100, 150}}}});
  // 240 x 180 recorded, 340 x 260 played: 50 right, 40 down.
  auto big = make_document(340, 260, 8);
  player_panel.set_stage(big.get(), nullptr);
  play_all(player_panel);
  const surface_diff d = compare_surfaces(live->surface(), big->surface(), 50, 40);
  EXPECT_EQ(d.pixels, 0) << "largest channel difference " << d.max_delta;
  EXPECT_EQ(covered_pixels(big->surface()), covered_pixels(live->surface()));
}

TEST_F(Replay, OnePlaybackIsOneUndoStep) {
  record_live(session_script());
  auto fresh = make_document(240, 180, 8);
  ASSERT_EQ(fresh->can_undo(), 0);
  player_panel.set_stage(fresh.get(), nullptr);
  play_all(player_panel);
  ASSERT_GT(covered_pixels(fresh->surface()), 0);
  ASSERT_EQ(fresh->can_undo(), 1);
  ASSERT_EQ(fresh->history_undo(), 1);
  EXPECT_EQ(covered_pixels(fresh->surface()), 0);  // the whole playback went
  EXPECT_EQ(fresh->can_undo(), 0);                 // in one step
  ASSERT_EQ(fresh->history_redo(), 1);
  EXPECT_EQ(compare_surfaces(live->surface(), fresh->surface()).pixels, 0);
}

TEST_F(Replay, InputStopsPlaybackAndPlayResumesAtTheStrokesStart) {
  record_live(session_script());
  auto fresh = make_document(240, 180, 8);
  player_panel.set_stage(fresh.get(), nullptr);
  player_panel.home();
  g_test_now = kTestClockStart;
  ASSERT_EQ(player_panel.play(), 1);
  for (int i = 0; i < 40; ++i, g_test_now += 10) player_panel.timer_step(kMacroTimer);
  EXPECT_EQ(player_panel.macro.position, 40);
  const int64_t before = covered_pixels(fresh->surface());
  EXPECT_GT(before, 0);
  // A left-button press stops playback and is consumed; nothing more paints.
  EXPECT_EQ(player_panel.stop_on_input(1), 1);
  EXPECT_EQ(player_panel.state, kMacroIdle);
  EXPECT_EQ(fresh->modified, 1);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(player_panel.timer_step(kMacroTimer), 0);
  EXPECT_EQ(covered_pixels(fresh->surface()), before);
  EXPECT_EQ(player_panel.macro.position, 40);  // the next record to play
  // A key press stops it too, but is not consumed.
  ASSERT_EQ(player_panel.play(), 1);
  EXPECT_EQ(player_panel.stop_on_input(0), 0);
  EXPECT_EQ(player_panel.state, kMacroIdle);
  EXPECT_EQ(player_panel.stop_on_input(1), 0);  // idle: the press goes on to the canvas
  // Play again: the interrupted stroke starts over from its down record.
  ASSERT_EQ(player_panel.play(), 1);
  player_panel.timer_step(kMacroTimer);
  const macro_record* started = player_panel.macro.player->current;
  ASSERT_NE(started, nullptr);
  EXPECT_EQ(started->phase, kMacroDown);
  // 40 is inside the second stroke, 25 moves after the first one's 26 records.
  EXPECT_EQ(started, player_panel.macro.record_at(26));
  EXPECT_EQ(player_panel.macro.record_at(25)->phase, kMacroUp);
  player_panel.stop();
}

TEST_F(Replay, RecordsThatCannotPlayPaintNothingAndPlaybackGoesOn) {
  record_live(session_script());
  zun_macro_rec& list = *player_panel.macro.records;
  // The first stroke names a pen that does not exist: it paints nothing.
  int32_t i = 0;
  for (; list.items[i].phase != kMacroUp; ++i) list.items[i].pen.pen_id = 13;
  // A record of a kind without a player inside the second stroke: the rest
  // of that stroke has no down record to start from and paints nothing.
  const int32_t second = i + 1;
  list.items[second + 5].record_kind = 9;
  auto fresh = make_document(240, 180, 8);
  player_panel.set_stage(fresh.get(), nullptr);
  EXPECT_EQ(play_all(player_panel), player_panel.macro.count());
  const int64_t painted = covered_pixels(fresh->surface());
  EXPECT_GT(painted, 0);
  EXPECT_LT(painted, covered_pixels(live->surface()));
}

TEST_F(Replay, InterleavedKindsCannotPlayForever) {
  // A damaged file alternating pen and eraser records: each change of kind
  // makes a new player, and no player may seek back across the other kind.
  ASSERT_TRUE(player_panel.create(macro_texts{}, nullptr));
  player_panel.macro.players = &players;
  zun_macro_rec& list = *player_panel.macro.records;
  ASSERT_TRUE(list.reserve(64));
  for (int32_t i = 0; i < 64; ++i) {
    macro_record& r = list.items[i];
    r = macro_record{};
    r.record_kind = i % 2 ? kMacroKindRub : kMacroKindPen;
    r.phase = i < 2 ? kMacroDown : kMacroMove;
    r.canvas_width = 240, r.canvas_height = 180;
    r.x = 20 + i * 3, r.y = 90;
    r.opacity = 1;
    r.pen.pen_id = i % 2 ? 2 : 11;
    r.pen.pen_size = 10;
    r.pen.pressure = 1;
  }
  list.count = 64;
  auto fresh = make_document(240, 180, 8);
  player_panel.set_stage(fresh.get(), nullptr);
  EXPECT_EQ(play_all(player_panel), 64);
  EXPECT_EQ(player_panel.state, kMacroIdle);
}

TEST_F(Replay, APlaybackFreesEverythingItMade) {
  record_live(session_script());
  const long blocks = alloc_count();
  const long long bytes = alloc_bytes();
  {
    zun_macro_control panel;
    ASSERT_TRUE(panel.create(macro_texts{}, nullptr));
    panel.macro.players = &players;
    ASSERT_EQ(panel.load(path.c_str()), 1);
    auto fresh = make_document(240, 180, 8);
    panel.set_stage(fresh.get(), nullptr);
    play_all(panel);
    EXPECT_GT(covered_pixels(fresh->surface()), 0);
    // Reaching the end seeks back to the last record, which drops the player.
    EXPECT_EQ(panel.macro.player, nullptr);
  }
  EXPECT_EQ(alloc_count(), blocks);
  EXPECT_EQ(alloc_bytes(), bytes);
}
