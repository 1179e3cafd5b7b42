// The macro panel's logic: states and commands, what the buttons and lines
// show, playback one record per tick through the players, and where a
// recorded point plays on another canvas.
#include "macro/control.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "macro/canvas_map.h"
#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {
struct played {
  uint8_t kind, phase;
  int32_t index;  // of the record in the list
  canvas_point at;
};

// Stroke players that log what they are asked to play instead of painting.
class log_player : public zun_macro_stroke_one {
 public:
  log_player(zun_macro_data* data, uint8_t kind, std::vector<played>* log)
      : zun_macro_stroke_one(data, kind), log_(log) {}
  const char* name() const override { return kind == kMacroKindPen ? "engine" : "rub"; }
  int play_record(macro_stage& stage, const macro_record& r) override {
    log_->push_back({r.record_kind, r.phase, int32_t(&r - data->records->items),
                     macro_play_point(r, stage.document)});
    return r.phase == kMacroMove;
  }

 private:
  std::vector<played>* log_;
};

class log_factory : public macro_player_factory {
 public:
  zun_macro_one* make_player(uint8_t kind, zun_macro_data* data) override {
    ++made;
    if (kind != kMacroKindPen && kind != kMacroKindRub) return nullptr;
    return new log_player(data, kind, &log);
  }
  std::vector<played> log;
  int made = 0;
};

class log_shell : public macro_shell {
 public:
  void set_interaction_mode(int m) override { modes.push_back(m); }
  void info_changed() override { ++info; }
  std::vector<int> modes;
  int info = 0;
};

class MacroControl : public LeakCheck {
 protected:
  void SetUp() override {
    LeakCheck::SetUp();
    texts.status[0] = "ready";
    texts.status[1] = "playing";
    texts.status[2] = "recording";
    texts.info_format = "%s: %d";
    texts.untitled = "untitled";
    panel = std::make_unique<zun_macro_control>();
    ASSERT_TRUE(panel->create(texts, &shell));
    panel->macro.players = &players;
  }
  void TearDown() override {
    panel.reset();
    doc.reset();
    LeakCheck::TearDown();
  }
  // Records strokes of `moves` distinct moves each, by recording; a kind
  // per stroke (pen when none is given).
  void record_strokes(int strokes, int moves, std::vector<uint8_t> kinds = {}) {
    ASSERT_TRUE(panel->command(kMacroButtonRecord));
    for (int s = 0; s < strokes; ++s) {
      const uint8_t kind = s < int(kinds.size()) ? kinds[s] : uint8_t(kMacroKindPen);
      for (int i = 0; i <= moves + 1; ++i) {
        macro_event e;
        e.phase = i == 0 ? kMacroDown : i == moves + 1 ? kMacroUp : kMacroMove;
        e.x = 10 * s + i, e.y = 5;
        kind == kMacroKindPen ? panel->macro.record_pen_event(e) : panel->macro.record_rub_event(e);
      }
    }
    ASSERT_TRUE(panel->command(kMacroButtonStop));
  }
  // Ticks until playback stops (bounded).
  int run() {
    int ticks = 0;
    while (panel->state == kMacroPlaying && ticks < 10000) panel->timer_step(kMacroTimer), ++ticks;
    return ticks;
  }
  std::vector<int32_t> indices() const {
    std::vector<int32_t> v;
    for (const played& p : players.log) v.push_back(p.index);
    return v;
  }

  macro_texts texts;
  log_shell shell;
  log_factory players;
  std::unique_ptr<zun_file> doc;
  std::unique_ptr<zun_macro_control> panel;
};
}  // namespace

TEST_F(MacroControl, EmptyMacroDisablesWhatNeedsRecords) {
  EXPECT_EQ(panel->frame(kMacroButtonLoad), kFrameNormal);
  EXPECT_EQ(panel->frame(kMacroButtonSave), kFrameDisabled);
  EXPECT_EQ(panel->frame(kMacroButtonHome), kFrameDisabled);
  EXPECT_EQ(panel->frame(kMacroButtonEnd), kFrameDisabled);
  EXPECT_EQ(panel->frame(kMacroButtonPlay), kFrameDisabled);
  EXPECT_EQ(panel->frame(kMacroButtonRecord), kFrameNormal);
  EXPECT_EQ(panel->frame(kMacroButtonStop), kFrameDisabled);
  EXPECT_EQ(panel->record_number(), 0);
  EXPECT_EQ(panel->info_line(), "ready: 0");
  EXPECT_EQ(panel->name_line(), "untitled");
  EXPECT_FALSE(panel->slider_visible());
  // Disabled buttons run nothing.
  EXPECT_FALSE(panel->command(kMacroButtonPlay));
  EXPECT_FALSE(panel->command(kMacroButtonStop));
  EXPECT_EQ(panel->state, kMacroIdle);
  EXPECT_TRUE(shell.modes.empty());
}

TEST_F(MacroControl, FramesFollowStateAndPosition) {
  record_strokes(2, 2);  // 8 records, position on the last
  EXPECT_EQ(panel->macro.count(), 8);
  EXPECT_EQ(panel->frame(kMacroButtonHome), kFrameNormal);
  EXPECT_EQ(panel->frame(kMacroButtonEnd), kFrameDisabled);
  EXPECT_EQ(panel->slider_range(), 8);
  EXPECT_EQ(panel->slider_value(), 7);
  EXPECT_TRUE(panel->slider_visible());
  EXPECT_EQ(panel->info_line(), "ready: 8");
  ASSERT_TRUE(panel->command(kMacroButtonHome));
  EXPECT_EQ(panel->macro.position, 0);
  EXPECT_EQ(panel->frame(kMacroButtonHome), kFrameDisabled);
  EXPECT_EQ(panel->frame(kMacroButtonEnd), kFrameNormal);
  EXPECT_EQ(panel->info_line(), "ready: 1");
  EXPECT_TRUE(panel->slider_seek(99));
  EXPECT_EQ(panel->slider_value(), 7);

  ASSERT_TRUE(panel->command(kMacroButtonPlay));
  EXPECT_EQ(panel->frame(kMacroButtonPlay), kFramePressed);
  EXPECT_EQ(panel->frame(kMacroButtonStop), kFrameNormal);
  for (int b : {kMacroButtonLoad, kMacroButtonSave, kMacroButtonHome, kMacroButtonEnd,
                kMacroButtonRecord})
    EXPECT_EQ(panel->frame(b), kFrameDisabled) << b;
  EXPECT_FALSE(panel->slider_visible());
  EXPECT_FALSE(panel->slider_seek(0));  // the slider belongs to the idle panel
  EXPECT_EQ(panel->info_line().rfind("playing: ", 0), 0u);
  ASSERT_TRUE(panel->command(kMacroButtonStop));

  ASSERT_TRUE(panel->command(kMacroButtonRecord));
  EXPECT_EQ(panel->frame(kMacroButtonRecord), kFramePressed);
  EXPECT_EQ(panel->frame(kMacroButtonPlay), kFrameDisabled);
  EXPECT_EQ(panel->info_line(), "recording");
}

TEST_F(MacroControl, PlaybackRunsToTheEndOneRecordPerTick) {
  Initialised app;
  doc = make_document(200, 100);
  panel->set_stage(doc.get(), nullptr);
  record_strokes(2, 3);  // 10 records
  EXPECT_FALSE(doc->can_undo());
  doc->modified = 0;
  panel->home();
  ASSERT_TRUE(panel->command(kMacroButtonPlay));
  EXPECT_EQ(shell.modes, std::vector<int>{3});
  EXPECT_EQ(panel->timer_step(1), 0);  // other timers do nothing
  EXPECT_EQ(panel->macro.position, 0);
  EXPECT_EQ(run(), 10);
  EXPECT_EQ(indices(), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(players.made, 1);  // one player for the whole run of pen records
  EXPECT_EQ(panel->state, kMacroIdle);
  EXPECT_EQ(panel->macro.position, 9);
  EXPECT_EQ(shell.modes, (std::vector<int>{3, 0}));
  EXPECT_EQ(shell.info, 10);
  EXPECT_EQ(doc->modified, 1);
  // Exactly one checkpoint, taken before the first record.
  EXPECT_TRUE(doc->can_undo());
  EXPECT_TRUE(doc->history_undo());
  EXPECT_FALSE(doc->can_undo());

  // Recording now discards the last record.
  ASSERT_TRUE(panel->command(kMacroButtonRecord));
  EXPECT_EQ(panel->macro.count(), 9);
  EXPECT_EQ(panel->macro.position, 8);
}

TEST_F(MacroControl, PlaybackInsideAStrokeStartsAtItsDown) {
  record_strokes(3, 3);  // strokes at 0, 5, 10
  panel->slider_seek(7);
  ASSERT_TRUE(panel->command(kMacroButtonPlay));
  panel->timer_step(kMacroTimer);
  panel->timer_step(kMacroTimer);
  EXPECT_EQ(indices(), (std::vector<int32_t>{5, 6}));

  // Stop leaves position on the next record; play again restarts the stroke.
  ASSERT_TRUE(panel->command(kMacroButtonStop));
  EXPECT_EQ(panel->macro.position, 7);
  players.log.clear();
  ASSERT_TRUE(panel->command(kMacroButtonPlay));
  panel->timer_step(kMacroTimer);
  EXPECT_EQ(indices(), (std::vector<int32_t>{5}));
  ASSERT_TRUE(panel->command(kMacroButtonStop));
  EXPECT_EQ(panel->macro.position, 6);
  // Recording then keeps exactly the records already played.
  ASSERT_TRUE(panel->command(kMacroButtonRecord));
  EXPECT_EQ(panel->macro.count(), 6);
}

TEST_F(MacroControl, EndThenPlayReplaysTheLastStroke) {
  record_strokes(2, 2);  // strokes at 0 and 4, 8 records
  panel->home();
  ASSERT_TRUE(panel->command(kMacroButtonEnd));
  ASSERT_TRUE(panel->command(kMacroButtonPlay));
  run();
  EXPECT_EQ(indices(), (std::vector<int32_t>{4, 5, 6, 7}));
  EXPECT_EQ(panel->macro.position, 7);
}

TEST_F(MacroControl, KindChangesMakeNewPlayersAndUnknownKindsPlayNothing) {
  record_strokes(2, 1, {kMacroKindPen, kMacroKindRub});  // 0..2 and 3..5
  zun_macro_data& m = panel->macro;
  // A text record (no text player here) and unknown kinds, the first one first.
  m.records->items[0].record_kind = 0;
  m.records->items[4].record_kind = kMacroKindText;
  m.records->items[5].record_kind = 200;
  panel->home();
  ASSERT_TRUE(panel->command(kMacroButtonPlay));
  EXPECT_EQ(run(), 6);
  // Record 0 plays as nothing; 1 and 2 through the pen player (whose stroke
  // start is 1 itself, no down before it); 3 through the eraser's.
  EXPECT_EQ(indices(), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(players.log[2].kind, kMacroKindRub);
  EXPECT_EQ(m.player_kind, 0);  // dropped by the final seek
  EXPECT_EQ(m.player, nullptr);
}

TEST_F(MacroControl, InputStopsPlayback) {
  record_strokes(1, 5);
  panel->home();
  EXPECT_EQ(panel->stop_on_input(1), 0);  // idle: nothing to stop, not consumed
  ASSERT_TRUE(panel->command(kMacroButtonPlay));
  panel->timer_step(kMacroTimer);
  EXPECT_EQ(panel->stop_on_input(1), 1);
  EXPECT_EQ(panel->state, kMacroIdle);
  ASSERT_TRUE(panel->command(kMacroButtonPlay));
  EXPECT_EQ(panel->stop_on_input(0), 0);  // a key press goes on to its usual handling
  EXPECT_EQ(panel->state, kMacroIdle);
  EXPECT_EQ(shell.modes, (std::vector<int>{3, 0, 3, 0}));
  // Recording is stopped by its button only.
  ASSERT_TRUE(panel->command(kMacroButtonRecord));
  EXPECT_EQ(panel->stop_on_input(1), 0);
  EXPECT_EQ(panel->state, kMacroRecording);
}

TEST_F(MacroControl, LoadAndSaveGoThroughTheMacro) {
  TempDir dir;
  record_strokes(1, 2);
  const std::string path = dir.file("brush.txt");  // the name gets ".zwm"
  EXPECT_FALSE(panel->command(kMacroButtonSave, path.c_str()));
  const std::string zwm = dir.file("brush.zwm");
  ASSERT_TRUE(panel->command(kMacroButtonSave, zwm.c_str()));
  EXPECT_EQ(panel->name_line(), "brush");
  ASSERT_TRUE(panel->command(kMacroButtonRecord));
  EXPECT_FALSE(panel->load(zwm.c_str()));  // not while recording
  panel->stop();
  ASSERT_TRUE(panel->command(kMacroButtonLoad, zwm.c_str()));
  EXPECT_EQ(panel->macro.count(), 4);
  EXPECT_EQ(panel->info_line(), "ready: 1");
  EXPECT_FALSE(panel->command(kMacroButtonLoad, dir.file("none.zwm").c_str()));
  EXPECT_EQ(panel->macro.count(), 0);
  EXPECT_EQ(panel->name_line(), "untitled");
  EXPECT_EQ(panel->frame(kMacroButtonPlay), kFrameDisabled);
}

class MacroCanvasMap : public LeakCheck {};

TEST_F(MacroCanvasMap, RecordedPointsPlayCentred) {
  macro_record r{};
  r.canvas_width = 800, r.canvas_height = 600;
  r.x = 30, r.y = 40;
  canvas_point p = macro_play_point(r, 1000, 800);
  EXPECT_EQ(p.x, 130);
  EXPECT_EQ(p.y, 140);
  p = macro_play_point(r, 801, 599);  // halves truncate toward zero
  EXPECT_EQ(p.x, 30);
  EXPECT_EQ(p.y, 40);
  p = macro_play_point(r, 0, 0);  // no document
  EXPECT_EQ(p.x, 30 - 400);
  EXPECT_EQ(p.y, 40 - 300);
  r.x = INT32_MAX, r.canvas_width = 0;
  EXPECT_EQ(macro_play_point(r, 1000, 0).x, INT32_MAX);  // no overflow
  EXPECT_EQ(macro_play_point(r, static_cast<const zun_file*>(nullptr)).x, INT32_MAX);
}

TEST_F(MacroCanvasMap, ShownChangesReachDocumentAndWindow) {
  struct rects : macro_view {
    void invalidate(const dib_rect& r) override { got.push_back(r); }
    std::vector<dib_rect> got;
  } view;
  auto doc = make_document(100, 80, 8, 1000, 800);
  doc->canvas->view_setup(20, 30, 1000, 800);
  macro_stage stage{doc.get(), &view};
  doc->data->dirty = dib_rect{0, 0, 0, 0};
  const dib_rect r{10, 10, 20, 15};
  ASSERT_TRUE(macro_show_change(stage, r));
  EXPECT_EQ(doc->data->dirty.left, 10);
  EXPECT_EQ(doc->data->dirty.bottom, 15);
  ASSERT_EQ(view.got.size(), 1u);
  const dib_rect s = doc->canvas->doc_rect_to_screen(r);
  EXPECT_EQ(view.got[0].left, s.left + 20);
  EXPECT_EQ(view.got[0].top, s.top + 30);
  EXPECT_EQ(view.got[0].right - view.got[0].left, 10);
  EXPECT_FALSE(macro_show_change(stage, dib_rect{5, 5, 5, 9}));
  macro_stage none{};
  EXPECT_FALSE(macro_show_change(none, r));
  EXPECT_EQ(view.got.size(), 1u);
}

TEST(MacroInfo, LanguageFormatsAreFilledSafely) {
  EXPECT_EQ(macro_format_info("%s - %d%%", "idle", 7), "idle - 7%");
  EXPECT_EQ(macro_format_info("no numbers", "idle", 7), "no numbers");
  EXPECT_EQ(macro_format_info("%s", "idle", 7), "idle");
  EXPECT_EQ(macro_format_info("%d %s", "idle", 7), "");   // arguments out of order
  EXPECT_EQ(macro_format_info("%s %s", "idle", 7), "");
  EXPECT_EQ(macro_format_info("%s %n", "idle", 7), "");
  EXPECT_EQ(macro_format_info("%", "idle", 7), "");
  EXPECT_EQ(macro_format_info(std::string(124, 'x') + "%s", "idle", 7), "");  // 128 or more
  EXPECT_EQ(macro_format_info(std::string(123, 'x') + "%s", "idle", 7).size(), 127u);
  EXPECT_EQ(macro_display_name("C:\\m\\a.b.zwm"), "a.b");
  EXPECT_EQ(macro_display_name("untitled.zwm"), "untitled");
}
