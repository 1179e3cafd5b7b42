// zwstool: conversions and reports through the program's own code, and a
// clean one-line failure for everything it cannot do.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/dib.h"
#include "base/os.h"
#include "image/image.h"
#include "tests/doc/controller_util.h"
#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"
#include "tools/zwstool/zwstool.h"

namespace {
class Zwstool : public LeakCheck {
 protected:
  TempDir dir_;
  std::string out_, err_;

  int run(std::vector<std::string> args) {
    args.insert(args.begin(), dir_.file("zwstool"));
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    const std::string out_path = dir_.file("stdout.txt"), err_path = dir_.file("stderr.txt");
    std::FILE* out = std::fopen(out_path.c_str(), "wb");
    std::FILE* err = std::fopen(err_path.c_str(), "wb");
    const int rc = zwstool_run(int(argv.size()), argv.data(), out, err);
    std::fclose(out);
    std::fclose(err);
    out_ = ctl::slurp(out_path);
    err_ = ctl::slurp(err_path);
    os_remove_file(out_path.c_str());
    os_remove_file(err_path.c_str());
    return rc;
  }
  bool one_line_reason() const {
    return !err_.empty() && err_.find('\n') == err_.size() - 1 && out_.empty();
  }
};

TEST_F(Zwstool, ConvertsAPictureToADocumentAndBackWithInfo) {
  const std::string png = dir_.file("in.png"), zws = dir_.file("made.zws");
  dib_block* b = dib_create(7, 1, 11, 0);
  fill_tagged(b);
  ASSERT_TRUE(png_write(png.c_str(), b, nullptr));

  ASSERT_EQ(run({"convert", png, zws}), 0) << err_;
  EXPECT_EQ(out_, "wrote " + zws + "\n");
  ASSERT_EQ(run({"info", zws}), 0) << err_;
  EXPECT_NE(out_.find("kind: document (ZWS)"), std::string::npos) << out_;
  EXPECT_NE(out_.find("size: 11 x 7"), std::string::npos) << out_;
  EXPECT_NE(out_.find("sheets: 1 (current 1)"), std::string::npos) << out_;
  EXPECT_NE(out_.find("sheet 1: background shown, pictures 0, changed none"), std::string::npos)
      << out_;

  // Back to a picture: exactly the pixels that went in.
  const std::string back = dir_.file("back.png");
  ASSERT_EQ(run({"--root", dir_.path(), "convert", zws, back}), 0) << err_;
  dib_block* again = image_load(back.c_str());
  ASSERT_NE(again, nullptr);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 11; ++x) ASSERT_EQ(px(again, x, y), px(b, x, y));
  dib_free(again);
  dib_free(b);

  // An unknown extension is exported as "save a copy" does.
  ASSERT_EQ(run({"convert", zws, dir_.file("out.gif")}), 0) << err_;
  EXPECT_EQ(out_, "wrote " + dir_.file("out.gif") + ".BMP\n");
  EXPECT_TRUE(os_file_exists(dir_.file("out.gif.BMP").c_str()));

  ASSERT_EQ(run({"info", png}), 0) << err_;
  EXPECT_NE(out_.find("kind: picture (PNG)"), std::string::npos) << out_;
}

TEST_F(Zwstool, InfoListsSheetsPicturesAndChangedAreas) {
  auto f = make_document(20, 10);
  surface_paint_pixel(f->surface(), 3, 4, 0, 1.0f);
  surface_paint_pixel(f->surface(), 8, 2, 0, 1.0f);
  ASSERT_TRUE(f->data->doc_add_sheet());
  const std::string zws = dir_.file("two.zws");
  ASSERT_TRUE(f->doc_save(zws.c_str()));
  ASSERT_EQ(run({"info", zws}), 0) << err_;
  EXPECT_NE(out_.find("sheets: 2 (current 2)"), std::string::npos) << out_;
  EXPECT_NE(out_.find("sheet 1: background shown, pictures 0, changed 3,2-9,5"), std::string::npos)
      << out_;
  EXPECT_NE(out_.find("sheet 2: background shown, pictures 0, changed none"), std::string::npos)
      << out_;
  EXPECT_NE(out_.find("pictures: 0"), std::string::npos) << out_;
}

TEST_F(Zwstool, FailuresExitOneWithAReason) {
  const std::string garbage = dir_.file("bad.zws");
  ctl::spit(garbage, "not a document");
  struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{}, "usage"},
      {{"convert", garbage}, "usage"},
      {{"frobnicate", "a", "b"}, "usage"},
      {{"info", dir_.file("missing.zws")}, "no such file"},
      {{"info", dir_.path()}, "is a folder"},
      {{"info", garbage}, "cannot be read"},
      {{"convert", garbage, dir_.file("x.png")}, "cannot be read"},
      {{"info", dir_.file("notes.txt")}, "no such file"},
      {{"--root", dir_.file("nowhere"), "info", garbage}, "no such folder"},
      {{"info", garbage, "--root"}, "--root needs"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(run(c.args), 1) << c.says;
    EXPECT_TRUE(one_line_reason()) << c.says << ": [" << err_ << "]";
    EXPECT_NE(err_.find(c.says), std::string::npos) << err_;
  }
  ctl::spit(dir_.file("notes.txt"), "text");
  EXPECT_EQ(run({"info", dir_.file("notes.txt")}), 1);
  EXPECT_NE(err_.find("not a document or a picture"), std::string::npos) << err_;

  // A write that cannot happen.
  dib_block* b = dib_create(2, 1, 2, 0);
  ASSERT_TRUE(bmp_write(dir_.file("ok.bmp").c_str(), b));
  dib_free(b);
  EXPECT_EQ(run({"convert", dir_.file("ok.bmp"), dir_.file("no/dir/x.zws")}), 1);
  EXPECT_NE(err_.find("cannot be written"), std::string::npos) << err_;
}

#ifdef QM_ZWSTOOL_BINARY
// The built program itself: exit codes and streams as a script sees them.
TEST_F(Zwstool, NativeBinaryRoundTrip) {
  const std::string bmp = dir_.file("a.bmp"), zws = dir_.file("a.zws"), log = dir_.file("log");
  dib_block* b = dib_create(3, 1, 5, dib_colour(1, 2, 3));
  ASSERT_TRUE(bmp_write(bmp.c_str(), b));
  dib_free(b);
  const std::string tool = QM_ZWSTOOL_BINARY;
  auto sh = [&](const std::string& args) {
    const int rc = std::system((tool + " " + args + " >" + log + " 2>&1").c_str());
    return WEXITSTATUS(rc);
  };
  EXPECT_EQ(sh("convert '" + bmp + "' '" + zws + "'"), 0) << ctl::slurp(log);
  EXPECT_EQ(sh("info '" + zws + "'"), 0);
  EXPECT_NE(ctl::slurp(log).find("size: 5 x 3"), std::string::npos) << ctl::slurp(log);
  EXPECT_EQ(sh("info '" + dir_.file("none.zws") + "'"), 1);
  EXPECT_NE(ctl::slurp(log).find("no such file"), std::string::npos);
  EXPECT_EQ(sh(""), 1);
}
#endif
}  // namespace
