#include <gtest/gtest.h>

#include <string>

#include "app/file_rules.h"

namespace {
std::string applied(const char* name, const char* label, std::size_t size = 512) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "%s", name);
  apply_filter_extension(buf, size, label);
  return buf;
}
}  // namespace

TEST(FilterExtension, TakenFromTheLabel) {
  char ext[16];
  filter_extension("ZWS(*.zws)", ext, sizeof ext);
  EXPECT_STREQ(ext, ".zws");
  filter_extension("JPEG(*.jpeg)", ext, sizeof ext);
  EXPECT_STREQ(ext, ".jpeg");
  filter_extension("none", ext, sizeof ext);
  EXPECT_STREQ(ext, "");
}

TEST(FilterExtension, AppendedUnlessAlreadyThere) {
  EXPECT_EQ(applied("C:\\a\\doc.", "ZWS(*.zws)"), "C:\\a\\doc.zws");  // the dot is replaced
  EXPECT_EQ(applied("C:\\a\\doc.zws", "ZWS(*.zws)"), "C:\\a\\doc.zws");
  EXPECT_EQ(applied("C:\\a\\doc.ZWS", "ZWS(*.zws)"), "C:\\a\\doc.ZWS");
  EXPECT_EQ(applied("C:\\a\\doc", "PNG(*.png)"), "C:\\a\\doc.png");
  EXPECT_EQ(applied("C:\\a\\doc.png", "JPG(*.jpg)"), "C:\\a\\doc.png.jpg");
  EXPECT_EQ(applied("C:\\a\\doc", "*.*"), "C:\\a\\doc");
  EXPECT_EQ(applied("abcdef", "ZWS(*.zws)", 8), "abcdef");  // no room: unchanged
}
