// Saving, copies and export: what each writes, what each leaves of the
// document's path and flag, and that a failed write never costs the old file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/alloc.h"
#include "base/dib.h"
#include "base/os.h"
#include "doc/zun_file.h"
#include "doc/zws.h"
#include "image/image.h"
#include "tests/doc/controller_util.h"
#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>

#include <csignal>
#endif

namespace fs = std::filesystem;

namespace {
class ControllerSave : public LeakCheck {
 protected:
  Initialised initialised_;
  TempDir dir_;
};

int files_in(const std::string& dir) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(dir)) n += e.is_regular_file();
  return n;
}

TEST_F(ControllerSave, SaveSetsThePathAndCopyLeavesItAlone) {
  auto f = make_document(10, 8);
  const std::string first = dir_.file("first.zws"), copy = dir_.file("copy.ZWS");
  surface_paint_pixel(f->surface(), 4, 4, dib_colour(200, 0, 0), 1.0f);
  f->mark_dirty(1);
  EXPECT_EQ(f->modified, 1);
  ASSERT_TRUE(f->doc_save(first.c_str()));
  EXPECT_EQ(std::string(f->path), first);
  EXPECT_EQ(f->modified, 0);

  f->mark_dirty(1);
  ASSERT_TRUE(f->doc_save_copy(copy.c_str()));
  EXPECT_EQ(std::string(f->path), first);
  EXPECT_EQ(f->modified, 1);
  auto g = make_document(1, 1);
  ASSERT_TRUE(g->doc_open(copy.c_str()));
  EXPECT_EQ(px(g->surface()->colour, 4, 4), dib_colour(200, 0, 0));

  // Any other name is an export, and still leaves the document alone.
  ASSERT_TRUE(f->doc_save_copy(dir_.file("copy.png").c_str()));
  EXPECT_TRUE(os_file_exists(dir_.file("copy.png").c_str()));
  EXPECT_EQ(std::string(f->path), first);
  EXPECT_EQ(f->modified, 1);

  // A save that cannot happen leaves path and flag as they were.
  EXPECT_FALSE(f->doc_save(dir_.file("no/such/folder/x.zws").c_str()));
  EXPECT_FALSE(f->doc_save(dir_.file("picture.png").c_str()));
  EXPECT_EQ(std::string(f->path), first);
  EXPECT_EQ(f->modified, 1);
}

TEST_F(ControllerSave, UnknownExtensionExportsABmpUnderTheNamePlusBmp) {
  auto f = make_document(5, 3);
  surface_paint_pixel(f->surface(), 1, 2, dib_colour(0, 0, 255), 1.0f);
  const std::string gif = dir_.file("pic.gif");
  ASSERT_TRUE(f->doc_export(gif.c_str()));
  EXPECT_FALSE(os_file_exists(gif.c_str()));
  const std::string bmp = gif + ".BMP";
  ASSERT_TRUE(os_file_exists(bmp.c_str()));
  EXPECT_EQ(ctl::slurp(bmp).substr(0, 2), "BM");
  dib_block* b = image_load(bmp.c_str());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(px(b, 1, 2), dib_colour(0, 0, 255));
  EXPECT_EQ(px(b, 0, 0), 0xFFFFFFu);
  dib_free(b);
  // Known extensions in any case are written under the name as given.
  ASSERT_TRUE(f->doc_export(dir_.file("pic.bMp").c_str()));
  EXPECT_FALSE(os_file_exists(dir_.file("pic.bMp.BMP").c_str()));
  ASSERT_TRUE(f->doc_export(dir_.file("pic.Jpg").c_str()));
  EXPECT_EQ(ctl::slurp(dir_.file("pic.Jpg")).substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(files_in(dir_.path()), 3);

  auto empty = std::make_unique<zun_file>();
  ASSERT_TRUE(empty->zun_file_init(2));  // no template: no sheets
  EXPECT_FALSE(empty->doc_export(dir_.file("none.bmp").c_str()));
}

TEST_F(ControllerSave, HiddenBackgroundPngIsTransparentWhileJpegIsWhite) {
  auto f = make_document(8, 8);
  // A paper that would show if the export drew it.
  dib_fill(f->data->current_background()->image, dib_colour(0, 200, 0), nullptr);
  surface_paint_pixel(f->surface(), 2, 3, dib_colour(255, 0, 0), 1.0f);
  ASSERT_TRUE(f->doc_toggle_background());
  const std::string png = dir_.file("t.png"), jpg = dir_.file("t.jpg");
  ASSERT_TRUE(f->doc_export(png.c_str()));
  ASSERT_TRUE(f->doc_export(jpg.c_str()));

  dib_block* alpha = nullptr;
  dib_block* p = png_read(png.c_str(), &alpha);
  ASSERT_NE(p, nullptr);
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ(px(alpha, 0, 0), 0u);
  EXPECT_EQ(px(alpha, 2, 3), 255u);
  EXPECT_EQ(px(p, 2, 3), dib_colour(255, 0, 0));
  dib_free(p);
  dib_free(alpha);

  dib_block* j = jpeg_read(jpg.c_str());
  ASSERT_NE(j, nullptr);
  const uint32_t corner = px(j, 7, 0);
  EXPECT_GE(dib_red(corner), 250);
  EXPECT_GE(dib_green(corner), 250);
  EXPECT_GE(dib_blue(corner), 250);
  dib_free(j);

  // With the paper shown the PNG is opaque and shows it.
  ASSERT_TRUE(f->doc_toggle_background());
  ASSERT_TRUE(f->doc_export(png.c_str()));
  p = png_read(png.c_str(), &alpha);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(alpha, nullptr);
  EXPECT_EQ(px(p, 0, 0), dib_colour(0, 200, 0));
  dib_free(p);
  dib_free(alpha);
}

TEST_F(ControllerSave, TransparentPngKeepsThePaintOverPlacedPictures) {
  auto f = make_document(6, 4);
  auto* pic = static_cast<placed_picture*>(mem_calloc(sizeof(placed_picture)));
  ASSERT_NE(pic, nullptr);
  *pic = placed_picture{1,
                        0,
                        0,
                        6,
                        4,
                        1.0f,
                        dib_create(4, 1, 6, dib_colour(0, 0, 200)),
                        dib_create(4, 0, 6, 255),
                        nullptr};
  f->data->current_sheet()->pictures = pic;
  surface_paint_pixel(f->surface(), 1, 1, dib_colour(250, 0, 0), 1.0f);
  ASSERT_TRUE(f->doc_toggle_background());
  const std::string png = dir_.file("layers.png");
  ASSERT_TRUE(f->doc_export(png.c_str()));
  dib_block* alpha = nullptr;
  dib_block* p = png_read(png.c_str(), &alpha);
  ASSERT_NE(p, nullptr);
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ(px(p, 1, 1), dib_colour(250, 0, 0)) << "the paint lies above the picture";
  EXPECT_EQ(px(p, 4, 2), dib_colour(0, 0, 200));
  EXPECT_EQ(px(alpha, 4, 2), 255u);
  dib_free(p);
  dib_free(alpha);
}

// Writes that fail part-way. Natively a file size limit makes the write fail
// after some bytes; under Windows the target is held open without sharing,
// so the replacement step fails once every byte was written.
class WriteFailure {
 public:
#ifdef _WIN32
  explicit WriteFailure(const std::string& target) {
    handle_ = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  ~WriteFailure() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool armed() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
#else
  explicit WriteFailure(const std::string&) {
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit small = old_;
    small.rlim_cur = 4096;
    armed_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~WriteFailure() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }
  bool armed() const { return armed_; }

 private:
  rlimit old_{};
  void (*old_handler_)(int) = nullptr;
  bool armed_ = false;
#endif
};

TEST_F(ControllerSave, EveryWriteThatFailsLeavesThePreviousFileByteIdentical) {
  auto f = make_document(160, 120);
  // Noise that no writer squeezes below the limit.
  uint32_t seed = 12345;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) {
      seed = seed * 1664525u + 1013904223u;
      set_px(f->surface()->colour, x, y, seed >> 8);
    }
  dib_fill(f->surface()->coverage, 255, nullptr);
  surface_note_rect(f->surface(), dib_rect{0, 0, 160, 120});
  f->set_path(dir_.file("doc.zws").c_str());
  const std::string before = "previous contents";
  for (const char* name : {"doc.zws", "copy.zws", "out.bmp", "out.jpg", "out.png", "out.gif.BMP"}) {
    const std::string target = dir_.file(name);
    ctl::spit(target, before);
    const int files = files_in(dir_.path());
    const int modified = f->modified;
    int ok = 1;
    {
      WriteFailure failure(target);
      ASSERT_TRUE(failure.armed());
      const std::string n(name);
      if (n == "doc.zws")
        ok = f->doc_save(target.c_str());
      else if (n == "copy.zws")
        ok = f->doc_save_copy(target.c_str());
      else if (n == "out.gif.BMP")
        ok = f->doc_export(dir_.file("out.gif").c_str());
      else
        ok = f->doc_export(target.c_str());
    }
    EXPECT_FALSE(ok) << name;
    EXPECT_EQ(ctl::slurp(target), before) << name;
    EXPECT_EQ(files_in(dir_.path()), files) << name << ": a temporary file was left";
    EXPECT_EQ(f->modified, modified);
    EXPECT_EQ(std::string(f->path), dir_.file("doc.zws"));
  }
  // The transparent PNG goes the same way.
  ASSERT_TRUE(f->doc_toggle_background());
  const std::string target = dir_.file("out.png");
  {
    WriteFailure failure(target);
    EXPECT_FALSE(f->doc_export(target.c_str()));
  }
  EXPECT_EQ(ctl::slurp(target), before);
  // And with nothing in the way every one of them succeeds.
  EXPECT_TRUE(f->doc_export(target.c_str()));
  EXPECT_NE(ctl::slurp(target), before);
}
}  // namespace
