#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/paths.h"
#include "base/os.h"
#include "tests/support/temp_dir.h"

namespace {

app_paths roots(const char* install, const char* content) {
  app_paths p;
  std::snprintf(p.install_dir, sizeof p.install_dir, "%s", install);
  std::snprintf(p.content_dir, sizeof p.content_dir, "%s", content);
  return p;
}

std::string built(const app_paths& p, const char* code, const char* lang = nullptr) {
  char out[kPathSize];
  build_path(p, code, lang, out);
  return out;
}

std::string resolved(const app_paths& p, const char* name, const char* lang = nullptr) {
  char out[kPathSize];
  resource_path(p, name, lang, out);
  return out;
}

}  // namespace

TEST(BuildPath, RootsFoldersAndLanguage) {
  auto p = roots("D:\\App\\", "E:\\CD\\");
  EXPECT_EQ(built(p, "HRdesktop\\back0.jpg"), "D:\\App\\RES\\desktop\\back0.jpg");
  EXPECT_EQ(built(p, "cgtie\\tie.dat"), "E:\\CD\\GLIB\\tie\\tie.dat");
  EXPECT_EQ(built(p, "HT"), "D:\\App\\TEMP\\");
  EXPECT_EQ(built(p, "HWmacro"), "D:\\App\\WORK\\macro");
  EXPECT_EQ(built(p, "H.config.xml", "chs"), "D:\\App\\LAN\\chs\\config.xml");
  EXPECT_EQ(built(p, "HAx"), "D:\\App\\MACRO\\x");
  EXPECT_EQ(built(p, "Hbx"), "D:\\App\\BIN\\x");
  EXPECT_EQ(built(p, "HFx"), "D:\\App\\FILE\\x");
  EXPECT_EQ(built(p, "HMx"), "D:\\App\\MEDIA\\x");
  EXPECT_EQ(built(p, "HQx"), "D:\\App\\x");  // unknown folder letter adds nothing
  EXPECT_EQ(built(p, "H"), "");             // a code needs two characters
}

TEST(BuildPath, NeverOverrunsThePathBuffer) {
  std::string longdir(kPathSize - 3, 'x');
  auto p = roots((longdir + "\\").c_str(), "C:\\");
  std::string r = built(p, "HRdesktop\\back0.jpg", "chs");
  EXPECT_LT(r.size(), kPathSize);
}

TEST(ResourcePath, InstallationRootFirstThenContentMedium) {
  TempDir inst, cd;
  std::string a = inst.path() + "\\", b = cd.path() + "\\";
  auto p = roots(a.c_str(), b.c_str());
  std::filesystem::create_directories(os_native_path((b + "RES\\desktop").c_str()));
  std::ofstream(os_native_path((b + "RES\\desktop\\back1.jpg").c_str())) << "x";
  std::filesystem::create_directories(os_native_path((a + "RES\\desktop").c_str()));
  std::ofstream(os_native_path((a + "RES\\desktop\\back0.jpg").c_str())) << "x";

  EXPECT_EQ(resolved(p, "Rdesktop\\back0.jpg"), a + "RES\\desktop\\back0.jpg");
  EXPECT_EQ(resolved(p, "Rdesktop\\back1.jpg"), b + "RES\\desktop\\back1.jpg");
  // Missing everywhere: the content-medium path, for the caller's own test.
  EXPECT_EQ(resolved(p, "Rdesktop\\back9.jpg"), b + "RES\\desktop\\back9.jpg");
  EXPECT_EQ(resolved(p, ".config.xml", "chs"), b + "LAN\\chs\\config.xml");
}

TEST(ResourcePath, FolderNamesResolveToTheFolderItself) {
  TempDir inst;
  std::string a = inst.path() + "\\";
  auto p = roots(a.c_str(), a.c_str());
  std::filesystem::create_directories(os_native_path((a + "GLIB\\penpat").c_str()));
  std::string r = resolved(p, "Gpenpat");
  EXPECT_EQ(r, a + "GLIB\\penpat");
  EXPECT_TRUE(os_is_folder(r.c_str()));
  // With both roots equal the second attempt repeats the first.
  EXPECT_EQ(resolved(p, "Gnothing"), a + "GLIB\\nothing");
}

TEST(VersionText, Forms) {
  char t[64];
  version_text(7, t, sizeof t);
  EXPECT_STREQ(t, "0.7");
  version_text(23, t, sizeof t);
  EXPECT_STREQ(t, "2.3");
  version_text(123, t, sizeof t);
  EXPECT_STREQ(t, "1.2.3");
  version_text(999, t, sizeof t);
  EXPECT_STREQ(t, "9.9.9");
  version_text(1000, t, sizeof t);
  EXPECT_STREQ(t, "");
  version_text(0, t, sizeof t);
  EXPECT_STREQ(t, "0.0");
}

TEST(EnsureBackslash, AddsOnlyWhenMissing) {
  char a[16] = "C:\\x";
  ensure_backslash(a, sizeof a);
  EXPECT_STREQ(a, "C:\\x\\");
  ensure_backslash(a, sizeof a);
  EXPECT_STREQ(a, "C:\\x\\");
  char full[4] = "abc";
  ensure_backslash(full, sizeof full);
  EXPECT_STREQ(full, "abc");
}
