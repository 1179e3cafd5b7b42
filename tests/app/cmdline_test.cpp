#include <gtest/gtest.h>

#include <string>

#include "app/cmdline.h"

namespace {
struct Parsed {
  app_command cmd;
  std::string path;
};
Parsed parse(const char* line, std::size_t size = 512) {
  char buf[512];
  app_command c = parse_command_line(line, buf, size);
  return {c, buf};
}
}  // namespace

TEST(CommandLine, OptionsAreTestedInTheirOwnOrderNotTheTexts) {
  EXPECT_EQ(parse("-check -uninstall").cmd, app_command::uninstall);
  EXPECT_EQ(parse("-uninstall -check").cmd, app_command::uninstall);
  EXPECT_EQ(parse("-close -install").cmd, app_command::install);
  EXPECT_EQ(parse("x-checky").cmd, app_command::check);  // found anywhere in the line
  EXPECT_EQ(parse("\"C:\\a -close.zws\"").cmd, app_command::close);
  EXPECT_EQ(parse("").cmd, app_command::normal);
  EXPECT_EQ(parse(nullptr).cmd, app_command::normal);
}

TEST(CommandLine, DocumentIsTheTextBetweenTheFirstTwoQuotes) {
  auto p = parse("\"C:\\My Documents\\a b.zws\" \"second\"");
  EXPECT_EQ(p.cmd, app_command::document);
  EXPECT_EQ(p.path, "C:\\My Documents\\a b.zws");
  EXPECT_EQ(parse("C:\\unquoted.zws").path, "");
  EXPECT_EQ(parse("\"only one quote").path, "");
  EXPECT_EQ(parse("\"\"").path, "");
}

TEST(CommandLine, LongPathIsCutToTheBuffer) {
  std::string line = "\"" + std::string(600, 'a') + "\"";
  EXPECT_EQ(parse(line.c_str()).path.size(), 511u);
  EXPECT_EQ(parse(line.c_str(), 10).path, std::string(9, 'a'));
}
