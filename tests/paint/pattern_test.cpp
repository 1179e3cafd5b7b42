// The pattern engine: tips of every mode, transfer tables, the special blends,
// erasing, paper and masks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/alloc.h"
#include "base/dib_stream.h"
#include "paint/pattern_dab.h"
#include "paint/pattern_engine.h"
#include "tests/paint/pen_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"
#include "tools/pack/pack_writer.h"

namespace {

using surface_ptr = std::unique_ptr<paint_surface, surface_deleter>;

class Pattern : public LeakCheck {
 protected:
  void TearDown() override {
    pattern_release(*e);
    LeakCheck::TearDown();  // the layer was there before the counters were read
  }
  void load(int type, int size, const char* folder = nullptr, int eraser = 0) {
    ASSERT_EQ(pattern_load(*e, type, eraser, size, folder, 1234), 1);
  }
  int stroke(int x0, int y0, int x1, int y1, uint32_t colour = 0, float opacity = 1.0f,
             float pressure = 1.0f, const dib_block* paper = nullptr,
             const surface_rgn* mask = nullptr) {
    EXPECT_EQ(pattern_begin(*e, layer.get(), x0, y0, pressure), 1);
    dib_rect r;
    const int n = pattern_segment(*e, layer.get(), x1, y1, colour, opacity, pressure, paper, mask, &r);
    pattern_end(*e);
    return n;
  }
  std::unique_ptr<pattern_engine> e{new pattern_engine};
  surface_ptr layer{surface_new(64, 96)};
};

std::string folder_of(const TempDir& d) { return d.path(); }

int by_index(int32_t x, int32_t y, void* ctx) { return *static_cast<int*>(ctx); }

}  // namespace

TEST_F(Pattern, ParametersFollowTheTypeTable) {
  pattern_params p;
  ASSERT_EQ(pattern_params_for(3, 10, 0, &p), 1);
  EXPECT_EQ(p.size, 40);  // 4 s
  EXPECT_EQ(p.mode, 1);
  EXPECT_DOUBLE_EQ(p.spacing, 0.15);  // 2 / 40 below 0.15
  ASSERT_EQ(pattern_params_for(7, 4, 0, &p), 1);
  EXPECT_DOUBLE_EQ(p.spacing, 0.25);  // 2.5 / 4 at or above 0.25
  EXPECT_DOUBLE_EQ(p.gain, 5);
  ASSERT_EQ(pattern_params_for(10, 16, 0, &p), 1);
  EXPECT_EQ(p.size, 32);
  EXPECT_DOUBLE_EQ(p.sphere_radius, 14);  // k = 15
  ASSERT_EQ(pattern_params_for(10, 2, 0, &p), 1);
  EXPECT_DOUBLE_EQ(p.sphere_radius, 1);  // k = max(1, 2)
  ASSERT_EQ(pattern_params_for(1, 0, 0, &p), 1);
  EXPECT_EQ(p.size, 2);  // sizes below 2 count as 2
  EXPECT_EQ(pattern_params_for(0, 8, 0, &p), 0);
  EXPECT_EQ(pattern_params_for(14, 8, 0, &p), 0);
  EXPECT_EQ(pattern_tip_count(2, 160), 100);
  EXPECT_EQ(pattern_tip_count(2, 48), 48);
}

TEST_F(Pattern, TypeTwelvePaintsFullSquares) {
  load(12, 8);
  EXPECT_EQ(stroke(40, 30, 40, 32), 1);
  // Two dabs 1.75 apart: the union of two solid 8 x 8 squares.
  // left = floor(40 - 3.5) = 36, right = ceil(3.5 + 40) = 44.
  const dib_rect square{36, 26, 44, 35};
  EXPECT_EQ(painted_count(layer.get(), &square), 8 * 9);
  EXPECT_EQ(painted_count(layer.get()), 8 * 9);
  for (int32_t y = square.top; y < square.bottom; ++y)
    for (int32_t x = square.left; x < square.right; ++x) EXPECT_EQ(coverage_at(layer.get(), x, y), 255);
}

TEST_F(Pattern, ModeOneScalesByStrengthAndModeZeroByTheTable) {
  load(12, 8);
  const unsigned char* full = pattern_dab_tip(*e, 5, 5, 1.0);
  EXPECT_EQ(full[0], 255);
  const unsigned char* half = pattern_dab_tip(*e, 5, 5, 0.5);
  EXPECT_EQ(half[0], 127);
  // Type 1: the generated table cuts more of a tip at lower strength.
  load(1, 16);
  int strong = 0, weak = 0;
  const unsigned char* t = pattern_dab_tip(*e, 5.0, 5.0, 1.0);
  for (int i = 0; i < 256; ++i) strong += t[i] > 0;
  t = pattern_dab_tip(*e, 5.0, 5.0, 0.2);
  for (int i = 0; i < 256; ++i) weak += t[i] > 0;
  EXPECT_GT(strong, weak);
  EXPECT_GT(weak, 0);
}

TEST_F(Pattern, GeneratedProfilesAndTips) {
  load(1, 16);  // smooth profile, radius 0.9: round, full in the middle, empty corners
  const unsigned char* tip0 = e->tips;
  EXPECT_GT(tip0[8 * 16 + 8], 200);
  EXPECT_EQ(tip0[0], 0);
  EXPECT_EQ(tip0[15 * 16 + 15], 0);
  // The phase moves the tip: phase column 9 has more on its right side.
  const unsigned char* tip9 = e->tips + 9 * 256;
  EXPECT_GT(tip9[8 * 16 + 14], tip0[8 * 16 + 14]);
  load(3, 4);  // round tip of 16, intensity 0.5: 127 at most
  int peak = 0;
  for (int i = 0; i < 256; ++i) peak = std::max(peak, int(e->tips[i]));
  EXPECT_LE(peak, 128);
  EXPECT_GT(peak, 100);
  load(10, 8);  // soft tip of 16: k = 7, full disc around (7.9, 7.9)
  EXPECT_EQ(e->tips[8 * 16 + 8], 255);
  EXPECT_EQ(e->tips[0], 0);
}

TEST_F(Pattern, TransferTableIsReadFromPreBmpRowsFromTheTop) {
  // A table whose upper half (weak strengths) maps everything to 0 and whose
  // lower half is the identity in both maps.
  TempDir dir;
  dib_block* table = grey_picture(
      512, 512, [](int32_t x, int32_t y, void*) { return y < 256 ? 0 : x & 255; }, nullptr);
  ASSERT_TRUE(write_picture(dir.file("bmp") + TempDir::sep() + "fl$pre.bmp", table));
  dib_free(table);
  load(1, 8, folder_of(dir).c_str());
  EXPECT_EQ(e->transfer[100 * 512 + 200], 0);
  EXPECT_EQ(e->transfer[300 * 512 + 200], 200);
  EXPECT_EQ(stroke(20, 20, 40, 20, 0, 1.0f, 0.3f), 0);  // row 153: nothing
  EXPECT_EQ(painted_count(layer.get()), 0);
  EXPECT_EQ(stroke(20, 20, 40, 20, 0, 1.0f, 0.9f), 1);
  EXPECT_GT(painted_count(layer.get()), 0);
}

TEST_F(Pattern, ModeTwoTipChoiceByPressureFromLooseFiles) {
  // Type 11 at size 4: d = 8, eight tips from ca8, ca6, ca6, ca4, ca4, ca2, ca2, ca2.
  TempDir dir;
  for (int s = 2; s <= 8; s += 2) {
    int v = s * 30;
    dib_block* b = grey_picture(s, s, by_index, &v);
    char name[32];
    std::snprintf(name, sizeof name, "ca%d.bmp", s);
    ASSERT_TRUE(write_picture(dir.file("bmp") + TempDir::sep() + name, b));
    dib_free(b);
  }
  load(11, 4, folder_of(dir).c_str());
  ASSERT_EQ(e->tip_count, 8);
  // Pressure 1 picks tip 0 (the 8 x 8 file), near 0 the last one (2 x 2, centred).
  const unsigned char* t = pattern_dab_tip(*e, 0, 0, 1.0);
  EXPECT_EQ(t[0], 240);
  t = pattern_dab_tip(*e, 0, 0, 0.1);
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[3 * 8 + 3], 60 * 25 >> 8);  // types 5 and 11 scale by q
  EXPECT_EQ(e->tips[7 * 64 + 3 * 8 + 3], 60);
  EXPECT_EQ(e->tips[1 * 64 + 1 * 8 + 1], 180);  // tip 1: n = 7 reads ca6
  t = pattern_dab_tip(*e, 0, 0, 0.5);  // floor(0.5 * 8) = tip 4 (n = 4: ca4)
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[2 * 8 + 2], 120 * 128 >> 8);
}

TEST_F(Pattern, PackageIsPreferredToLooseFiles) {
  TempDir dir;
  int loose = 11, packed = 99;
  dib_block* b = grey_picture(4, 4, by_index, &loose);
  ASSERT_TRUE(write_picture(dir.file("bmp") + TempDir::sep() + "br4.bmp", b));
  dib_free(b);
  b = grey_picture(4, 4, by_index, &packed);
  pack_entry entry;
  entry.name = "br4.bmp";
  entry.kind = 1;
  ASSERT_EQ(dib_write_stream(
                b,
                [](void* ctx, const void* data, std::size_t n) {
                  auto* v = static_cast<std::vector<unsigned char>*>(ctx);
                  v->insert(v->end(), static_cast<const unsigned char*>(data),
                            static_cast<const unsigned char*>(data) + n);
                  return 1;
                },
                &entry.data),
            1);
  dib_free(b);
  std::string error;
  ASSERT_EQ(pack_write_pattern(dir.file("br"), {entry}, &error), 1) << error;
  load(6, 2, folder_of(dir).c_str());  // d = 4: tips of 4, 3 (br2), 2, 1 (br2)
  EXPECT_EQ(e->tips[0], 99);
  EXPECT_EQ(e->tips[16 + 5], 0);  // br2 is in neither: an empty tip
}

TEST_F(Pattern, WashNeverDarkensAPixelTwiceInAStroke) {
  load(5, 8);
  // Without tip files the wash tips are empty; give tip 0 a full square.
  std::memset(e->tips, 255, 64);
  ASSERT_EQ(pattern_begin(*e, layer.get(), 20, 30, 1.0f), 1);
  dib_rect r;
  ASSERT_EQ(pattern_segment(*e, layer.get(), 60, 30, 0x0000ff, 0.5f, 1.0f, nullptr, nullptr, &r), 1);
  const int once = coverage_at(layer.get(), 40, 30);
  EXPECT_NEAR(once, 127, 2);
  // Back over the same pixels: no build-up.
  pattern_segment(*e, layer.get(), 20, 30, 0x0000ff, 0.5f, 1.0f, nullptr, nullptr, &r);
  EXPECT_EQ(coverage_at(layer.get(), 40, 30), once);
  pattern_end(*e);
  // A second stroke does build up.
  ASSERT_EQ(pattern_begin(*e, layer.get(), 20, 30, 1.0f), 1);
  pattern_segment(*e, layer.get(), 60, 30, 0x0000ff, 0.5f, 1.0f, nullptr, nullptr, &r);
  pattern_end(*e);
  EXPECT_GT(coverage_at(layer.get(), 40, 30), once + 50);
}

TEST_F(Pattern, WashEdgeOverAStrongerMarkRestoresThenPaintsAtTheThreshold) {
  load(5, 8);
  std::memset(e->tips, 255, 64);
  std::memset(e->tips + 64, 60, 7 * 64);  // weaker tips: below the threshold, raised to 160
  ASSERT_EQ(pattern_begin(*e, layer.get(), 30, 30, 1.0f), 1);
  dib_rect r;
  pattern_segment(*e, layer.get(), 31, 30, 0xff0000, 1.0f, 1.0f, nullptr, nullptr, &r);
  EXPECT_EQ(coverage_at(layer.get(), 30, 30), 255);
  // Falling pressure reaches the weaker tips while (30, 30) is still under
  // them: the pixel goes back to its start and takes 160 / 255, once.
  pattern_segment(*e, layer.get(), 40, 30, 0xff0000, 1.0f, 0.5f, nullptr, nullptr, &r);
  pattern_end(*e);
  EXPECT_NEAR(coverage_at(layer.get(), 30, 30), 160, 1);
  EXPECT_NEAR(coverage_at(layer.get(), 38, 30), 160, 1);
}

TEST_F(Pattern, MarkerMultipliesIntoWhatIsThere) {
  load(7, 8);
  // Green already there; a red marker turns it dark, never lighter.
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 96; ++x) surface_paint_pixel(layer.get(), x, y, 0x00ff00, 1.0f);
  stroke(20, 30, 70, 30, 0x0000ff, 1.0f);
  unsigned char bgr[3];
  colour_at(layer.get(), 45, 30, bgr);
  EXPECT_LT(bgr[1], 255);  // green multiplied by red's 0
  EXPECT_EQ(bgr[2], 0);    // red stays 0: existing * pen
  EXPECT_EQ(bgr[0], 0);
  EXPECT_EQ(coverage_at(layer.get(), 45, 30), 255);
}

TEST_F(Pattern, LitSphereIsLighterTowardsTheUpperLeft) {
  const uint32_t pen = 0x0000c0;  // dark red
  const uint32_t upper_left = sphere_colour(pen, -5, -5, 10), lower_right = sphere_colour(pen, 5, 5, 10);
  EXPECT_GT(dib_red(upper_left) + dib_green(upper_left), dib_red(lower_right) + dib_green(lower_right));
  // Channels below 10 count as 0: a near-black pen shades a pure grey.
  load(10, 8);
  stroke(30, 30, 60, 30, dib_colour(200, 5, 5), 1.0f);
  unsigned char bgr[3];
  colour_at(layer.get(), 44, 30, bgr);
  EXPECT_GT(bgr[2], 100);
  EXPECT_EQ(bgr[0], bgr[1]);  // green and blue both from 0
}

TEST_F(Pattern, EraserPaperAndMask) {
  load(12, 8);
  stroke(40, 30, 40, 31, 0, 1.0f);  // one dab
  ASSERT_EQ(painted_count(layer.get()), 64);
  load(12, 8, nullptr, 1);
  stroke(40, 30, 40, 31, 0xffffff, 0.5f);
  EXPECT_EQ(coverage_at(layer.get(), 40, 30), 127);  // faded, not painted over
  stroke(40, 30, 40, 31, 0xffffff, 1.0f);
  EXPECT_EQ(painted_count(layer.get()), 0);

  // Paper: nothing where the paper byte is 0 (every other column).
  layer.reset(surface_new(64, 96));
  load(1, 8);
  dib_block* paper = grey_picture(2, 2, [](int32_t x, int32_t, void*) { return x ? 255 : 0; }, nullptr);
  stroke(20, 30, 70, 30, 0, 1.0f, 1.0f, paper);
  int even = 0, odd = 0;
  for (int32_t x = 20; x < 70; ++x) (x % 2 ? odd : even) += coverage_at(layer.get(), x, 30) > 0;
  EXPECT_EQ(even, 0);
  EXPECT_GT(odd, 20);
  dib_free(paper);
  // Types 12 and 13 never take one.
  load(12, 8);
  paper = grey_fill(2, 2, 0);
  EXPECT_EQ(stroke(20, 10, 70, 10, 0, 1.0f, 1.0f, paper), 1);
  dib_free(paper);

  // Mask: only the cells that are nonzero.
  layer.reset(surface_new(64, 96));
  std::vector<int32_t> cells(96 * 64, 0);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 48; ++x) cells[y * 96 + x] = 1;
  const surface_rgn mask{0, 0, 96, 64, cells.data(), 1};
  stroke(20, 30, 70, 30, 0, 1.0f, 1.0f, nullptr, &mask);
  EXPECT_GT(painted_count(layer.get()), 0);
  const dib_rect right{48, 0, 96, 64};
  EXPECT_EQ(painted_count(layer.get(), &right), 0);
}

TEST_F(Pattern, SegmentsNeedABegunStrokeOnTheSameLayer) {
  dib_rect r;
  EXPECT_EQ(pattern_segment(*e, layer.get(), 5, 5, 0, 1, 1, nullptr, nullptr, &r), 0);  // nothing loaded
  load(12, 4);
  EXPECT_EQ(pattern_segment(*e, layer.get(), 5, 5, 0, 1, 1, nullptr, nullptr, &r), 0);  // not begun
  EXPECT_EQ(pattern_begin(*e, nullptr, 0, 0, 1), 0);
  ASSERT_EQ(pattern_begin(*e, layer.get(), 0, 0, 1), 1);
  surface_ptr other{surface_new(8, 8)};
  EXPECT_EQ(pattern_segment(*e, other.get(), 5, 5, 0, 1, 1, nullptr, nullptr, &r), 0);
  pattern_cancel(*e);
  EXPECT_EQ(pattern_segment(*e, layer.get(), 5, 5, 0, 1, 1, nullptr, nullptr, &r), 0);
  EXPECT_EQ(painted_count(layer.get()), 0);
  // Dabs beyond the layer draw nothing and report nothing.
  ASSERT_EQ(pattern_begin(*e, layer.get(), 500, 500, 1), 1);
  EXPECT_EQ(pattern_segment(*e, layer.get(), 520, 500, 0, 1, 1, nullptr, nullptr, &r), 0);
  EXPECT_TRUE(dib_rect_empty(r));
}
