// New documents from template lists: reading the lists, colours, the paper and
// texture tiling of a new document's background, thumbnails, and documents
// started from template files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "base/dib.h"
#include "base/os.h"
#include "doc/zun_file.h"
#include "doc/zun_template.h"
#include "doc/zws.h"
#include "image/image.h"
#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {
std::string g_root;  // the folder the test resolver maps "G..." names into

int test_resolver(const char* name, std::string* out) {
  std::string rest = name;
  for (char& c : rest)
    if (c == '\\') c = TempDir::sep()[0];
  *out = g_root + TempDir::sep() + rest;
  return 1;
}

class Template : public LeakCheck {
 protected:
  TempDir dir_;
  Initialised initialised_;

  void SetUp() override {
    g_root = dir_.path();
    for (const char* sub : {"Gtemplate", "Gtemplate/size", "Gtemplate/paper", "Gtemplate/color",
                            "Gtemplate/texture", "Gtemplate/file"})
      std::filesystem::create_directory(dir_.file(sub));
  }
  std::string file(const std::string& name) {
    std::string rest = name;
    for (char& c : rest)
      if (c == '/') c = TempDir::sep()[0];
    return dir_.file(rest);
  }
  void list(const char* folder, const std::string& entries, int num) {
    std::ofstream(file(std::string("Gtemplate/") + folder + "/name.xml"))
        << "<zun>\n<info>\n<num>" << num << "</num>\n</info>\n"
        << entries << "</zun>\n";
  }
  // The whole set: one paper (100 x 100, grey 200), two textures (one with
  // an edge colour), two colours, one template document.
  void standard_lists() {
    list("size", "<i0>\n<width>250</width>\n<height>250</height>\n<desc>square</desc>\n</i0>\n", 1);
    list("paper", "<i0>\n<file>rice.bmp</file>\n<desc>rice</desc>\n</i0>\n", 1);
    list("color",
         "<i0>\n<clr>255,255,255</clr>\n</i0>\n<i1>\n<clr>255,0,0</clr>\n<desc>red</desc>\n</i1>\n",
         2);
    list("texture",
         "<i0>\n<file>grid.png</file>\n<mode>0</mode>\n<color>0,0,255</color>\n</i0>\n"
         "<i1>\n<file>grid.png</file>\n<mode>1</mode>\n</i1>\n",
         2);
    list("file", "<i0>\n<file>start.zws</file>\n<desc>start</desc>\n</i0>\n", 1);
    dib_block* paper = dib_create(100, 1, 100, 0xC8C8C8);
    ASSERT_TRUE(bmp_write(file("Gtemplate/paper/rice.bmp").c_str(), paper));
    dib_free(paper);
    // Texture: black, opaque only in its top-left 10 x 10 corner.
    dib_block* grid = dib_create(100, 1, 100, 0);
    dib_block* alpha = dib_create(100, 0, 100, 0);
    const dib_rect corner{0, 0, 10, 10};
    dib_fill(alpha, 255, &corner);
    ASSERT_TRUE(png_write(file("Gtemplate/texture/grid.png").c_str(), grid, alpha));
    dib_free(grid);
    dib_free(alpha);
  }
};

TEST_F(Template, ColourTexts) {
  EXPECT_EQ(template_colour_of("255,0,0"), 0x0000FFu);
  EXPECT_EQ(template_colour_of("1,2,3"), 0x030201u);
  EXPECT_EQ(template_colour_of(" 16 , 32 , 64"), 0x402010u);
  EXPECT_EQ(template_colour_of("255"), 0u) << "no commas";
  EXPECT_EQ(template_colour_of("255,255"), 0u) << "one comma";
  EXPECT_EQ(template_colour_of(""), 0u);
  EXPECT_EQ(template_colour_of(nullptr), 0u);
  EXPECT_EQ(template_colour_of("256,511,-1"), 0xFFFF00u) << "each part cut to 8 bits";
  EXPECT_EQ(template_colour_of("99999999999999,0,0"), 0xFFu) << "no overflow";
}

TEST_F(Template, LoadReadsEveryListAndStopsAtAMissingOne) {
  standard_lists();
  zun_template t;
  ASSERT_TRUE(t.load(test_resolver));
  ASSERT_EQ(t.sizes.size(), 1u);
  EXPECT_EQ(t.sizes[0].width, 250);
  EXPECT_STREQ(t.sizes[0].desc, "square");
  ASSERT_EQ(t.colours.size(), 2u);
  EXPECT_EQ(t.colours[1].colour, 0x0000FFu);
  EXPECT_EQ(t.default_colour, 0xFFFFFFu) << "the first colour";
  EXPECT_EQ(t.remembered.colour, 0xFFFFFFu);
  EXPECT_EQ(t.remembered.texture, -1);
  ASSERT_EQ(t.textures.size(), 2u);
  EXPECT_TRUE(t.textures[0].has_edge);
  EXPECT_EQ(t.textures[0].edge, 0xFF0000u);
  EXPECT_FALSE(t.textures[1].has_edge);
  EXPECT_EQ(t.textures[1].mode, 1);
  ASSERT_EQ(t.files.size(), 1u);

  // Long texts are cut to 63 characters; a huge or negative count is bounded.
  list("paper", "<i0>\n<file>" + std::string(80, 'p') + "</file>\n</i0>\n", 1);
  list("size", "", -5);
  ASSERT_TRUE(t.load(test_resolver));
  EXPECT_EQ(std::string(t.papers[0].file), std::string(63, 'p'));
  EXPECT_TRUE(t.sizes.empty());
  list("size", "", 2000000000);
  ASSERT_TRUE(t.load(test_resolver));
  EXPECT_EQ(t.sizes.size(), std::size_t(kTemplateMaxEntries)) << "entries past the file: empty";
  EXPECT_EQ(t.sizes[5].width, 0);

  std::filesystem::remove(file("Gtemplate/color/name.xml"));
  EXPECT_FALSE(t.load(test_resolver));
  EXPECT_FALSE(t.initialised());
  EXPECT_EQ(t.papers.size(), 1u) << "lists before the missing one are read";
  EXPECT_TRUE(t.colours.empty());
  EXPECT_TRUE(t.textures.empty());
  EXPECT_TRUE(t.files.empty());
}

TEST_F(Template, PaperTilesFromTheCornerTintedByTheColour) {
  standard_lists();
  zun_template t;
  ASSERT_TRUE(t.load(test_resolver));
  dib_block* target = dib_create(250, 1, 250, 0);
  new_doc_choice c;
  c.paper = 0;
  c.colour = 0xFFFFFF;
  ASSERT_TRUE(t.paint_background(c, target));
  // 3 x 3 tiles, the last row and column cut: every pixel is paper.
  for (int p : {0, 99, 100, 199, 200, 249}) {
    EXPECT_EQ(px(target, p, p), 0xC8C8C8u) << p;
    EXPECT_EQ(px(target, 249 - p, p), 0xC8C8C8u) << p;
  }
  c.colour = 0x0000FF;  // red: green and blue go, red is 200 * 255 / 255
  ASSERT_TRUE(t.paint_background(c, target));
  EXPECT_EQ(px(target, 120, 240), 0x0000C8u);
  c.paper = 5;  // no such paper: the ground only
  ASSERT_TRUE(t.paint_background(c, target));
  EXPECT_EQ(px(target, 120, 240), 0x404040u);
  dib_free(target);
}

TEST_F(Template, TexturesOfWholeTilesCentredOrCoveringTheEdges) {
  standard_lists();
  zun_template t;
  ASSERT_TRUE(t.load(test_resolver));
  dib_block* target = dib_create(250, 1, 250, 0);
  new_doc_choice c;
  c.paper = -1;
  c.texture = 0;  // mode 0: 2 x 2 whole tiles from (25, 25), blue margins
  ASSERT_TRUE(t.paint_background(c, target));
  EXPECT_EQ(px(target, 25, 25), 0u) << "a tile's opaque corner";
  EXPECT_EQ(px(target, 125, 134), 0u);
  EXPECT_EQ(px(target, 35, 35), 0x404040u) << "transparent part of a tile";
  EXPECT_EQ(px(target, 24, 100), 0xFF0000u) << "left margin";
  EXPECT_EQ(px(target, 225, 100), 0xFF0000u) << "right margin";
  EXPECT_EQ(px(target, 100, 10), 0xFF0000u) << "top margin";
  EXPECT_EQ(px(target, 100, 249), 0xFF0000u) << "bottom margin";
  EXPECT_EQ(px(target, 225, 225), 0xFF0000u);

  c.texture = 1;  // mode 1: 4 x 4 tiles from (-75, -75)
  ASSERT_TRUE(t.paint_background(c, target));
  for (int p : {25, 125, 225}) EXPECT_EQ(px(target, p, p), 0u) << p;
  EXPECT_EQ(px(target, 24, 24), 0x404040u);
  EXPECT_EQ(px(target, 0, 0), 0x404040u) << "a cut tile's transparent part";
  dib_free(target);
}

TEST_F(Template, BrokenPicturesAreSkipped) {
  standard_lists();
  std::ofstream(file("Gtemplate/paper/rice.bmp")) << "not a picture";
  std::filesystem::remove(file("Gtemplate/texture/grid.png"));
  zun_template t;
  ASSERT_TRUE(t.load(test_resolver));
  dib_block* target = dib_create(20, 1, 20, 0);
  new_doc_choice c;
  c.texture = 0;
  ASSERT_TRUE(t.paint_background(c, target));
  EXPECT_EQ(px(target, 10, 10), 0x404040u);
  EXPECT_EQ(t.paper_thumbnail(0), nullptr);
  EXPECT_EQ(t.paint_background(c, nullptr), 0);
  dib_free(target);
}

TEST_F(Template, NewDocumentAndTemplateDocuments) {
  standard_lists();
  zun_template t;
  ASSERT_TRUE(t.load(test_resolver));
  auto f = make_document(10, 10);
  new_doc_choice c;
  c.width = 300, c.height = 200, c.paper = 0, c.colour = 0xFFFFFF;
  ASSERT_TRUE(t.new_document(*f, c));
  EXPECT_EQ(f->width(), 300);
  EXPECT_EQ(f->height(), 200);
  EXPECT_EQ(px(f->data->current_background()->image, 150, 150), 0xC8C8C8u);
  EXPECT_EQ(t.remembered.width, 300);

  // A width of 0 or less gives a 0 x 0 choice: the document's own default size.
  c.width = 0;
  f->template_width = 400, f->template_height = 300;
  ASSERT_TRUE(t.new_document(*f, c));
  EXPECT_EQ(t.remembered.width, 0);
  EXPECT_EQ(t.remembered.height, 0);
  EXPECT_EQ(f->width(), 400);

  // The template document: saved from this one, opened as a new untitled one.
  std::string path;
  ASSERT_TRUE(t.template_path(0, &path));
  ASSERT_TRUE(write_document(*f->data, path.c_str()));
  auto g = make_document(5, 5);
  g->modified = 0;
  ASSERT_TRUE(t.open_template(*g, 0));
  EXPECT_EQ(g->width(), 400);
  EXPECT_STREQ(g->path, "");
  EXPECT_EQ(g->modified, 1);
  EXPECT_EQ(t.remembered.template_index, 0);
  EXPECT_FALSE(t.open_template(*g, 1)) << "no such template";

  // Its thumbnail is the document drawn whole, fitted to 100 x 100.
  dib_block* thumb = t.template_thumbnail(0);
  ASSERT_NE(thumb, nullptr);
  EXPECT_EQ(dib_width(thumb), 100);
  EXPECT_EQ(dib_height(thumb), 75);
  EXPECT_EQ(px(thumb, 50, 40), 0xC8C8C8u);
  dib_free(thumb);
  dib_block* paper = t.paper_thumbnail(0);
  ASSERT_NE(paper, nullptr);
  EXPECT_EQ(dib_width(paper), 70);
  dib_free(paper);

  // A damaged template: the command ends with an empty canvas, not the old document.
  std::ofstream(path, std::ios::binary) << "ZWS garbage";
  EXPECT_FALSE(t.open_template(*g, 0));
  EXPECT_EQ(t.template_thumbnail(0), nullptr);
}

// The lists the build lays into the installation tree, read as the program
// reads them: every entry's picture loads and paints.
int resolve_in_tree(const char* name, std::string* out) {
  const char* tree = std::getenv("QM_TREE");
  if (!tree || !name || (name[0] | 0x20) != 'g') return 0;
  *out = os_native_path((std::string(tree) + "\\GLIB\\" + (name + 1)).c_str());
  return 1;
}

TEST(TemplateTree, EveryPaperTextureAndSheetLoads) {
  std::string probe;
  if (!resolve_in_tree("Gtemplate\\size\\name.xml", &probe)) GTEST_SKIP() << "QM_TREE is not set";
  if (!os_file_exists(probe.c_str())) GTEST_SKIP() << "no template lists in the tree";
  zun_template t;
  ASSERT_TRUE(t.load(resolve_in_tree));
  ASSERT_FALSE(t.sizes.empty());
  for (const template_size& s : t.sizes) EXPECT_TRUE(s.width > 0 && s.height > 0) << s.desc;
  ASSERT_FALSE(t.colours.empty());
  ASSERT_FALSE(t.papers.empty());
  ASSERT_FALSE(t.textures.empty());
  ASSERT_FALSE(t.files.empty());
  dib_block* target = dib_create(300, 1, 400, 0);
  for (int32_t p = 0; p < int32_t(t.papers.size()); ++p) {
    ASSERT_NE(t.paper_picture(p), nullptr) << t.papers[std::size_t(p)].file;
    new_doc_choice c;
    c.paper = p, c.colour = t.default_colour;
    ASSERT_TRUE(t.paint_background(c, target));
    EXPECT_GT(dib_red(px(target, 399, 299)), 0xC0) << "light paper";
  }
  for (int32_t i = 0; i < int32_t(t.textures.size()); ++i) {
    const zun_dict_bitmap* texture = t.texture_picture(i);
    ASSERT_NE(texture, nullptr) << t.textures[std::size_t(i)].file;
    EXPECT_NE(texture->companion(), nullptr) << "a grid with transparency";
  }
  for (int32_t i = 0; i < int32_t(t.files.size()); ++i) {
    dib_block* thumb = t.template_thumbnail(i);
    EXPECT_NE(thumb, nullptr) << t.files[std::size_t(i)].file;
    dib_free(thumb);
  }
  dib_free(target);
}
}  // namespace
