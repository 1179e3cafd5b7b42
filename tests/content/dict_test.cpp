// Content pictures: the ".asd" that takes a picture file's place, picture
// files with their alpha planes, display sizes and drawing centred.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "base/dib.h"
#include "base/dib_self.h"
#include "content/asd.h"
#include "content/dict_bitmap.h"
#include "content/dict_picture.h"
#include "image/image.h"
#include "tests/base/dib_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"
#include "tools/asd/asd_writer.h"

#ifdef _WIN32
#include "base/dib_gdi.h"
#include "content/dict_bitmap_gdi.h"
#endif

namespace {

class Dict : public LeakCheck {
 protected:
  void write_asd(const std::string& path, const dib_block* p, const dib_block* c) {
    std::string error;
    ASSERT_EQ(asd_write(path.c_str(), p, c, asd_records::zlib, &error), 1) << error;
  }
  void write_jpeg(const std::string& path, int32_t w, int32_t h) {
    dib_block* b = dib_create(h, 1, w, 0x0000FF);
    ASSERT_EQ(jpeg_write(path.c_str(), b), 1);
    dib_free(b);
  }
  TempDir dir;
};

TEST_F(Dict, AsdPathReplacesOnlyTheFileNamesExtension) {
  EXPECT_EQ(asd_path_for("Gtie\\pic\\lanting.jpg"), "Gtie\\pic\\lanting.asd");
  EXPECT_EQ(asd_path_for("a.b.JPG"), "a.b.asd");
  EXPECT_EQ(asd_path_for("dir.v2\\name"), "dir.v2\\name.asd");
  EXPECT_EQ(asd_path_for("dir.v2/name"), "dir.v2/name.asd");
  EXPECT_EQ(asd_path_for("x.asd"), "x.asd");
  EXPECT_EQ(asd_path_for("noext"), "noext.asd");
}

TEST_F(Dict, JpegPrefersItsAsd) {
  const std::string jpg = dir.file("model.jpg"), asd = dir.file("model.asd");
  write_jpeg(jpg, 8, 6);
  app_self_dib d;
  ASSERT_EQ(load_picture_file(d, jpg.c_str()), 1);  // no ".asd" yet: the JPEG
  EXPECT_EQ(d.width(), 8);
  EXPECT_EQ(d.height(), 6);
  EXPECT_EQ(d.mask(), nullptr);

  dib_block* p = numbered(5, 3);
  dib_block* c = dib_create(3, 0, 5, 255);
  write_asd(asd, p, c);
  ASSERT_EQ(load_picture_file(d, jpg.c_str()), 1);
  EXPECT_EQ(d.width(), 5);
  EXPECT_EQ(d.height(), 3);
  EXPECT_EQ(px(d.image(), 4, 2), px(p, 4, 2));
  ASSERT_NE(d.mask(), nullptr);
  EXPECT_EQ(px(d.mask(), 0, 0), 255u);

  // The ".asd" stands in even when the picture file is gone; a bad one is
  // not passed over for the picture.
  std::remove(jpg.c_str());
  EXPECT_EQ(picture_exists(jpg.c_str()), 1);
  ASSERT_EQ(load_picture_file(d, jpg.c_str()), 1);
  EXPECT_EQ(d.width(), 5);
  write_jpeg(jpg, 8, 6);
  std::FILE* f = std::fopen(asd.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs(".asd", f);
  std::fclose(f);
  EXPECT_EQ(load_picture_file(d, jpg.c_str()), 0);
  EXPECT_EQ(d.loaded(), 0);
  EXPECT_EQ(d.image(), nullptr);
  dib_free(p);
  dib_free(c);
}

TEST_F(Dict, PictureFilesAndExistence) {
  const std::string png = dir.file("glyph.png");
  dib_block* p = numbered(6, 4);
  dib_block* alpha = dib_create(4, 0, 6, 0);
  set_px(alpha, 2, 1, 90);
  ASSERT_EQ(png_write(png.c_str(), p, alpha), 1);
  app_self_dib d;
  ASSERT_EQ(load_image(d, png.c_str()), 1);
  EXPECT_EQ(d.width(), 6);
  EXPECT_EQ(px(d.image(), 5, 3), px(p, 5, 3));
  ASSERT_NE(d.mask(), nullptr);  // PNG alpha becomes the companion
  EXPECT_EQ(px(d.mask(), 2, 1), 90u);
  EXPECT_EQ(px(d.mask(), 3, 1), 0u);

  EXPECT_EQ(picture_exists(png.c_str()), 1);
  EXPECT_EQ(picture_exists(dir.file("none.jpg").c_str()), 0);
  EXPECT_EQ(picture_exists(dir.path().c_str()), 0);  // a folder is not a picture
  EXPECT_EQ(picture_exists(""), 0);
  write_asd(dir.file("only.asd"), p, nullptr);
  EXPECT_EQ(picture_exists(dir.file("only.jpg").c_str()), 1);
  EXPECT_EQ(picture_exists(dir.file("only.png").c_str()), 1);

  // Refusals leave the holder empty.
  ASSERT_EQ(d.loaded(), 1);
  EXPECT_EQ(load_image(d, dir.file("none.png").c_str()), 0);
  EXPECT_EQ(d.image(), nullptr);
  ASSERT_EQ(load_image(d, png.c_str()), 1);
  const std::string fake = dir.file("fake.jpg");
  std::FILE* f = std::fopen(fake.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("not a picture", f);
  std::fclose(f);
  EXPECT_EQ(load_image(d, fake.c_str()), 0);
  EXPECT_EQ(d.loaded(), 0);
  EXPECT_EQ(load_picture_file(d, dir.file("none.jpg").c_str()), 0);
  // load_image reads picture formats only; an ".asd" path is its own replacement.
  EXPECT_EQ(load_image(d, dir.file("only.asd").c_str()), 0);
  EXPECT_EQ(load_picture_file(d, dir.file("only.asd").c_str()), 1);
  dib_free(p);
  dib_free(alpha);
}

TEST_F(Dict, DisplaySize70) {
  dib_block* wide = numbered(140, 70);
  dib_block* wide_mask = dib_create(70, 0, 140, 255);
  dib_block* small = numbered(50, 50);
  zun_dict_bitmap b;
  ASSERT_EQ(b.from_pair(wide, wide_mask, 70), 1);
  EXPECT_EQ(dib_width(b.picture()), 70);
  EXPECT_EQ(dib_height(b.picture()), 35);
  ASSERT_NE(b.companion(), nullptr);
  EXPECT_EQ(dib_width(b.companion()), 70);
  EXPECT_EQ(dib_height(b.companion()), 35);
  EXPECT_EQ(px(b.companion(), 69, 34), 255u);

  ASSERT_EQ(b.from_pair(small, nullptr, 70), 1);
  EXPECT_EQ(dib_width(b.picture()), 50);
  EXPECT_EQ(dib_height(b.picture()), 50);
  EXPECT_NE(b.picture(), small);  // copied, not shared
  EXPECT_EQ(px(b.picture(), 49, 49), px(small, 49, 49));
  EXPECT_EQ(b.companion(), nullptr);

  // Without a display size, or at exactly it, nothing is scaled.
  ASSERT_EQ(b.from_pair(wide, nullptr, 0), 1);
  EXPECT_EQ(dib_width(b.picture()), 140);
  ASSERT_EQ(b.from_pair(wide, nullptr, 140), 1);
  EXPECT_EQ(dib_width(b.picture()), 140);

  int32_t w = 0, h = 0;
  dict_display_size(70, 140, 70, &w, &h);
  EXPECT_EQ(w, 35);
  EXPECT_EQ(h, 70);
  dict_display_size(1000, 3, 70, &w, &h);  // a thin side keeps a pixel
  EXPECT_EQ(w, 70);
  EXPECT_EQ(h, 1);
  dict_display_size(150, 100, 70, &w, &h);  // 46.7 rounds to 47
  EXPECT_EQ(w, 70);
  EXPECT_EQ(h, 47);
  dict_display_size(100, 150, 70, &w, &h);
  EXPECT_EQ(w, 47);
  EXPECT_EQ(h, 70);

  // From a file: the ".asd" beside the named picture, scaled with its companion.
  write_asd(dir.file("wide.asd"), wide, wide_mask);
  ASSERT_EQ(b.from_file(dir.file("wide.jpg").c_str(), 70), 1);
  EXPECT_EQ(dib_width(b.picture()), 70);
  EXPECT_EQ(dib_height(b.picture()), 35);
  ASSERT_NE(b.companion(), nullptr);
  EXPECT_EQ(dib_height(b.companion()), 35);

  EXPECT_EQ(b.from_file(dir.file("none.jpg").c_str(), 70), 0);
  EXPECT_EQ(b.initialised(), 0);
  EXPECT_EQ(b.picture(), nullptr);
  EXPECT_EQ(b.from_pair(nullptr, nullptr, 70), 0);
  dib_free(wide);
  dib_free(wide_mask);
  dib_free(small);
}

TEST_F(Dict, PairsOfOtherDepthsAreNormalised) {
  dib_block* grey = dib_create(4, 0, 4, 100);  // an 8-bit picture
  const unsigned char two[6] = {0, 0, 0, 255, 255, 255};
  dib_block* indexed = dib_create_indexed(2, 4, 4, two);  // companion of table indices
  set_px(indexed, 1, 1, 1);
  zun_dict_bitmap b;
  ASSERT_EQ(b.from_pair(grey, indexed, 0), 1);
  EXPECT_EQ(dib_bits(b.picture()), 24);
  EXPECT_EQ(px(b.picture(), 0, 0), 0x646464u);
  ASSERT_EQ(dib_bits(b.companion()), 8);
  EXPECT_EQ(px(b.companion(), 1, 1), 255u);
  dib_block* target = dib_create(4, 1, 4, 0xFFFFFF);
  ASSERT_EQ(draw_centred(b, target, 2, 2), 1);
  EXPECT_EQ(px(target, 1, 1), 0x646464u);  // index 1 is white: opaque
  EXPECT_EQ(px(target, 0, 0), 0xFFFFFFu);  // index 0 is black: transparent
  dib_free(target);
  dib_free(grey);
  dib_free(indexed);
}

TEST_F(Dict, DrawCentredKeepsWhiteTransparent) {
  dib_block* p = dib_create(3, 1, 5, 0xFFFFFF);
  set_px(p, 0, 0, 0x000000);
  set_px(p, 4, 2, 0x112233);
  set_px(p, 2, 1, 0x0000FF);
  set_px(p, 1, 1, 0xFFFF00);  // near white is drawn: only 0xFFFFFF is transparent
  set_px(p, 3, 1, 0xFEFFFF);
  zun_dict_bitmap b;
  ASSERT_EQ(b.from_pair(p, nullptr), 1);
  dib_block* target = dib_create(10, 1, 10, 0x00FF00);
  ASSERT_EQ(draw_centred(b, target, 5, 5), 1);
  // 5 x 3 centred on (5, 5): left 3, top 4.
  EXPECT_EQ(px(target, 3, 4), 0x000000u);
  EXPECT_EQ(px(target, 7, 6), 0x112233u);
  EXPECT_EQ(px(target, 5, 5), 0x0000FFu);
  EXPECT_EQ(px(target, 4, 5), 0xFFFF00u);
  EXPECT_EQ(px(target, 6, 5), 0xFEFFFFu);
  int changed = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) changed += px(target, x, y) != 0x00FF00u;
  EXPECT_EQ(changed, 5);  // the white pixels left the target alone

  // Clipped at every edge, also far outside.
  dib_fill(target, 0x00FF00, nullptr);
  ASSERT_EQ(draw_centred(b, target, 0, 0), 1);  // left -2, top -1
  EXPECT_EQ(px(target, 0, 0), 0x0000FFu);
  EXPECT_EQ(px(target, 2, 1), 0x112233u);
  ASSERT_EQ(draw_centred(b, target, 11, 10), 1);  // left 9, top 9
  EXPECT_EQ(px(target, 9, 9), 0x000000u);
  for (int32_t remote : {-1000000, 1000000, INT32_MIN, INT32_MAX})
    EXPECT_EQ(draw_centred(b, target, remote, remote), 1);

  dib_block* grey = dib_create(10, 0, 10, 0);
  EXPECT_EQ(draw_centred(b, grey, 5, 5), 0);
  zun_dict_bitmap none;
  EXPECT_EQ(draw_centred(none, target, 5, 5), 0);
  dib_free(grey);
  dib_free(target);
  dib_free(p);
}

TEST_F(Dict, CompanionGivesTheOpacity) {
  dib_block* p = dib_create(1, 1, 3, 0x000000);
  dib_block* c = dib_create(1, 0, 3, 0);
  set_px(c, 1, 0, 128);
  set_px(c, 2, 0, 255);
  zun_dict_bitmap b;
  ASSERT_EQ(b.from_pair(p, c), 1);
  dib_block* target = dib_create(1, 1, 3, 0xFFFFFF);
  ASSERT_EQ(draw_centred(b, target, 1, 0), 1);
  EXPECT_EQ(px(target, 0, 0), 0xFFFFFFu);
  // 255 + (128 / 255) * (0 - 255) = 127.0..., truncated.
  EXPECT_EQ(px(target, 1, 0), 0x7F7F7Fu);
  EXPECT_EQ(px(target, 2, 0), 0x000000u);

  // A companion of another size is not used: the picture draws opaque.
  dib_block* other = dib_create(2, 0, 2, 0);
  ASSERT_EQ(b.from_pair(p, other), 1);
  dib_fill(target, 0xFFFFFF, nullptr);
  ASSERT_EQ(draw_centred(b, target, 1, 0), 1);
  EXPECT_EQ(px(target, 0, 0), 0x000000u);
  EXPECT_EQ(px(target, 2, 0), 0x000000u);
  dib_free(other);
  dib_free(target);
  dib_free(p);
  dib_free(c);
}

#ifdef _WIN32
TEST_F(Dict, DrawCentredIntoADeviceContextStaysInsideTheClip) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bm = CreateCompatibleBitmap(screen, 12, 12);
  ReleaseDC(nullptr, screen);
  ASSERT_TRUE(dc && bm);
  HGDIOBJ old = SelectObject(dc, bm);
  dib_block* green = dib_create(12, 1, 12, 0x00FF00);
  ASSERT_EQ(dib_draw(dc, 0, 0, green), 1);

  dib_block* p = dib_create(4, 1, 4, 0x0000FF);
  set_px(p, 0, 0, 0xFFFFFF);
  zun_dict_bitmap b;
  ASSERT_EQ(b.from_pair(p, nullptr), 1);
  const dib_rect clip{5, 5, 12, 12};
  ASSERT_EQ(draw_centred(b, dc, clip, 6, 6), 1);  // picture at (4, 4) to (7, 7)
  dib_block* back = dib_grab(dc, 0, 0, 12, 12);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(px(back, 4, 4), 0x00FF00u);  // outside the clip
  EXPECT_EQ(px(back, 4, 6), 0x00FF00u);
  EXPECT_EQ(px(back, 5, 5), 0x0000FFu);
  EXPECT_EQ(px(back, 7, 7), 0x0000FFu);
  EXPECT_EQ(px(back, 8, 8), 0x00FF00u);
  EXPECT_EQ(draw_centred(b, dc, dib_rect{3, 3, 3, 9}, 6, 6), 0);  // empty clip

  // White stays transparent through the context too.
  dib_draw(dc, 0, 0, green);
  ASSERT_EQ(draw_centred(b, dc, dib_rect{0, 0, 12, 12}, 6, 6), 1);
  dib_free(back);
  back = dib_grab(dc, 0, 0, 12, 12);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(px(back, 4, 4), 0x00FF00u);
  EXPECT_EQ(px(back, 5, 4), 0x0000FFu);

  dib_free(back);
  dib_free(p);
  dib_free(green);
  SelectObject(dc, old);
  DeleteObject(bm);
  DeleteDC(dc);
}
#endif

}  // namespace
