// The copybook library the build lays into the installation tree, read as the
// program reads it: every listed copybook has its picture (600 x 900), its
// thumbnail and its description, and the searches find them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/dib.h"
#include "base/os.h"
#include "content/tie.h"
#include "content/tie_filter.h"
#include "image/image.h"

namespace {

std::string g_tree;

int resolve_in_tree(const char* name, std::string* out) {
  if (!name || (name[0] | 0x20) != 'g') return 0;
  *out = os_native_path((g_tree + "\\GLIB\\" + (name + 1)).c_str());
  return 1;
}

class TieTree : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tree = std::getenv("QM_TREE");
    if (!tree) GTEST_SKIP() << "QM_TREE is not set";
    g_tree = tree;
    std::string db;
    resolve_in_tree("Gtie\\tie.dat", &db);
    if (!os_file_exists(db.c_str())) GTEST_SKIP() << "no copybook library in " << tree;
    ASSERT_TRUE(tie.init(resolve_in_tree));
  }
  zun_tie tie;
};

TEST_F(TieTree, EveryCopybookHasItsFiles) {
  zun_tie_class files;
  ASSERT_TRUE(tie.files("", files)) << tie.last_error();
  ASSERT_GE(files.count, 10);
  for (int32_t i = 0; i < files.count; ++i) {
    const zun_tie_entry& e = files.items[i];
    SCOPED_TRACE(e.name);
    std::string picture, text, icon;
    ASSERT_TRUE(tie.picture_path(e.name, &picture));
    dib_block* b = image_load(picture.c_str());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(dib_width(b), 600);
    EXPECT_EQ(dib_height(b), 900);
    dib_free(b);
    ASSERT_TRUE(tie.description_path(e.name, &text));
    EXPECT_TRUE(os_file_exists(text.c_str()));
    resolve_in_tree(("Gtie\\icon\\" + std::string(e.name) + ".jpg").c_str(), &icon);
    EXPECT_TRUE(os_file_exists(icon.c_str()));
    zun_tie_entry d{};
    ASSERT_TRUE(tie.detail(e.id, &d));
    EXPECT_STREQ(d.name, e.name);
    EXPECT_NE(d.style[0], 0);
  }
}

TEST_F(TieTree, SearchesFindCopybooksByNameAndStyle) {
  char filter[512];
  zun_tie_class found;
  ASSERT_TRUE(tie_quick_filter("LAN", filter, sizeof filter));
  ASSERT_TRUE(tie.files(filter, found));
  ASSERT_EQ(found.count, 1);
  EXPECT_STREQ(found.items[0].name, "lanting");
  // The style list names the three typefaces' styles; each finds its copybooks.
  zun_tie_class styles;
  ASSERT_TRUE(tie.styles(styles));
  EXPECT_EQ(styles.count, 3);
  int32_t total = 0;
  for (int32_t i = 0; i < styles.count; ++i) {
    ASSERT_TRUE(tie_advanced_filter("", "", styles.items[i].name, filter, sizeof filter));
    ASSERT_TRUE(tie.files(filter, found));
    EXPECT_GT(found.count, 0) << styles.items[i].name;
    total += found.count;
  }
  zun_tie_class all;
  ASSERT_TRUE(tie.files("", all));
  EXPECT_EQ(total, all.count);
  // Chinese text searches in the system code page.
  const std::string kai = os_utf8_to_ansi("\xE6\xA5\xB7\xE4\xB9\xA6");  // the Kai style
  ASSERT_TRUE(tie_quick_filter(kai.c_str(), filter, sizeof filter));
  ASSERT_TRUE(tie.files(filter, found));
  EXPECT_GT(found.count, 0);
  EXPECT_LT(found.count, all.count);
}

}  // namespace
