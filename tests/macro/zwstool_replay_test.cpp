// zwstool replay: a recorded session replayed headless gives the live
// pixels, twice the same file, and clean failures for what it cannot do.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/alloc.h"
#include "base/os.h"
#include "doc/zun_file.h"
#include "macro/control.h"
#include "macro/font_player.h"
#include "paint/pen_catalogue.h"
#include "tests/doc/doc_test_util.h"
#include "tests/macro/live_session.h"
#include "tests/support/temp_dir.h"
#include "tools/zwstool/replay.h"
#include "tools/zwstool/zwstool.h"

namespace {
std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ZwstoolReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    tree = use_install_tree();
    if (tree.empty()) GTEST_SKIP() << "QM_TREE is not set (run through ctest)";
    pen_slots_restore_defaults();
  }
  void TearDown() override { pen_slots_restore_defaults(); }

  // The session painted live on w x h and saved as session.zwm.
  std::unique_ptr<zun_file> record(int32_t w, int32_t h) {
    auto live = make_document(w, h, 8);
    zun_macro_control panel;
    EXPECT_TRUE(panel.create(macro_texts{}, nullptr));
    panel.set_stage(live.get(), nullptr);
    g_test_now = kTestClockStart;
    EXPECT_EQ(panel.record(), 1);
    EXPECT_EQ(paint_session(*live, panel, session_script()), 1);
    panel.stop();
    EXPECT_EQ(panel.save(macro.c_str()), 1);
    return live;
  }
  int run(std::vector<std::string> args) {
    args.insert(args.begin(), {dir.file("zwstool"), "--root", tree});
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    const std::string o = dir.file("out.txt"), e = dir.file("err.txt");
    std::FILE* out = std::fopen(o.c_str(), "wb");
    std::FILE* err = std::fopen(e.c_str(), "wb");
    const int rc = zwstool_run(int(argv.size()), argv.data(), out, err);
    std::fclose(out);
    std::fclose(err);
    out_ = slurp(o), err_ = slurp(e);
    return rc;
  }

  Initialised initialised;
  TempDir dir;
  std::string tree, out_, err_;
  std::string macro = dir.file("session.zwm");
};
}  // namespace

TEST_F(ZwstoolReplay, ReplaysTheLivePixelsAndTwiceTheSameFile) {
  auto live = record(240, 180);
  const std::string a = dir.file("a.zws"), b = dir.file("b.zws");
  ASSERT_EQ(run({"replay", macro, a}), 0) << err_;
  EXPECT_NE(out_.find("onto 240 x 180"), std::string::npos) << out_;
  ASSERT_EQ(run({"replay", macro, b}), 0) << err_;
  const std::string first = slurp(a);
  ASSERT_GT(first.size(), 100u);
  EXPECT_TRUE(first == slurp(b)) << "two replays wrote different files";
  // The file holds what was painted live.
  zun_file back;
  ASSERT_TRUE(back.zun_file_init(2));
  ASSERT_EQ(back.doc_open(a.c_str()), 1);
  const surface_diff d = compare_surfaces(live->surface(), back.surface());
  EXPECT_EQ(d.pixels, 0) << "largest channel difference " << d.max_delta;
  // An export as "save a copy" makes it, the same twice.
  const std::string p = dir.file("a.png"), q = dir.file("b.png");
  ASSERT_EQ(run({"replay", macro, p}), 0) << err_;
  ASSERT_EQ(run({"replay", macro, q}), 0) << err_;
  EXPECT_TRUE(slurp(p) == slurp(q));
  EXPECT_GT(slurp(p).size(), 100u);
}

TEST_F(ZwstoolReplay, CanvasAndOntoChooseTheDocument) {
  auto live = record(240, 180);
  const std::string big = dir.file("big.zws");
  ASSERT_EQ(run({"replay", macro, big, "--canvas", "340x260"}), 0) << err_;
  zun_file back;
  ASSERT_TRUE(back.zun_file_init(2));
  ASSERT_EQ(back.doc_open(big.c_str()), 1);
  EXPECT_EQ(back.width(), 340);
  EXPECT_EQ(back.height(), 260);
  EXPECT_GT(covered_pixels(back.surface()), 0);
  // Onto a document: its own painting stays, the macro goes over it.
  const std::string twice = dir.file("twice.zws");
  ASSERT_EQ(run({"replay", macro, twice, "--onto", big}), 0) << err_;
  zun_file both;
  ASSERT_TRUE(both.zun_file_init(2));
  ASSERT_EQ(both.doc_open(twice.c_str()), 1);
  EXPECT_EQ(both.width(), 340);
  EXPECT_GE(covered_pixels(both.surface()), covered_pixels(back.surface()));
  EXPECT_NE(compare_surfaces(back.surface(), both.surface()).pixels, 0);
}

TEST_F(ZwstoolReplay, FailuresExitOneWithAReason) {
  record(240, 180);
  const std::string out = dir.file("x.zws");
  auto fails = [&](std::vector<std::string> args, const char* why) {
    EXPECT_EQ(run(args), 1) << why;
    EXPECT_FALSE(err_.empty()) << why;
    EXPECT_EQ(err_.find('\n'), err_.size() - 1) << why;
    EXPECT_FALSE(os_file_exists(out.c_str())) << why;
  };
  fails({"replay", dir.file("none.zwm"), out}, "missing macro");
  fails({"replay", dir.file("session.zws"), out}, "not a macro name");
  fails({"replay", macro, out, "--canvas", "0x10"}, "empty canvas");
  fails({"replay", macro, out, "--canvas", "100"}, "no height");
  fails({"replay", macro, out, "--canvas", "99999x10"}, "too large");
  fails({"replay", macro, out, "--canvas"}, "no value");
  fails({"replay", macro, out, "--onto", dir.file("none.zws")}, "missing document");
  fails({"replay", macro, out, "--onto", dir.file("a.zws"), "--canvas", "10x10"}, "both");
  fails({"replay", macro}, "no output");
  // A damaged macro: a header only.
  const std::string bad = dir.file("bad.zwm");
  std::ofstream(bad, std::ios::binary) << std::string(".zwm\1\0\0\0\0\0\0\0\5\0\0\0", 16);
  fails({"replay", bad, out}, "truncated macro");
  // Records without a canvas size need --canvas.
  const std::string bare = dir.file("bare.zwm");
  {
    zun_macro_control panel;
    ASSERT_TRUE(panel.create(macro_texts{}, nullptr));
    ASSERT_EQ(panel.record(), 1);
    macro_event e;
    e.phase = kMacroDown;
    e.pen_id = 11;
    e.pen_size = 8;
    ASSERT_EQ(panel.macro.record_pen_event(e), 1);  // no document: canvas 0 x 0
    panel.stop();
    ASSERT_EQ(panel.save(bare.c_str()), 1);
  }
  fails({"replay", bare, out}, "no canvas size");
  EXPECT_EQ(run({"replay", bare, out, "--canvas", "64x48"}), 0) << err_;
}

TEST_F(ZwstoolReplay, TextRecordsAreDrawnOrReportedAsSkipped) {
  zun_macro_control panel;
  ASSERT_TRUE(panel.create(macro_texts{}, nullptr));
  zun_macro_rec& list = *panel.macro.records;
  macro_record& r = list.items[0];
  r = macro_record{};
  r.record_kind = kMacroKindText;
  r.canvas_width = 160, r.canvas_height = 60;
  r.x = 4, r.y = 4;
  r.opacity = 1;
  std::snprintf(r.text.text, sizeof r.text.text, "%s", "Ink");
  r.text.font_height = 32;
  r.text.text_size = 32;
  list.count = 1;
  const std::string text = dir.file("text.zwm"), out = dir.file("text.zws");
  ASSERT_EQ(panel.save(text.c_str()), 1);
  ASSERT_EQ(run({"replay", text, out}), 0) << err_;
  zun_file back;
  ASSERT_TRUE(back.zun_file_init(2));
  ASSERT_EQ(back.doc_open(out.c_str()), 1);
  if (macro_text_available()) {
    EXPECT_EQ(out_.find("skipped"), std::string::npos) << out_;
    EXPECT_NE(out_.find("1 painted"), std::string::npos) << out_;
    EXPECT_GT(covered_pixels(back.surface()), 20);
  } else {
    EXPECT_NE(out_.find("note: 1 text records skipped"), std::string::npos) << out_;
    EXPECT_EQ(covered_pixels(back.surface()), 0);
  }
}

TEST_F(ZwstoolReplay, PensMissingFromTheTreeAreNamed) {
  record(240, 180);
  const std::string out = dir.file("x.zws");
  ASSERT_EQ(run({"replay", macro, out}), 0) << err_;
  EXPECT_EQ(out_.find("cannot be loaded"), std::string::npos) << out_;
  // A tree without pictures or brushes: texture and brush pens are lost.
  TempDir empty;
  tree = empty.path();
  ASSERT_EQ(run({"replay", macro, out}), 0) << err_;
  EXPECT_NE(out_.find("note: pens 20, 44, 48 cannot be loaded"), std::string::npos) << out_;
  use_install_tree();
}

TEST(ZwstoolReplayCanvas, ParsesWidthByHeight) {
  int32_t w = 0, h = 0;
  EXPECT_EQ(replay_parse_canvas("800x600", &w, &h), 1);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  EXPECT_EQ(replay_parse_canvas("16384X1", &w, &h), 1);
  for (const char* bad : {"", "x", "800", "800x", "x600", "800x600x", "-5x5", "5x0", "16385x5",
                          "800 x 600", "99999999999x5"})
    EXPECT_EQ(replay_parse_canvas(bad, &w, &h), 0) << bad;
}
