#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "base/alloc.h"
#include "base/os.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {

std::string slurp(const std::string& path) {
  std::string s;
  os_read_file(path.c_str(), s);
  return s;
}

void put(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

TEST(Alloc, CountsBlocksAndUsableBytes) {
  long c0 = alloc_count();
  long long b0 = alloc_bytes();
  void* a = mem_alloc(100);
  void* z = mem_calloc(3000);
  ASSERT_TRUE(a && z);
  EXPECT_EQ(alloc_count(), c0 + 2);
  EXPECT_GE(alloc_bytes(), b0 + 3100);
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(static_cast<unsigned char*>(z)[i], 0);
  a = mem_realloc(a, 100000);
  ASSERT_TRUE(a);
  EXPECT_EQ(alloc_count(), c0 + 2);
  EXPECT_GE(alloc_bytes(), b0 + 103000);
  mem_free(a);
  mem_free(z);
  mem_free(nullptr);
  EXPECT_EQ(alloc_count(), c0);
  EXPECT_EQ(alloc_bytes(), b0);
  EXPECT_EQ(mem_alloc(0), nullptr);
  EXPECT_EQ(alloc_count(), c0);
}

TEST(SafeFile, CommitReplacesTheTargetAndLeavesNoTemporary) {
  TempDir dir;
  std::string target = dir.file("doc.zws");
  put(target, "old contents");
  {
    os_safe_file f(target.c_str());
    ASSERT_TRUE(f.ok());
    EXPECT_TRUE(f.write("new", 3));
    EXPECT_EQ(slurp(target), "old contents");  // untouched until commit
    EXPECT_TRUE(f.commit());
  }
  EXPECT_EQ(slurp(target), "new");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++files;
  EXPECT_EQ(files, 1);
}

TEST(SafeFile, AbandonedWriteKeepsThePreviousFile) {
  TempDir dir;
  std::string target = dir.file("doc.zws");
  put(target, "precious");
  {
    os_safe_file f(target.c_str());
    ASSERT_TRUE(f.ok());
    f.write("half", 4);
    // destroyed without commit, as a writer does when a later step fails
  }
  EXPECT_EQ(slurp(target), "precious");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++files;
  EXPECT_EQ(files, 1);
}

TEST(SafeFile, MissingFolderFailsCleanly) {
  TempDir dir;
  std::string target = dir.file("no-such-folder") + TempDir::sep() + "x.zws";
  os_safe_file f(target.c_str());
  EXPECT_FALSE(f.ok());
  EXPECT_FALSE(f.write("x", 1));
  EXPECT_FALSE(f.commit());
  EXPECT_FALSE(os_file_exists(target.c_str()));
}

TEST(Os, BackslashPathsWorkOnEveryHost) {
  TempDir dir;
  std::string p = dir.path() + "\\sub";
  std::filesystem::create_directory(os_native_path(p.c_str()));
  put(os_native_path((p + "\\a.txt").c_str()), "x");
  EXPECT_TRUE(os_file_exists((p + "\\a.txt").c_str()));
  EXPECT_TRUE(os_is_folder(p.c_str()));
  EXPECT_FALSE(os_is_folder((p + "\\a.txt").c_str()));
  EXPECT_TRUE(os_remove_file((p + "\\a.txt").c_str()));
  EXPECT_FALSE(os_file_exists((p + "\\a.txt").c_str()));
}
