// The copybook queries' LIKE language, on its own and inside SQL.
#include "content/tie_like.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct like_case {
  const char* pattern;
  const char* text;
  int expected;
};
}  // namespace

TEST(TieLike, WildcardsClassesAndLiterals) {
  // clang-format off
  const like_case cases[] = {
      {"abc", "ABC", 1}, {"ABC", "abd", 0}, {"a%", "abc", 1}, {"%c", "abc", 1},
      {"a%c", "ac", 1}, {"a%c", "acb", 0}, {"a_c", "abc", 1}, {"a_c", "ac", 0},
      {"%", "", 1}, {"", "", 1}, {"", "a", 0}, {"a", "", 0},
      {"[abc]x", "bx", 1}, {"[abc]x", "dx", 0}, {"[a-c]", "B", 1}, {"[A-C]", "b", 1},
      {"[a-c]", "d", 0}, {"[!a-c]", "d", 1}, {"[!a-c]", "B", 0}, {"[!a-c]", "", 0},
      {"[a-cx]", "x", 1},
      // Characters that are wildcards elsewhere stand for themselves here.
      {"a*b", "a*b", 1}, {"a*b", "axb", 0}, {"a?b", "axb", 0}, {"#", "5", 0},
      {"[#]", "#", 1}, {"[*]", "*", 1}, {"[*]", "x", 0}, {"[_]", "_", 1},
      {"[_]", "x", 0}, {"[-]", "-", 1}, {"[-]", "x", 0}, {"[a-]", "-", 1},
      {"[[]", "[", 1}, {"[]]", "]", 1}, {"[%]", "%", 1}, {"[%]", "ab", 0},
      {"a]", "a]", 1},
  };
  // clang-format on
  for (const like_case& c : cases)
    EXPECT_EQ(tie_like_match(c.pattern, c.text), c.expected) << c.pattern << " ~ " << c.text;
}

TEST(TieLike, CodePointsAndCase) {
  EXPECT_EQ(tie_like_match("_", "\xE7\x8E\x8B"), 1);  // one character of three bytes
  EXPECT_EQ(tie_like_match("__", "\xE7\x8E\x8B"), 0);
  EXPECT_EQ(tie_like_match("%\xE7\xBE\xB2%", "\xE7\x8E\x8B\xE7\xBE\xB2\xE4\xB9\x8B"), 1);
  EXPECT_EQ(tie_like_match("[\xE7\x8E\x8B\xE6\x9D\x8E]", "\xE6\x9D\x8E"), 1);
  EXPECT_EQ(tie_like_match("[!\xE7\x8E\x8B]", "\xE6\x9D\x8E"), 1);
  // Only ASCII letters fold: the capital of e-acute is a different character.
  EXPECT_EQ(tie_like_match("\xC3\xA9", "\xC3\x89"), 0);
  EXPECT_EQ(tie_like_match("\xC3\xA9", "\xC3\xA9"), 1);
  // A stray byte is a character of its own and matches itself.
  EXPECT_EQ(tie_like_match("a_b",
                           "a\xFF"
                           "b"),
            1);
  EXPECT_EQ(tie_like_match("a\x80", "a\x80"), 1);
}

TEST(TieLike, MalformedPatternsAndManyRuns) {
  EXPECT_EQ(tie_like_match("[a-", "a"), -1);
  EXPECT_EQ(tie_like_match("abc[", "abc"), -1);
  EXPECT_EQ(tie_like_match("[z-a]", "a"), -1);
  EXPECT_EQ(tie_like_match(nullptr, "a"), 0);
  // Backtracking stays linear per run: this would take ages if it branched.
  const std::string text(3000, 'a');
  EXPECT_EQ(tie_like_match("%a%a%a%a%a%a%a%a%a%a%a%a%b", text.c_str()), 0);
  EXPECT_EQ(tie_like_match("%a%a%a%a%a%a%a%a%a%a%a%a%", text.c_str()), 1);
}
