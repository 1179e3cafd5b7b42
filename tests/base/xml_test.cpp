#include "base/xml.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "base/os.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {

class Xml : public LeakCheck {};

int parse(app_xmlobj& doc, const std::string& text, int convert = 0) {
  return doc.load_text(text.data(), text.size(), convert);
}

std::string lookup(const app_xmlobj& doc, const char* section, const char* key) {
  char out[600];
  if (!doc.get_text(section, key, out, sizeof out)) return "<none>";
  return out;
}

std::string text_of(const app_xmlobj& doc, const char* encoding = "") {
  app_xmlbuf buf;
  EXPECT_TRUE(doc.to_text(buf, encoding));
  return std::string(buf.text(), buf.length());
}

std::string slurp(const std::string& path) {
  std::string s;
  os_read_file(path.c_str(), s);
  return s;
}

void put(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

const char* const kMenu =
    "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n"
    "# comment\n"
    "<zun>\n"
    "\t<menu>\n"
    "\t\t<open>Open</open>\n"
    "\n"
    "\t\t; another comment\n"
    "\t\t<save>Save</save>   \t\n"
    "\t</menu>\n"
    "\t<msg>\n"
    "\t\t<!-- markup comment -->\n"
    "\t\t<quit>Quit?</quit>\n"
    "\t</msg>\n"
    "</zun>\n";

}  // namespace

TEST_F(Xml, ReadsSectionsKeysAndSkipsCommentsAndBlankLines) {
  app_xmlobj doc;
  ASSERT_TRUE(parse(doc, kMenu));
  EXPECT_EQ(doc.root_count(), 1);
  EXPECT_EQ(doc.section_count(), 2);
  EXPECT_EQ(doc.key_count(), 3);
  EXPECT_EQ(lookup(doc, "menu", "open"), "Open");
  EXPECT_EQ(lookup(doc, "menu", "save"), "Save");
  EXPECT_EQ(lookup(doc, "msg", "quit"), "Quit?");
  EXPECT_EQ(lookup(doc, "msg", "open"), "<none>");
  EXPECT_EQ(lookup(doc, "nothing", "open"), "<none>");
}

TEST_F(Xml, EscapesRoundTripThroughAFile) {
  TempDir dir;
  std::string path = dir.file("lang.xml");
  {
    app_xmlobj doc;
    ASSERT_TRUE(doc.set_text("zun", "s", "cmp", "a<b & c>d"));
    ASSERT_TRUE(doc.set_text("zun", "s", "two", "first\r\nsecond"));
    ASSERT_TRUE(doc.save(path.c_str(), ""));
  }
  std::string file = slurp(path);
  EXPECT_NE(file.find("<cmp>a&lt;b &amp; c&gt;d</cmp>"), std::string::npos) << file;
  EXPECT_NE(file.find("<two>first&lt;br&gt;second</two>"), std::string::npos) << file;
  app_xmlobj back;
  ASSERT_TRUE(back.load(path.c_str(), 0));
  EXPECT_EQ(lookup(back, "s", "cmp"), "a<b & c>d");
  EXPECT_EQ(lookup(back, "s", "two"), "first\r\nsecond");
}

TEST_F(Xml, EachUnescapeRunsOnceInItsOrder) {
  app_xmlobj doc;
  ASSERT_TRUE(parse(doc,
                    "<zun>\n<s>\n"
                    "<a>&amp;lt;</a>\n"
                    "<b>&amp;amp;</b>\n"
                    "<c>x&lt;br&gt;y&gt;&lt;</c>\n"
                    "<d></d>\n"
                    "</s>\n</zun>\n"));
  EXPECT_EQ(lookup(doc, "s", "a"), "&lt;");
  EXPECT_EQ(lookup(doc, "s", "b"), "&amp;");
  EXPECT_EQ(lookup(doc, "s", "c"), "x\r\ny><");
  char out[8] = "junk";
  EXPECT_TRUE(doc.get_text("s", "d", out, sizeof out));  // empty but present
  EXPECT_STREQ(out, "");
}

TEST_F(Xml, LineEndRules) {
  std::string crlf = "<zun>\r\n<s>\r\n<k>v</k>\r\n<j>w</j>\r\n</s>\r\n</zun>\r\n";
  std::string lf = crlf, cr = crlf;
  for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
  for (std::size_t at; (at = cr.find("\r\n")) != std::string::npos;) cr.erase(at + 1, 1);
  app_xmlobj a, b, c;
  ASSERT_TRUE(parse(a, crlf));
  ASSERT_TRUE(parse(b, lf));
  ASSERT_TRUE(parse(c, cr));
  EXPECT_EQ(a.key_count(), 2);
  EXPECT_EQ(text_of(a), text_of(b));
  EXPECT_EQ(text_of(a), text_of(c));

  // One CR LF further on: up to it, LF no longer ends a line, so the key is
  // swallowed by the section's opening line.
  app_xmlobj mixed;
  ASSERT_TRUE(parse(mixed, "<zun>\r\n<s>\n<k>v</k>\r\n</s>\r\n</zun>\r\n"));
  EXPECT_EQ(mixed.section_count(), 1);
  EXPECT_EQ(mixed.key_count(), 0);
  // After the last CR LF, lines split on LF again.
  app_xmlobj tail;
  ASSERT_TRUE(parse(tail, "<zun>\r\n<s>\n<k>v</k>\n</s>\n</zun>\n"));
  EXPECT_EQ(tail.key_count(), 1);
  EXPECT_EQ(lookup(tail, "s", "k"), "v");
}

TEST_F(Xml, MalformedContentKeepsWhatCameBefore) {
  app_xmlobj open_section;
  ASSERT_TRUE(parse(open_section, "<zun>\n<s>\n<a>1</a>\n<b>2</b>\n"));
  EXPECT_EQ(lookup(open_section, "s", "a"), "1");
  EXPECT_EQ(lookup(open_section, "s", "b"), "2");

  app_xmlobj nested;
  ASSERT_TRUE(parse(nested,
                    "<zun>\n<s>\n<a>1</a>\n<sub>\n<b>2</b>\n</sub>\n<c>3</c>\n</s>\n"
                    "<t>\n<d>4</d>\n</t>\n</zun>\n"));
  EXPECT_EQ(nested.key_count(), 1);
  EXPECT_EQ(nested.section_count(), 1);
  EXPECT_EQ(lookup(nested, "s", "a"), "1");
  EXPECT_EQ(lookup(nested, "s", "c"), "<none>");
  EXPECT_EQ(lookup(nested, "t", "d"), "<none>");

  // A closing tag followed by more text is no end tag: it is read as a key
  // line, which it is not, so the parse ends there.
  app_xmlobj trailing;
  ASSERT_TRUE(parse(trailing, "<zun>\n<s>\n<a>1</a>\n</s> x\n<t>\n<d>4</d>\n</t>\n</zun>\n"));
  EXPECT_EQ(trailing.section_count(), 1);
  EXPECT_EQ(lookup(trailing, "t", "d"), "<none>");

  // An opening line holding its own closing tag is not a root.
  app_xmlobj flat;
  ASSERT_TRUE(parse(flat, "<zun></zun>\n<zun>\n</zun>\n"));
  EXPECT_EQ(flat.root_count(), 0);

  app_xmlobj binary;
  const char zero[] = "<zun>\n<s>\n<a>1</a>\n\0<b>2</b>\n";
  ASSERT_TRUE(parse(binary, std::string(zero, sizeof zero - 1)));
  EXPECT_EQ(binary.key_count(), 1);
}

TEST_F(Xml, Limits) {
  app_xmlobj doc;
  std::string v600(600, 'v');
  ASSERT_TRUE(parse(doc, "<zun>\n<s>\n<k>" + v600 + "</k>\n<n>ok</n>\n</s>\n</zun>\n"));
  EXPECT_EQ(lookup(doc, "s", "k"), v600.substr(0, 512));
  EXPECT_EQ(lookup(doc, "s", "n"), "ok");

  // A line of exactly 1557 characters followed by more text: the rest is a line of its own.
  std::string first = "<a>" + std::string(1550, 'x') + "</a>";
  ASSERT_EQ(first.size(), 1557u);
  app_xmlobj split;
  ASSERT_TRUE(parse(split, "<zun>\n<s>\n" + first + "<b>2</b>\n</s>\n</zun>\n"));
  EXPECT_EQ(lookup(split, "s", "a"), std::string(512, 'x'));
  EXPECT_EQ(lookup(split, "s", "b"), "2");

  // One character more and the cut falls inside the closing tag.
  app_xmlobj longer;
  ASSERT_TRUE(parse(longer, "<zun>\n<s>\n<a>" + std::string(1551, 'x') + "</a>\n</s>\n</zun>\n"));
  EXPECT_EQ(longer.key_count(), 0);

  // Names: 127 characters fit, 128 end the parse.
  std::string n127(127, 'n'), n128(128, 'n');
  app_xmlobj names;
  ASSERT_TRUE(parse(names, "<zun>\n<" + n127 + ">\n<k>1</k>\n<" + n128 + ">2</" + n128 + ">\n</" +
                               n127 + ">\n</zun>\n"));
  EXPECT_EQ(lookup(names, n127.c_str(), "k"), "1");
  EXPECT_EQ(names.key_count(), 1);
}

TEST_F(Xml, NamesMatchWithoutCase) {
  app_xmlobj doc;
  ASSERT_TRUE(parse(doc, "<ZUN>\n<Menu>\n<Open>x</OPEN>\n</menu>\n</Zun>\n"));
  EXPECT_EQ(lookup(doc, "MENU", "open"), "x");
  EXPECT_EQ(lookup(doc, "menu", "opens"), "<none>");
  ASSERT_TRUE(doc.set_text("zun", "MENU", "OPEN", "y"));
  EXPECT_EQ(doc.key_count(), 1);
  EXPECT_EQ(lookup(doc, "menu", "open"), "y");
}

TEST_F(Xml, LookupUsesTheFirstZunRootAndTheFirstSectionOfAName) {
  app_xmlobj doc;
  ASSERT_TRUE(parse(doc,
                    "<other>\n<s>\n<k>other</k>\n</s>\n</other>\n"
                    "<zun>\n<s>\n<k>first</k>\n</s>\n<s>\n<k>second</k>\n<only>2</only>\n</s>\n"
                    "</zun>\n<zun>\n<t>\n<k>late</k>\n</t>\n</zun>\n"));
  EXPECT_EQ(doc.root_count(), 3);
  EXPECT_EQ(lookup(doc, "s", "k"), "first");
  EXPECT_EQ(lookup(doc, "s", "only"), "<none>");
  EXPECT_EQ(lookup(doc, "t", "k"), "<none>");
}

TEST_F(Xml, GetTextClearsAndCutsTheOutput) {
  app_xmlobj doc;
  ASSERT_TRUE(parse(doc, "<zun>\n<s>\n<k>abcdef</k>\n</s>\n</zun>\n"));
  char out[8];
  std::memset(out, 'j', sizeof out);
  EXPECT_TRUE(doc.get_text("s", "k", out, 4));
  EXPECT_STREQ(out, "abc");
  EXPECT_EQ(out[4], 'j');  // nothing written past size

  std::memset(out, 'j', sizeof out);
  EXPECT_FALSE(doc.get_text(nullptr, "k", out, sizeof out));
  EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, '\0'));
  EXPECT_FALSE(doc.get_text("s", nullptr, out, sizeof out));
  EXPECT_FALSE(doc.get_text("s", "k", nullptr, 8));
  EXPECT_FALSE(doc.get_text("s", "k", out, 0));

  std::memset(out, 'j', sizeof out);
  EXPECT_FALSE(app_xml_get_text(nullptr, "s", "k", out, sizeof out));
  EXPECT_STREQ(out, "");
  EXPECT_TRUE(app_xml_get_text(&doc, "s", "k", out, sizeof out));
  EXPECT_STREQ(out, "abcdef");
}

TEST_F(Xml, UnreadableFileLeavesAnEmptyDocument) {
  TempDir dir;
  app_xmlobj doc;
  ASSERT_TRUE(parse(doc, kMenu));
  EXPECT_FALSE(doc.load(dir.file("missing.xml").c_str(), 1));
  EXPECT_EQ(doc.root_count(), 0);
  EXPECT_EQ(doc.key_count(), 0);
  EXPECT_EQ(lookup(doc, "menu", "open"), "<none>");
  EXPECT_FALSE(doc.load(nullptr, 0));

  put(dir.file("junk.xml"), "not xml at all\n");
  EXPECT_TRUE(doc.load(dir.file("junk.xml").c_str(), 0));
  EXPECT_EQ(doc.root_count(), 0);
}

TEST_F(Xml, Utf8FilesAreConvertedOnlyWhenAsked) {
  const std::string han = "\xE4\xB8\xAD";  // one CJK character in UTF-8
  std::string declared =
      "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<zun>\n<s>\n<k>" + han + "</k>\n</s>\n</zun>\n";
  std::string bom = "\xEF\xBB\xBF<zun>\n<s>\n<k>" + han + "</k>\n</s>\n</zun>\n";
  std::string plain = "<zun>\n<s>\n<k>" + han + "</k>\n</s>\n</zun>\n";
  std::string ansi = os_utf8_to_ansi(han);
  app_xmlobj doc;
  ASSERT_TRUE(parse(doc, declared, 1));
  EXPECT_EQ(lookup(doc, "s", "k"), ansi);
  ASSERT_TRUE(parse(doc, bom, 1));
  EXPECT_EQ(lookup(doc, "s", "k"), ansi);
  ASSERT_TRUE(parse(doc, plain, 1));  // no mark: taken as ANSI already
  EXPECT_EQ(lookup(doc, "s", "k"), han);
  ASSERT_TRUE(parse(doc, declared, 0));
  EXPECT_EQ(lookup(doc, "s", "k"), han);
  // The mark is blanked even without conversion, so a comment behind it stays a comment.
  ASSERT_TRUE(parse(doc, "\xEF\xBB\xBF# note\n<zun>\n<s>\n<k>v</k>\n</s>\n</zun>\n", 0));
  EXPECT_EQ(lookup(doc, "s", "k"), "v");
}

TEST_F(Xml, WritesTheFixedLayout) {
  app_xmlobj doc;
  ASSERT_TRUE(doc.set_text("zun", "menu", "open", "Open"));
  ASSERT_TRUE(doc.set_text("zun", "menu", "save", nullptr));
  ASSERT_TRUE(doc.set_text("zun", "msg", "quit", "Quit"));
  ASSERT_TRUE(doc.set_text("extra", "s", "k", ""));
  ASSERT_TRUE(doc.set_text("zun", "menu", "open", "Open..."));  // replaced in place
  const char* body =
      "<zun>\r\n"
      "\t<menu>\r\n"
      "\t\t<open>Open...</open>\r\n"
      "\t\t<save></save>\r\n"
      "\t</menu>\r\n"
      "\t<msg>\r\n"
      "\t\t<quit>Quit</quit>\r\n"
      "\t</msg>\r\n"
      "</zun>\r\n"
      "<extra>\r\n"
      "\t<s>\r\n"
      "\t\t<k></k>\r\n"
      "\t</s>\r\n"
      "</extra>\r\n";
  EXPECT_EQ(text_of(doc, ""), body);
  EXPECT_EQ(text_of(doc, nullptr), body);
  EXPECT_EQ(text_of(doc, "utf-8"),
            std::string("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n") + body);
  EXPECT_EQ(doc.root_count(), 2);
  EXPECT_EQ(doc.section_count(), 3);
  EXPECT_EQ(doc.key_count(), 4);
}

TEST_F(Xml, SetTextRefusesWhatCouldNotBeReadBack) {
  app_xmlobj doc;
  EXPECT_FALSE(doc.set_text("zun", "s", nullptr, "v"));
  EXPECT_FALSE(doc.set_text(nullptr, "s", "k", "v"));
  EXPECT_FALSE(doc.set_text("zun", "a>b", "k", "v"));
  EXPECT_FALSE(doc.set_text("zun", "s", "!k", "v"));
  EXPECT_FALSE(doc.set_text("zun", "s", "a\r\nb", "v"));
  EXPECT_FALSE(doc.set_text("zun", "s", std::string(128, 'k').c_str(), "v"));
  EXPECT_EQ(doc.root_count(), 0);
  EXPECT_TRUE(
      doc.set_text("zun", "s", std::string(127, 'k').c_str(), std::string(700, 'v').c_str()));
  EXPECT_EQ(lookup(doc, "s", std::string(127, 'k').c_str()), std::string(512, 'v'));
}

TEST_F(Xml, EscapeHeavyValuesStayWithinTheReaderLimits) {
  // 512 ampersands would escape to 2560 characters: more than a line holds, so
  // written whole they would end the next reading there and lose every later key.
  app_xmlobj doc;
  std::string amps(512, '&');
  ASSERT_TRUE(doc.set_text("zun", "s", "amps", amps.c_str()));
  ASSERT_TRUE(doc.set_text("zun", "s", "after", "kept"));
  ASSERT_TRUE(doc.set_text("zun", "t", "k", "kept too"));
  app_xmlobj back;
  ASSERT_TRUE(parse(back, text_of(doc)));
  EXPECT_EQ(lookup(back, "s", "amps"), std::string(1024 / 5, '&'));
  EXPECT_EQ(lookup(back, "s", "after"), "kept");
  EXPECT_EQ(lookup(back, "t", "k"), "kept too");
  // A line break is never cut in half.
  std::string breaks;
  for (int i = 0; i < 200; ++i) breaks += "\r\n";
  ASSERT_TRUE(doc.set_text("zun", "s", "amps", breaks.c_str()));
  ASSERT_TRUE(parse(back, text_of(doc)));
  std::string got = lookup(back, "s", "amps");
  EXPECT_EQ(got.size(), 2u * (1024 / 10));
  EXPECT_EQ(got.back(), '\n');
}

TEST_F(Xml, NodesThatWouldReadBackAsSomethingElseAreLeftOut) {
  // Read, these are a key and sections named "!k", "!odd" and "/zun"; written on
  // lines of their own they would be comments or the root's end tag.
  app_xmlobj odd;
  ASSERT_TRUE(parse(odd,
                    "<zun>\n<s>\n<k>1</k>\nx<!k>2</!k>\n</s>\n"
                    "x<!odd>\n<j>2</j>\n</!odd>\n"
                    "x</zun>\n<m>3</m>\n<//zun>\n"
                    "<t>\n<n>4</n>\n</t>\n</zun>\n"
                    "x<!r>\n<s>\n<k>9</k>\n</s>\n</!r>\n<last>\n<u>\n<k>5</k>\n</u>\n</last>\n"));
  EXPECT_EQ(odd.root_count(), 3);
  EXPECT_EQ(odd.section_count(), 6);
  EXPECT_EQ(odd.key_count(), 7);
  app_xmlobj back;
  ASSERT_TRUE(parse(back, text_of(odd)));
  ASSERT_EQ(back.root_count(), 2);
  EXPECT_EQ(back.section_count(), 3);
  const app_xmlroot* last = back.roots()->next;
  EXPECT_STREQ(last->name, "last");
  ASSERT_TRUE(last->sections && last->sections->keys);
  EXPECT_STREQ(last->sections->keys->value, "5");
  EXPECT_EQ(lookup(back, "s", "k"), "1");
  EXPECT_EQ(lookup(back, "t", "n"), "4");

  // A first root named like the declaration is kept only behind a declaration.
  app_xmlobj decl;
  ASSERT_TRUE(parse(decl,
                    "<?xml version=\"1.0\" ?>\n<?xml>\n<s>\n<k>1</k>\n</s>\n</?xml>\n"
                    "<zun>\n<s>\n<k>2</k>\n</s>\n</zun>\n"));
  EXPECT_EQ(decl.root_count(), 2);
  ASSERT_TRUE(parse(back, text_of(decl, "")));
  EXPECT_EQ(back.root_count(), 1);
  EXPECT_EQ(lookup(back, "s", "k"), "2");
  ASSERT_TRUE(parse(back, text_of(decl, "gb2312")));
  EXPECT_EQ(back.root_count(), 2);

  app_xmlbuf buf;
  EXPECT_FALSE(decl.to_text(buf, "gb2312\r\n<broken"));
}

TEST_F(Xml, SaveReplacesAReadOnlyFileAndFailsCleanly) {
  TempDir dir;
  std::string path = dir.file("config.xml");
  put(path, "<zun>\n<s>\n<k>old</k>\n</s>\n</zun>\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read,
                               std::filesystem::perm_options::replace);
  app_xmlobj doc;
  ASSERT_TRUE(doc.load(path.c_str(), 0));
  ASSERT_TRUE(doc.set_text("zun", "s", "k", "new"));
  ASSERT_TRUE(doc.save(path.c_str(), "gb2312"));
  app_xmlobj back;
  ASSERT_TRUE(back.load(path.c_str(), 0));
  EXPECT_EQ(lookup(back, "s", "k"), "new");
  EXPECT_EQ(slurp(path).rfind("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\r\n", 0), 0u);

  EXPECT_FALSE(
      doc.save(dir.file("no such folder" + std::string(TempDir::sep()) + "x.xml").c_str(), ""));
  EXPECT_FALSE(doc.save(nullptr, ""));
}

TEST_F(Xml, BufferGrowsInWholeQuanta) {
  app_xmlbuf buf;
  EXPECT_EQ(buf.capacity(), 1024u);
  std::string a(1023, 'a');
  ASSERT_TRUE(buf.append(a.data(), a.size()));
  EXPECT_EQ(buf.capacity(), 1024u);
  ASSERT_TRUE(buf.append("b"));
  EXPECT_EQ(buf.capacity(), 2048u);
  EXPECT_EQ(buf.length(), 1024u);
  EXPECT_EQ(std::strlen(buf.text()), 1024u);

  buf.clear();
  ASSERT_TRUE(buf.append("one\r\ntwo\rthree\nfour"));
  char line[8];
  std::string got;
  while (buf.read_line(line, sizeof line)) got += std::string("[") + line + "]";
  // CR LF first, then CR, then LF; at most 7 characters a line.
  EXPECT_EQ(got, "[one][two][three][four]");
  buf.clear();
  ASSERT_TRUE(buf.append("abcdefghij\n"));
  got.clear();
  while (buf.read_line(line, sizeof line)) got += std::string("[") + line + "]";
  EXPECT_EQ(got, "[abcdefg][hij]");
}
