// Opening: the path rules, pictures imported into new documents, documents,
// templates and copybook models, and what a failed open leaves.
#include <gtest/gtest.h>

#include <string>

#include "base/dib.h"
#include "base/os.h"
#include "doc/zun_file.h"
#include "doc/zws.h"
#include "image/image.h"
#include "tests/doc/controller_util.h"
#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {
class ControllerOpen : public LeakCheck {
 protected:
  Initialised initialised_;
  TempDir dir_;

  // A tagged w x h picture written as a PNG (with a coverage plane when given).
  std::string write_png(const char* name, int w, int h, int with_alpha) {
    const std::string path = dir_.file(name);
    dib_block* b = dib_create(h, 1, w, 0);
    fill_tagged(b);
    dib_block* a = with_alpha ? dib_create(h, 0, w, 0) : nullptr;
    if (a) set_px(a, 1, 1, 255), set_px(a, 2, 1, 128);
    EXPECT_TRUE(png_write(path.c_str(), b, a));
    dib_free(b);
    dib_free(a);
    return path;
  }
};

std::unique_ptr<zun_file> fresh(int32_t template_w = 0, int32_t template_h = 0) {
  auto f = std::make_unique<zun_file>();
  f->template_width = template_w;
  f->template_height = template_h;
  EXPECT_TRUE(f->zun_file_init(4));
  f->canvas->view_setup(0, 0, 800, 600);
  return f;
}

TEST_F(ControllerOpen, PathRules) {
  auto f = fresh(8, 8);
  f->modified = 0;
  f->set_path("C:\\pics.v2\\cat.PNG");
  EXPECT_STREQ(f->path, "C:\\pics.v2\\cat.zws");
  EXPECT_EQ(f->path_is_document, 0);
  EXPECT_EQ(f->modified, 1);
  EXPECT_TRUE(Initialised::pending(kStateView4096));

  f->modified = 0;
  f->set_path("dir.d/noext");  // a dot in a folder is no extension
  EXPECT_STREQ(f->path, "dir.d/noext.zws");
  f->set_path("a/b.ZWS");
  EXPECT_STREQ(f->path, "a/b.ZWS");
  EXPECT_EQ(f->path_is_document, 1);
  f->set_path("");
  EXPECT_STREQ(f->path, "");
  EXPECT_EQ(f->path_is_document, 1);
  // A path that does not fit is dropped, never cut into another file's name.
  f->set_path(std::string(600, 'x').append(".zws").c_str());
  EXPECT_STREQ(f->path, "");
  f->set_path(std::string(kDocPathMax, 'y').c_str());
  EXPECT_EQ(std::string(f->path).size(), std::size_t(kDocPathMax));
  EXPECT_EQ(std::string(f->path).substr(kDocPathMax - 4), ".zws");
}

TEST_F(ControllerOpen, PictureWithoutAlphaBecomesTheBackgroundOfAnUnsavedDocument) {
  const std::string png = write_png("photo.png", 9, 5, 0);
  auto f = fresh(30, 20);
  state_clear(app_changes());
  ASSERT_TRUE(f->doc_open(png.c_str()));
  EXPECT_EQ(f->width(), 9);
  EXPECT_EQ(f->height(), 5);
  EXPECT_EQ(std::string(f->path), dir_.file("photo.zws"));
  EXPECT_EQ(f->path_is_document, 0);
  EXPECT_EQ(f->modified, 1);
  const dib_block* bg = f->data->current_background()->image;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x) ASSERT_EQ(px(bg, x, y), tag_of(x, y)) << x << "," << y;
  EXPECT_TRUE(dib_rect_empty(surface_changed_area(f->surface(), 0)));
  for (uint32_t key : {kStateView4096, kStateView, kStateHistory, kStateDocument256,
                       kStateDocument512, kStateModified})
    EXPECT_TRUE(Initialised::pending(key)) << key;
  EXPECT_FALSE(f->history_undo()) << "the ring was recreated empty";
}

TEST_F(ControllerOpen, PictureWithAlphaIsPaintedOntoTheSurface) {
  const std::string png = write_png("sticker.png", 4, 3, 1);
  auto f = fresh();
  ASSERT_TRUE(f->doc_open(png.c_str()));
  paint_surface* s = f->surface();
  EXPECT_EQ(px(s->coverage, 1, 1), 255u);
  EXPECT_EQ(px(s->colour, 1, 1), tag_of(1, 1));
  EXPECT_NEAR(double(px(s->coverage, 2, 1)), 128.0, 1.0);
  EXPECT_EQ(px(s->coverage, 0, 0), 0u) << "transparent parts stay unpainted";
  EXPECT_EQ(px(f->data->current_background()->image, 1, 1), 0xFFFFFFu);
}

TEST_F(ControllerOpen, PictureLargerThanTheMaximumIsCentredAndClipped) {
  const std::string png = write_png("wide.png", 10, 4, 0);
  auto f = fresh();
  f->max_width = 6;
  ASSERT_TRUE(f->doc_open(png.c_str()));
  EXPECT_EQ(f->width(), 6);
  EXPECT_EQ(px(f->data->current_background()->image, 0, 0), tag_of(2, 0));
  EXPECT_EQ(px(f->data->current_background()->image, 5, 3), tag_of(7, 3));
}

TEST_F(ControllerOpen, DocumentOpensSavedAndWithoutHistory) {
  const std::string path = dir_.file("work.zws");
  {
    auto src = make_document(12, 7);
    surface_paint_pixel(src->surface(), 3, 2, dib_colour(9, 8, 7), 1.0f);
    ASSERT_TRUE(write_document(*src->data, path.c_str()));
  }
  auto f = fresh(30, 20);
  f->modified = 1;
  ASSERT_TRUE(f->doc_open(path.c_str()));
  EXPECT_EQ(f->width(), 12);
  EXPECT_EQ(f->modified, 0);
  EXPECT_EQ(f->path_is_document, 1);
  EXPECT_EQ(std::string(f->path), path);
  EXPECT_EQ(px(f->surface()->colour, 3, 2), dib_colour(9, 8, 7));
  EXPECT_FALSE(f->history_undo());
  EXPECT_FALSE(f->can_undo());
  // The history works again once a step is recorded.
  ASSERT_TRUE(f->history_push(1));
  surface_paint_pixel(f->surface(), 0, 0, 0, 1.0f);
  EXPECT_TRUE(f->history_undo());
  EXPECT_EQ(px(f->surface()->coverage, 0, 0), 0u);

  // As a template the same file starts an untitled, modified document.
  auto t = fresh();
  ASSERT_TRUE(t->doc_open_template(path.c_str()));
  EXPECT_STREQ(t->path, "");
  EXPECT_EQ(t->path_is_document, 1);
  EXPECT_EQ(t->modified, 1);
  EXPECT_EQ(px(t->surface()->colour, 3, 2), dib_colour(9, 8, 7));
}

TEST_F(ControllerOpen, FailedOpenLeavesAFreshDocumentOfTheTemplateSize) {
  const std::string bad_doc = dir_.file("broken.zws"), bad_png = dir_.file("broken.png");
  ctl::spit(bad_doc, ".zws\x01\x00\x00\x00garbage");
  ctl::spit(bad_png, "\x89PNG\r\n\x1a\n not really");
  for (const std::string& bad : {bad_doc, bad_png}) {
    auto f = fresh(30, 20);
    ASSERT_TRUE(f->doc_new(50, 40));
    f->set_path(dir_.file("old.zws").c_str());
    surface_paint_pixel(f->surface(), 1, 1, 0, 1.0f);
    EXPECT_FALSE(f->doc_open(bad.c_str())) << bad;
    EXPECT_EQ(f->width(), 30);
    EXPECT_EQ(f->height(), 20);
    EXPECT_STREQ(f->path, "");
    EXPECT_EQ(f->modified, 0);
    EXPECT_EQ(px(f->surface()->coverage, 1, 1), 0u);
    EXPECT_FALSE(f->doc_open_template(bad.c_str()));
    EXPECT_STREQ(f->path, "");
  }
  // Nothing to open at all: the current document stays.
  auto g = fresh(30, 20);
  ASSERT_TRUE(g->doc_new(50, 40));
  EXPECT_FALSE(g->doc_open(dir_.file("missing.png").c_str()));
  EXPECT_FALSE(g->doc_open(""));
  EXPECT_FALSE(g->doc_open(nullptr));
  EXPECT_FALSE(g->doc_open(dir_.path().c_str()));
  EXPECT_EQ(g->width(), 50);
}

TEST_F(ControllerOpen, CopybookModelLiesInTheBackgroundToneOptional) {
  const std::string path = dir_.file("model.bmp");
  dib_block* b = dib_create(3, 1, 4, 0);
  set_px(b, 0, 0, dib_colour(0, 128, 255));
  set_px(b, 3, 2, dib_colour(10, 200, 77));
  ASSERT_TRUE(bmp_write(path.c_str(), b));
  dib_free(b);

  auto f = fresh(30, 20);
  ASSERT_TRUE(f->doc_open_model(path.c_str(), 0));
  EXPECT_EQ(f->width(), 4);
  EXPECT_EQ(f->height(), 3);
  EXPECT_STREQ(f->path, "");
  EXPECT_EQ(f->modified, 1);
  EXPECT_FALSE(f->can_undo());
  const dib_block* bg = f->data->current_background()->image;
  EXPECT_EQ(px(bg, 0, 0), dib_colour(0, 128, 255));

  ASSERT_TRUE(f->doc_open_model(path.c_str(), 1));
  bg = f->data->current_background()->image;
  // v + (128 - v) * 0.7, rounded: 0 -> 90, 128 -> 128, 255 -> 166.
  EXPECT_EQ(px(bg, 0, 0), dib_colour(90, 128, 166));
  EXPECT_EQ(px(bg, 3, 2), dib_colour(93, 150, 113));
  EXPECT_EQ(px(bg, 1, 1), dib_colour(90, 90, 90));

  EXPECT_FALSE(f->doc_open_model(dir_.file("none.bmp").c_str(), 0));
  EXPECT_EQ(f->width(), 4) << "a missing model changes nothing";
}

TEST_F(ControllerOpen, ZunPictureImportsFlattened) {
  paint_surface* layer = surface_new(450, 600);
  surface_paint_pixel(layer, 100, 200, dib_colour(1, 2, 3), 1.0f);
  const ctl::zun_layer layers[] = {{layer, 1, 1.0f}};
  const std::string path = dir_.file("old.ZUN");
  ctl::spit(path, ctl::zun_bytes(1062, 0, 0, layers, 1));
  surface_free(layer);

  auto f = fresh();
  ASSERT_TRUE(f->doc_open(path.c_str()));
  EXPECT_EQ(f->width(), 600);
  EXPECT_EQ(f->height(), 450);
  EXPECT_EQ(std::string(f->path), dir_.file("old.zws"));
  EXPECT_EQ(px(f->data->current_background()->image, 100, 200), dib_colour(1, 2, 3));
}

TEST_F(ControllerOpen, EraseRegionWhitensAndCanBeUndone) {
  auto f = make_document(6, 6);
  surface_paint_pixel(f->surface(), 2, 2, 0, 1.0f);
  ASSERT_TRUE(f->doc_erase_region(nullptr));
  EXPECT_EQ(px(f->surface()->colour, 2, 2), 0xFFFFFFu);
  EXPECT_EQ(f->modified, 1);
  ASSERT_TRUE(f->history_undo());
  EXPECT_EQ(px(f->surface()->colour, 2, 2), 0u);
}
}  // namespace
