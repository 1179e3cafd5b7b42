// The where-clauses of the copybook searches.
#include "content/tie_filter.h"

#include <gtest/gtest.h>

#include <string>

#include "base/os.h"
#include "content/tie_text.h"

namespace {
std::string quick(const char* text) {
  char out[1024];
  EXPECT_EQ(tie_quick_filter(text, out, sizeof out), 1) << text;
  return out;
}

std::string in_all_four(const std::string& t) {
  return "DynastyName0 like '%" + t + "%' OR AuthorName0 like '%" + t + "%' OR Style0 like '%" + t +
         "%' OR FileName0 like '%" + t + "%'";
}

std::string advanced(const char* d, const char* a, const char* s) {
  char out[512];
  EXPECT_EQ(tie_advanced_filter(d, a, s, out, sizeof out), 1);
  return out;
}
}  // namespace

TEST(TieFilter, QuickSearchProtectsWildcardsButNotPercent) {
  EXPECT_EQ(quick("  lan ting\t"), in_all_four("lan ting"));
  EXPECT_EQ(quick("a_b*c-d?e#f[g"), in_all_four("a[_]b[*]c[-]d[?]e[#]f[[]g"));
  EXPECT_EQ(quick("100%"), in_all_four("100%"));
  EXPECT_EQ(quick("O'Neil"), in_all_four("O''Neil"));
  EXPECT_EQ(quick("a]"), in_all_four("a]"));
  EXPECT_EQ(quick(" \t "), "");
  EXPECT_EQ(quick(""), "");
  EXPECT_EQ(quick(nullptr), "");
}

TEST(TieFilter, QuickSearchTakesSixtyThreeCharacters) {
  const std::string long_text(70, 'k');
  EXPECT_EQ(quick(long_text.c_str()), in_all_four(std::string(63, 'k')));
  // The cut comes before the trim: blanks beyond the box's reach are not text.
  const std::string padded = std::string(60, ' ') + "abcdef";
  EXPECT_EQ(quick(padded.c_str()), in_all_four("abc"));
}

TEST(TieFilter, DoubleByteCharactersPassWhole) {
  // In the system code page a trail byte may be '[' or '_'; it must not be
  // bracketed. Natively the text is UTF-8, whose trail bytes are never ASCII.
  const std::string name =
      os_utf8_to_ansi("\xE7\x8E\x8B\xE7\xBE\xB2\xE4\xB9\x8B");  // three CJK characters
  EXPECT_EQ(quick(name.c_str()), in_all_four(name));
  const std::string mixed = name + "_";
  EXPECT_EQ(quick(mixed.c_str()), in_all_four(name + "[_]"));
#ifdef _WIN32
  // "\x81\x5B" is one GBK character whose trail byte is '['.
  if (os_is_lead_byte(0x81)) {
    EXPECT_EQ(quick("\x81[x_"), in_all_four("\x81[x[_]"));
  }
#endif
}

TEST(TieFilter, AdvancedSearchJoinsWhatIsSet) {
  EXPECT_EQ(advanced("", "", "Kai"), "Style0='Kai'");
  EXPECT_EQ(advanced(nullptr, " O'Neil ", "Kai"), "AuthorName0='O''Neil' And Style0='Kai'");
  EXPECT_EQ(advanced("Song", "", "Kai"), "DynastyName0='Song' And Style0='Kai'");
  EXPECT_EQ(advanced("Song", "Mi_Fu", "Xing"),
            "DynastyName0='Song' And AuthorName0='Mi_Fu' And Style0='Xing'");
  EXPECT_EQ(advanced(" ", "\t", nullptr), "");
}

TEST(TieFilter, ResultThatDoesNotFitFailsCleanly) {
  char small[40] = "untouched";
  EXPECT_EQ(tie_quick_filter("lanting", small, sizeof small), 0);
  EXPECT_STREQ(small, "");
  // Exactly the size of the clause plus its terminator fits; one byte less does not.
  const std::string want = "Style0='Kai'";
  char exact[13];
  EXPECT_EQ(tie_advanced_filter("", "", "Kai", exact, want.size() + 1), 1);
  EXPECT_EQ(exact, want);
  EXPECT_EQ(tie_advanced_filter("", "", "Kai", exact, want.size()), 0);
  EXPECT_EQ(tie_advanced_filter("", "", "Kai", nullptr, 0), 0);
}

TEST(TieText, CutsOnCharacterBoundariesAndTrims) {
  const std::string e = os_utf8_to_ansi("\xC3\xA9");  // e-acute: two bytes in UTF-8 and in GBK
  ASSERT_EQ(e.size(), 2u);
  const std::string text = "a" + e + e;
  EXPECT_EQ(tie_text_fit(text, 2), 1u);
  EXPECT_EQ(tie_text_fit(text, 3), 3u);
  EXPECT_EQ(tie_text_fit(text, 100), 5u);
  char out[5];
  tie_text_copy(out, sizeof out, text);
  EXPECT_EQ(std::string(out), "a" + e);
  EXPECT_EQ(tie_trim_value(" \tname \t\r\n"), "name");
  EXPECT_EQ(tie_trim_value("\r\n"), "");
  EXPECT_EQ(tie_trim_blanks("\t name \r"), "name \r");
}
