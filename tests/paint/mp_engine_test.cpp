// The brush engine: loading, paint state to settings, strokes.
#include <gtest/gtest.h>
#include <mypaint-brush-settings.h>
#include <mypaint-brush.h>

#include <cmath>
#include <fstream>
#include <string>

#include "base/dib.h"
#include "base/surface.h"
#include "paint/mp_engine.h"
#include "paint/pen_catalogue.h"
#include "tests/paint/mp_test_support.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"
#include "tools/pack/pack_writer.h"

namespace {

// A plain round brush: opaque, hard, closely spaced, no dynamics.
const char kRound[] =
    "version 2\n"
    "opaque 1.0\nopaque_multiply 1.0\nhardness 0.9\ndabs_per_actual_radius 3.0\nelliptical_dab_ratio 1.0\n";

class MpEngine : public LeakCheck {
 protected:
  void SetUp() override {
    LeakCheck::SetUp();
    e_ = new (std::nothrow) mp_engine;
    ASSERT_NE(e_, nullptr);
    ASSERT_EQ(e_->create(), 1);
    ASSERT_EQ(e_->ready(), 1);
  }
  void TearDown() override {
    delete e_;
    LeakCheck::TearDown();
  }
  float library_base(MyPaintBrushSetting id) {
    return mypaint_brush_get_base_value(e_->brush().handle(), id);
  }
  mp_engine* e_ = nullptr;
};

TEST_F(MpEngine, CreateClearsTheFormatsSettingsAndKeepsTheLibrarysOthers) {
  for (int i = 0; i < kMpSettingCount; ++i) EXPECT_EQ(e_->brush().base(i), 0.0f) << i;
  EXPECT_EQ(library_base(MYPAINT_BRUSH_SETTING_OPAQUE), 0.0f);
  EXPECT_EQ(library_base(MYPAINT_BRUSH_SETTING_ANTI_ALIASING), 1.0f);  // library default
  EXPECT_EQ(e_->stroke_open(), 0);
}

TEST_F(MpEngine, TextWithoutSettingsFailsToLoad) {
  const std::string text = "# mypaint brush file\nversion 2\n";
  EXPECT_EQ(e_->load_brush_text(text.data(), text.size()), 0);
  EXPECT_EQ(e_->load_brush("nowhere$none", "/nonexistent/folder/mp"), 0);
  EXPECT_EQ(e_->load_brush("", "."), 0);
  EXPECT_EQ(e_->load_brush(nullptr, "."), 0);
}

TEST_F(MpEngine, LoadedSettingsReachTheLibraryWithinItsRanges) {
  const std::string text =
      "opaque 1.5 | pressure (0 0), (1 1)\nhardness 0.25\ndabs_per_second 1e6\n"
      "radius_logarithmic -50\n";
  ASSERT_EQ(e_->load_brush_text(text.data(), text.size()), 1);
  EXPECT_FLOAT_EQ(library_base(MYPAINT_BRUSH_SETTING_OPAQUE), 1.5f);
  EXPECT_FLOAT_EQ(library_base(MYPAINT_BRUSH_SETTING_HARDNESS), 0.25f);
  MyPaintBrush* b = e_->brush().handle();
  ASSERT_EQ(mypaint_brush_get_mapping_n(b, MYPAINT_BRUSH_SETTING_OPAQUE, MYPAINT_BRUSH_INPUT_PRESSURE), 2);
  float x, y;
  mypaint_brush_get_mapping_point(b, MYPAINT_BRUSH_SETTING_OPAQUE, MYPAINT_BRUSH_INPUT_PRESSURE, 1, &x, &y);
  EXPECT_FLOAT_EQ(x, 1.0f);
  EXPECT_FLOAT_EQ(y, 1.0f);
  // Out-of-range base values are held to the library's range, so a brush
  // text cannot ask for a million dabs a second.
  const MyPaintBrushSettingInfo* dps = mypaint_brush_setting_info(MYPAINT_BRUSH_SETTING_DABS_PER_SECOND);
  const MyPaintBrushSettingInfo* rl = mypaint_brush_setting_info(MYPAINT_BRUSH_SETTING_RADIUS_LOGARITHMIC);
  EXPECT_FLOAT_EQ(library_base(MYPAINT_BRUSH_SETTING_DABS_PER_SECOND), dps->max);
  EXPECT_LT(dps->max, 1000.0f);
  EXPECT_FLOAT_EQ(library_base(MYPAINT_BRUSH_SETTING_RADIUS_LOGARITHMIC), rl->min);
}

TEST_F(MpEngine, SetPaintTurnsColourOpacityAndSizeIntoBaseValues) {
  e_->set_paint(dib_colour(255, 0, 0), 0.5f, 4.0f, nullptr, 0);
  EXPECT_FLOAT_EQ(e_->brush().base(kMpColorH), 0.0f);
  EXPECT_FLOAT_EQ(e_->brush().base(kMpColorS), 1.0f);
  EXPECT_FLOAT_EQ(e_->brush().base(kMpColorV), 1.0f);
  EXPECT_FLOAT_EQ(library_base(MYPAINT_BRUSH_SETTING_COLOR_S), 1.0f);
  EXPECT_FLOAT_EQ(library_base(MYPAINT_BRUSH_SETTING_OPAQUE), 0.5f);
  EXPECT_FLOAT_EQ(library_base(MYPAINT_BRUSH_SETTING_RADIUS_LOGARITHMIC), std::log(4.0f));
  EXPECT_FLOAT_EQ(e_->surface().pen_r, 1.0f);
  EXPECT_FLOAT_EQ(e_->surface().pen_g, 0.0f);

  e_->set_paint(dib_colour(0, 255, 0), 3.0f, 4.0f, nullptr, 1);
  EXPECT_NEAR(e_->brush().base(kMpColorH), 1.0f / 3.0f, 1e-6);
  EXPECT_FLOAT_EQ(e_->brush().base(kMpOpaque), 1.0f);  // clamped
  EXPECT_EQ(e_->surface().oil, 1);
  e_->set_paint(dib_colour(0, 0, 255), -1.0f, 4.0f, nullptr, 0);
  EXPECT_NEAR(e_->brush().base(kMpColorH), 2.0f / 3.0f, 1e-6);
  EXPECT_FLOAT_EQ(e_->brush().base(kMpOpaque), 0.0f);
  e_->set_paint(dib_colour(255, 0, 255), 1.0f, 4.0f, nullptr, 0);
  EXPECT_NEAR(e_->brush().base(kMpColorH), 5.0f / 6.0f, 1e-6);
  // Greys (max - min <= 0.0001) have no hue and no saturation.
  e_->set_paint(dib_colour(128, 128, 128), 1.0f, 4.0f, nullptr, 0);
  EXPECT_FLOAT_EQ(e_->brush().base(kMpColorH), 0.0f);
  EXPECT_FLOAT_EQ(e_->brush().base(kMpColorS), 0.0f);
  EXPECT_NEAR(e_->brush().base(kMpColorV), 128.0f / 255.0f, 1e-6);
}

TEST_F(MpEngine, StepsOnlyInsideAnOpenStrokeWithALayer) {
  ASSERT_EQ(e_->load_brush_text(kRound, sizeof kRound - 1), 1);
  paint_surface* layer = surface_new(60, 80);
  e_->set_paint(dib_colour(0, 0, 0), 1.0f, 3.0f, nullptr, 0);
  dib_rect r{1, 2, 3, 4};
  EXPECT_EQ(e_->step(layer, 40, 30, 1.0f, 0.01, nullptr, &r), 0);  // no begin
  EXPECT_TRUE(dib_rect_empty(r));
  e_->begin(10, 30, 1.0f);
  EXPECT_EQ(e_->stroke_open(), 1);
  EXPECT_EQ(e_->step(nullptr, 40, 30, 1.0f, 0.01, nullptr, &r), 0);
  ASSERT_EQ(e_->step(layer, 40, 30, 1.0f, 0.01, nullptr, &r), 1);
  // The whole segment from the begin point is painted in this first step.
  unsigned char p[4];
  surface_read_pixel(layer, 12, 30, p);
  EXPECT_GE(p[3], 250);
  surface_read_pixel(layer, 38, 30, p);
  EXPECT_GE(p[3], 250);
  surface_read_pixel(layer, 25, 40, p);
  EXPECT_EQ(p[3], 0);
  // The reported rectangle holds every painted pixel and lies in the layer.
  dib_rect painted = surface_changed_area(layer, 0);
  EXPECT_LE(r.left, painted.left);
  EXPECT_LE(r.top, painted.top);
  EXPECT_GE(r.right, painted.right);
  EXPECT_GE(r.bottom, painted.bottom);
  e_->end();
  EXPECT_EQ(e_->step(layer, 60, 30, 1.0f, 0.01, nullptr, &r), 0);

  // Eraser: the same stroke with the flag set takes the paint away again.
  e_->begin(10, 30, 1.0f);
  e_->set_eraser(1);
  EXPECT_EQ(e_->step(layer, 40, 30, 1.0f, 0.01, nullptr, &r), 1);
  e_->end();
  surface_read_pixel(layer, 25, 30, p);
  EXPECT_EQ(p[3], 0);
  surface_free(layer);
}

TEST_F(MpEngine, SmudgeOverTransparentPaintPicksUpNothing) {
  const char smudger[] =
      "opaque 1\nopaque_multiply 1\nhardness 0.8\ndabs_per_actual_radius 4\nsmudge 1\nsmudge_length 0\n";
  ASSERT_EQ(e_->load_brush_text(smudger, sizeof smudger - 1), 1);
  paint_surface* layer = surface_new(40, 120);
  paint_surface* before = surface_clone(layer);
  e_->set_paint(dib_colour(255, 0, 0), 1.0f, 5.0f, nullptr, 0);
  e_->begin(10, 20, 1.0f);
  for (int x = 15; x <= 110; x += 5) e_->step(layer, float(x), 20, 1.0f, 0.01, nullptr, nullptr);
  e_->end();
  EXPECT_EQ(mp_count_changed(layer, before), 0) << "the red pen colour must not appear";

  // Starting in paint, the same brush drags it into the bare part.
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 30; ++x) surface_paint_pixel(layer, x, y, dib_colour(0, 0, 255), 1.0f);
  e_->begin(10, 20, 1.0f);
  for (int x = 15; x <= 60; x += 5) e_->step(layer, float(x), 20, 1.0f, 0.01, nullptr, nullptr);
  e_->end();
  unsigned char p[4];
  surface_read_pixel(layer, 40, 20, p);
  EXPECT_GT(p[3], 0);
  EXPECT_GT(p[0], 128);  // blue, not the red of the pen
  EXPECT_LT(p[2], 64);
  surface_free(before);
  surface_free(layer);
}

TEST_F(MpEngine, BrushComesFromThePackageBeforeTheLooseFile) {
  TempDir dir;
  const std::string folder = dir.file("mp");  // the resolved "Gpenpat\mp"
  std::string error;
  const std::string packed = "opaque 0.5\n";
  pack_entry entry{"classic$kabura.myb", 0, {packed.begin(), packed.end()}};
  ASSERT_EQ(pack_write_brush(dir.file("mp"), {entry}, &error), 1) << error;
  std::filesystem::create_directory(folder);
  std::ofstream(dir.file("mp") + TempDir::sep() + "classic$kabura.myb") << "hardness 0.7\n";
  std::ofstream(dir.file("mp") + TempDir::sep() + "oszan$flat.myb") << "hardness 0.3\n";

  // The entry name is looked up in lower case.
  ASSERT_EQ(e_->load_brush("Classic$Kabura", folder.c_str()), 1);
  EXPECT_FLOAT_EQ(e_->brush().base(kMpOpaque), 0.5f);
  EXPECT_FLOAT_EQ(e_->brush().base(kMpHardness), 0.0f);
  // Not in the package: the loose file.
  ASSERT_EQ(e_->load_brush("oszan$flat", folder.c_str()), 1);
  EXPECT_FLOAT_EQ(e_->brush().base(kMpOpaque), 0.0f);
  EXPECT_FLOAT_EQ(e_->brush().base(kMpHardness), 0.3f);
  // A folder ending in a separator finds the same package.
  ASSERT_EQ(e_->load_brush("classic$kabura", (dir.path() + TempDir::sep()).c_str()), 1);
  EXPECT_FLOAT_EQ(e_->brush().base(kMpOpaque), 0.5f);
  EXPECT_EQ(e_->load_brush("classic$missing", folder.c_str()), 0);
}

// Every brush pen of the catalogue finds its installed brush file, loads it
// and paints a visible stroke (smudging brushes over existing paint).
TEST(MpCatalogue, EveryBrushPenLoadsAndPaints) {
  const std::string folder = mp_tree_brush_folder();
  ASSERT_FALSE(folder.empty()) << "QM_TREE is not set";
  int pens = 0;
  for (int i = 0; i < kPenCount; ++i) {
    const pen_desc& d = pen_catalogue()[i];
    if (d.kind != kPenBrush) continue;
    ++pens;
    SCOPED_TRACE(d.brush_name);
    mp_engine e;
    ASSERT_EQ(e.create(), 1);
    ASSERT_EQ(e.load_brush(d.brush_name, folder.c_str()), 1);
    paint_surface* layer = mp_banded_layer(200, 120);
    paint_surface* before = surface_clone(layer);
    const uint32_t colour = d.uses_colour ? dib_colour(30, 60, 160) : 0;
    const float size = 0.5f * (d.size_min + d.size_max);
    dib_rect dirty;
    EXPECT_GT(mp_play(e, layer, mp_test_stroke(200, 120), colour, d.alpha_factor, size,
                      d.brush_flag, &dirty), 0);
    EXPECT_GE(mp_count_changed(layer, before), 40);
    EXPECT_FALSE(dib_rect_empty(dirty));
    surface_free(before);
    surface_free(layer);
  }
  EXPECT_EQ(pens, 32);
}

}  // namespace
