// z_setup.dll as the installer sees it: loaded from the tree, found by name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "base/os.h"
#include "dll/setup/z_setup.h"
#include "tests/support/temp_dir.h"

namespace {

class Setup : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tree = std::getenv("QM_TREE");
    ASSERT_NE(tree, nullptr) << "QM_TREE is not set";
    std::string path = std::string(tree) + "\\z_setup.dll";
    module_ = LoadLibraryA(path.c_str());
    ASSERT_NE(module_, nullptr) << path;
    insert_ = proc<z_setup_xml_insert_fn>("xml_insert");
    move_ = proc<z_setup_win_move_fn>("win_move");
    ASSERT_NE(insert_, nullptr);
    ASSERT_NE(move_, nullptr);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  template <class F>
  F proc(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
  }

  // Writes both files, merges, and gives the target's new text.
  std::string merge(const std::string& target, const std::string& source,
                    const char* encoding = "") {
    put(target_path(), target);
    put(source_path(), source);
    insert_(const_cast<char*>(target_path().c_str()), const_cast<char*>(source_path().c_str()),
            encoding);
    return target_text();
  }
  void merge_again(const char* encoding = "") {
    insert_(const_cast<char*>(target_path().c_str()), const_cast<char*>(source_path().c_str()),
            encoding);
  }
  std::string target_path() const { return dir_.file("config.xml"); }
  std::string source_path() const { return dir_.file("update.xml"); }
  std::string target_text() const {
    std::string s;
    os_read_file(target_path().c_str(), s);
    return s;
  }
  static void put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  HMODULE module_ = nullptr;
  z_setup_xml_insert_fn insert_ = nullptr;
  z_setup_win_move_fn move_ = nullptr;
  TempDir dir_;
};

const char* const kOneKey = "<zun>\r\n<menu>\r\n<open>Open</open>\r\n</menu>\r\n</zun>\r\n";

}  // namespace

TEST_F(Setup, ExportsAreUndecorated) {
  EXPECT_EQ(GetProcAddress(module_, "_xml_insert@12"), nullptr);
  EXPECT_EQ(GetProcAddress(module_, "xml_insert@12"), nullptr);
  EXPECT_EQ(GetProcAddress(module_, "win_move@4"), nullptr);
}

TEST_F(Setup, AppendsIntoAnEmptySection) {
  EXPECT_EQ(merge("<zun>\n<menu>\n</menu>\n</zun>\n", kOneKey),
            "<zun>\r\n\t<menu>\r\n\t\t<open>Open</open>\r\n\t</menu>\r\n</zun>\r\n");
}

TEST_F(Setup, SourceWinsAndTargetOnlyKeysKeepTheirPlace) {
  std::string target =
      "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\r\n"
      "<zun>\r\n\t<menu>\r\n\t\t<a>1</a>\r\n\t\t<b>2</b>\r\n\t\t<c>3</c>\r\n\t</menu>\r\n"
      "\t<msg>\r\n\t\t<m>kept</m>\r\n\t</msg>\r\n</zun>\r\n";
  std::string source =
      "<ZUN>\r\n<MENU>\r\n<d>4</d>\r\n<B>two</B>\r\n</MENU>\r\n<help>\r\n<h>?</h>\r\n</help>\r\n"
      "</ZUN>\r\n<other>\r\n<s>\r\n<k>v</k>\r\n</s>\r\n</other>\r\n";
  std::string once = merge(target, source, "gb2312");
  EXPECT_EQ(once,
            "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\r\n"
            "<zun>\r\n\t<menu>\r\n\t\t<a>1</a>\r\n\t\t<b>two</b>\r\n\t\t<c>3</c>\r\n"
            "\t\t<d>4</d>\r\n\t</menu>\r\n"
            "\t<msg>\r\n\t\t<m>kept</m>\r\n\t</msg>\r\n"
            "\t<help>\r\n\t\t<h>?</h>\r\n\t</help>\r\n</zun>\r\n"
            "<other>\r\n\t<s>\r\n\t\t<k>v</k>\r\n\t</s>\r\n</other>\r\n");
  merge_again("gb2312");
  EXPECT_EQ(target_text(), once);  // merging twice is merging once
}

TEST_F(Setup, KeepsEscapedTextAndDropsWhatTheFormatDoesNotHold) {
  std::string target =
      "# installed by hand\r\n"
      "<zun>\r\n<tip>\r\n<t>line&lt;br&gt;next &amp; &lt;more&gt;</t>\r\n</tip>\r\n</zun>\r\n"
      "<after>\r\n<s>\r\n<k>x</k>\r\n<broken>\r\n";
  std::string got = merge(target, kOneKey);
  EXPECT_EQ(got,
            "<zun>\r\n\t<tip>\r\n\t\t<t>line&lt;br&gt;next &amp; &lt;more&gt;</t>\r\n\t</tip>\r\n"
            "\t<menu>\r\n\t\t<open>Open</open>\r\n\t</menu>\r\n</zun>\r\n"
            "<after>\r\n\t<s>\r\n\t\t<k>x</k>\r\n\t</s>\r\n</after>\r\n");
}

TEST_F(Setup, EncodingNameGivesTheDeclarationLine) {
  std::string target = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<zun>\r\n</zun>\r\n";
  EXPECT_EQ(merge(target, kOneKey, ""),
            "<zun>\r\n\t<menu>\r\n\t\t<open>Open</open>\r\n\t</menu>\r\n</zun>\r\n");
  merge_again("utf-8");
  EXPECT_EQ(target_text().rfind("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<zun>\r\n", 0), 0u);
  // Installer files are not converted: UTF-8 bytes pass through unchanged.
  std::string han = "\xE4\xB8\xAD";
  std::string got =
      merge(target, "<zun>\r\n<s>\r\n<k>" + han + "</k>\r\n</s>\r\n</zun>\r\n", "utf-8");
  EXPECT_NE(got.find("<k>" + han + "</k>"), std::string::npos);
}

TEST_F(Setup, UnreadableFilesLeaveTheTargetAlone) {
  std::string target = "; hand-made\r\n<zun>\r\n<s>\r\n<k>old</k>\r\n</s>\r\n</zun>\r\n";
  put(target_path(), target);
  std::string missing = dir_.file("missing.xml");
  insert_(const_cast<char*>(target_path().c_str()), const_cast<char*>(missing.c_str()), "");
  EXPECT_EQ(target_text(), target);
  insert_(const_cast<char*>(missing.c_str()), const_cast<char*>(target_path().c_str()), "");
  EXPECT_FALSE(os_file_exists(missing.c_str()));
  insert_(nullptr, nullptr, nullptr);
}

TEST_F(Setup, WinMovePlacesTheWindowAndKeepsItsSize) {
  HWND window = CreateWindowExA(0, "STATIC", "z_setup test", WS_OVERLAPPED | WS_CAPTION, 200, 300,
                                320, 240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  RECT before{};
  GetWindowRect(window, &before);
  EXPECT_NE(move_(window), 0);
  RECT after{};
  GetWindowRect(window, &after);
  EXPECT_EQ(after.left, 30);
  EXPECT_EQ(after.top, 180);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
  DestroyWindow(window);
  EXPECT_EQ(move_(window), 0);  // destroyed: no longer a window
  EXPECT_EQ(move_(nullptr), 0);
}
