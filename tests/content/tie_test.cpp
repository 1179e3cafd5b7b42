// The copybook library over a small database made here: odd names (Chinese,
// quotes, wildcards, blanks, empty), a missing picture and an ".asd" one.
#include "content/tie.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "base/os.h"
#include "content/tie_db.h"
#include "content/tie_filter.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {

std::string g_root;  // the resolver is a plain function: it finds the tree here

int resolve_under_root(const char* name, std::string* out) {
  if (!name || (name[0] | 0x20) != 'g' || g_root.empty()) return 0;
  *out = g_root + "\\GLIB\\" + (name + 1);
  return 1;
}

const char* const kWang =
    "\xE7\x8E\x8B\xE7\xBE\xB2\xE4\xB9\x8B";  // UTF-8, as the database holds it
const char* const kOuyang = "\xE6\xAC\xA7\xE9\x98\xB3\xE8\xAF\xA2";
const char* const kKaiShu = "\xE6\xA5\xB7\xE4\xB9\xA6";
const char* const kXingShu = "\xE8\xA1\x8C\xE4\xB9\xA6";

void touch(const std::string& path) { std::ofstream(path, std::ios::binary) << "x"; }

void exec(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
}

class TieTest : public LeakCheck {
 protected:
  void SetUp() override {
    LeakCheck::SetUp();
    namespace fs = std::filesystem;
    pic_ = dir_.path() + TempDir::sep() + "GLIB" + TempDir::sep() + "tie" + TempDir::sep() + "pic";
    fs::create_directories(pic_);
    g_root = dir_.path();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database().c_str(), &db), SQLITE_OK);
    exec(db,
         "create table MyDynasty (ID0 integer, Name0 text);"
         "create table MyPic (ID0 integer, DynastyName0 text, AuthorName0 text, Style0 text,"
         " FileName0 text)");
    exec(db, std::string("insert into MyDynasty values (3, '\xE5\x94\x90'), (1, '\xE6\x99\x8B'),"
                         " (5, 'Song'), (2, '  '), (4, ' Yuan \r\n')"));
    exec(db, std::string("insert into MyPic values") + "(1, '\xE5\x94\x90', '" + kOuyang + "', '" +
                 kKaiShu +
                 "', 'jiucheng'),"
                 "(2, '\xE6\x99\x8B', '" +
                 kWang + "', '" + kXingShu +
                 "', 'lanting'),"
                 "(3, 'Song', 'O''Neil', 'Kai', 'oneil'),"
                 "(4, 'Song', '100% Li', 'Cao_Shu', 'per_cent'),"
                 "(5, 'Song', '  Mi Fu \t', 'Xing', 'missing'),"
                 "(6, 'Ming', '  Wen  ', '', '  spaced \r\n'),"
                 "(7, 'Yuan', 'a_b', 'Li', 'w1'), (8, 'Yuan', 'axb', 'Li', 'w2'),"
                 "(9, 'Yuan', 'a*b', 'Li', 'w3'), (10, 'Yuan', 'a-b', 'Li', 'w4'),"
                 "(11, 'Yuan', 'a?b', 'Li', 'w5'), (12, 'Yuan', 'a#b', 'Li', 'w6'),"
                 "(13, 'Yuan', 'a[b', 'Li', 'w7'), (14, 'Yuan', '', 'Li', ''),"
                 "(15, 'Yuan', 'Long', 'Li', '" +
                 std::string(70, 'z') + "')");
    sqlite3_close(db);
    for (const char* name :
         {"jiucheng", "oneil", "per_cent", "spaced", "w1", "w2", "w3", "w4", "w5", "w6", "w7"})
      touch(picture(name, ".jpg"));
    touch(picture("lanting", ".asd"));                     // only the dictionary picture
    touch(picture(std::string(63, 'z').c_str(), ".jpg"));  // the name as the list cuts it
  }

  std::string database() const {
    return dir_.path() + TempDir::sep() + "GLIB" + TempDir::sep() + "tie" + TempDir::sep() +
           "tie.dat";
  }
  std::string picture(const char* name, const char* ext) const {
    return pic_ + TempDir::sep() + name + ext;
  }

  static std::vector<std::string> names(const zun_tie_class& list) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < list.count; ++i) out.emplace_back(list.items[i].name);
    return out;
  }
  static std::vector<int32_t> ids(const zun_tie_class& list) {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < list.count; ++i) out.push_back(list.items[i].id);
    return out;
  }
  static void expect_running_index(const zun_tie_class& list) {
    for (int32_t i = 0; i < list.count; ++i) {
      EXPECT_EQ(list.items[i].flag, 1);
      EXPECT_EQ(list.items[i].index, i);
    }
  }

  std::vector<int32_t> quick_ids(const std::string& text) {
    char where[1024];
    EXPECT_EQ(tie_quick_filter(text.c_str(), where, sizeof where), 1);
    zun_tie_class list;
    EXPECT_EQ(tie_.files(where, list), 1) << where << ": " << tie_.last_error();
    return ids(list);
  }

  TempDir dir_;
  std::string pic_;
  zun_tie tie_;
};

}  // namespace

TEST_F(TieTest, DynastiesInIdOrderWithValuesTrimmedAndBlanksSkipped) {
  zun_tie_class list;
  EXPECT_EQ(tie_.init(nullptr), 0);
  EXPECT_EQ(tie_.dynasties(list), 0);
  ASSERT_EQ(tie_.init(resolve_under_root), 1);
  EXPECT_EQ(os_native_path(tie_.database_path()), os_native_path(database().c_str()));
  std::string path;
  ASSERT_EQ(tie_.description_path("lanting", &path), 1);
  EXPECT_EQ(os_native_path(path.c_str()), os_native_path(picture("lanting", ".txt").c_str()));
  ASSERT_EQ(tie_.dynasties(list), 1) << tie_.last_error();
  EXPECT_EQ(names(list),
            (std::vector<std::string>{os_utf8_to_ansi("\xE6\x99\x8B"),
                                      os_utf8_to_ansi("\xE5\x94\x90"), "Yuan", "Song"}));
  EXPECT_EQ(ids(list), (std::vector<int32_t>{1, 3, 4, 5}));
  expect_running_index(list);
}

TEST_F(TieTest, AuthorsAndStylesAreDistinctSortedAndConverted) {
  ASSERT_EQ(tie_.init(resolve_under_root), 1);
  zun_tie_class list;
  ASSERT_EQ(tie_.authors(list), 1) << tie_.last_error();
  EXPECT_EQ(names(list),
            (std::vector<std::string>{"Mi Fu", "Wen", "100% Li", "Long", "O'Neil", "a#b", "a*b",
                                      "a-b", "a?b", "a[b", "a_b", "axb", os_utf8_to_ansi(kOuyang),
                                      os_utf8_to_ansi(kWang)}));
  expect_running_index(list);
  // The database's UTF-8 arrives in the system code page: GBK under Wine.
  const std::string wang = list.items[list.count - 1].name;
#ifdef _WIN32
  EXPECT_EQ(wang.size(), 6u);
#else
  EXPECT_EQ(wang, kWang);
#endif
  ASSERT_EQ(tie_.styles(list), 1);
  EXPECT_EQ(names(list),
            (std::vector<std::string>{"Cao_Shu", "Kai", "Li", "Xing", os_utf8_to_ansi(kKaiShu),
                                      os_utf8_to_ansi(kXingShu)}));
}

TEST_F(TieTest, FilesSkipMissingPicturesAndAcceptAsd) {
  ASSERT_EQ(tie_.init(resolve_under_root), 1);
  zun_tie_class list;
  ASSERT_EQ(tie_.files("", list), 1) << tie_.last_error();
  EXPECT_EQ(names(list),
            (std::vector<std::string>{"spaced", "jiucheng", "lanting", "oneil", "per_cent", "w1",
                                      "w2", "w3", "w4", "w5", "w6", "w7", std::string(63, 'z')}));
  EXPECT_EQ(ids(list), (std::vector<int32_t>{6, 1, 2, 3, 4, 7, 8, 9, 10, 11, 12, 13, 15}));
  expect_running_index(list);
  std::string path;
  ASSERT_EQ(tie_.picture_path("lanting", &path), 1);
  EXPECT_EQ(os_native_path(path.c_str()), os_native_path(picture("lanting", ".asd").c_str()));
  EXPECT_EQ(tie_.picture_path("missing", &path), 0);
  // Once its picture appears, the missing entry is listed too.
  touch(picture("missing", ".jpg"));
  ASSERT_EQ(tie_.files(nullptr, list), 1);
  EXPECT_NE(list.find_id(5), -1);
}

TEST_F(TieTest, QuickSearchMatchesWildcardsLiterally) {
  ASSERT_EQ(tie_.init(resolve_under_root), 1);
  EXPECT_EQ(quick_ids("a_b"), std::vector<int32_t>{7});
  EXPECT_EQ(quick_ids("a*b"), std::vector<int32_t>{9});
  EXPECT_EQ(quick_ids("a-b"), std::vector<int32_t>{10});
  EXPECT_EQ(quick_ids("a?b"), std::vector<int32_t>{11});
  EXPECT_EQ(quick_ids("a#b"), std::vector<int32_t>{12});
  EXPECT_EQ(quick_ids("a[b"), std::vector<int32_t>{13});
  EXPECT_EQ(quick_ids("CAO_shu"), std::vector<int32_t>{4});
  // A percent sign stays a wildcard.
  EXPECT_EQ(quick_ids("a%b"), (std::vector<int32_t>{7, 8, 9, 10, 11, 12, 13}));
  EXPECT_EQ(quick_ids("o'neil"), std::vector<int32_t>{3});
  EXPECT_EQ(quick_ids(" \t").size(), 13u);
  // System code page text reaches the UTF-8 database intact.
  EXPECT_EQ(quick_ids(os_utf8_to_ansi("\xE7\xBE\xB2\xE4\xB9\x8B")), std::vector<int32_t>{2});
  EXPECT_EQ(quick_ids(os_utf8_to_ansi("\xE6\xA5\xB7")), std::vector<int32_t>{1});
}

TEST_F(TieTest, AdvancedSearch) {
  ASSERT_EQ(tie_.init(resolve_under_root), 1);
  char where[512];
  zun_tie_class list;
  ASSERT_EQ(tie_advanced_filter("", "", "Li", where, sizeof where), 1);
  ASSERT_EQ(tie_.files(where, list), 1) << tie_.last_error();
  EXPECT_EQ(ids(list), (std::vector<int32_t>{7, 8, 9, 10, 11, 12, 13, 15}));
  ASSERT_EQ(tie_advanced_filter("Song", "O'Neil", "", where, sizeof where), 1);
  ASSERT_EQ(tie_.files(where, list), 1) << tie_.last_error();
  EXPECT_EQ(ids(list), std::vector<int32_t>{3});
  // Equality, not a pattern: the underscore matches only itself.
  ASSERT_EQ(tie_advanced_filter("", "a_b", "", where, sizeof where), 1);
  ASSERT_EQ(tie_.files(where, list), 1);
  EXPECT_EQ(ids(list), std::vector<int32_t>{7});
}

TEST_F(TieTest, NameListStartsWithTheWholeCollection) {
  ASSERT_EQ(tie_.init(resolve_under_root), 1);
  zun_tie_class list;
  ASSERT_EQ(tie_.name_list(tie_style, "All", list), 1);
  ASSERT_EQ(list.count, 7);
  EXPECT_EQ(list.items[0].id, -1);
  EXPECT_STREQ(list.items[0].name, "All");
  EXPECT_STREQ(list.items[1].name, "Cao_Shu");
  expect_running_index(list);
  EXPECT_EQ(list.find_name("xING"), 4);
  EXPECT_EQ(list.find_name("Xin"), -1);
  EXPECT_EQ(list.find_name(os_utf8_to_ansi(kXingShu).c_str()), 6);
  ASSERT_EQ(tie_.name_list(tie_dynasty, "All", list), 1);
  EXPECT_EQ(ids(list), (std::vector<int32_t>{-1, 1, 3, 4, 5}));
}

TEST_F(TieTest, DetailOfAnEntryAndOfAMissingId) {
  ASSERT_EQ(tie_.init(resolve_under_root), 1);
  zun_tie_entry e{};
  ASSERT_EQ(tie_.detail(6, &e), 1) << tie_.last_error();
  EXPECT_EQ(e.flag, 1);
  EXPECT_EQ(e.id, 6);
  EXPECT_STREQ(e.name, "spaced");
  EXPECT_STREQ(e.dynasty, "Ming");
  EXPECT_STREQ(e.author, "Wen");
  EXPECT_STREQ(e.style, "");
  ASSERT_EQ(tie_.detail(2, &e), 1);
  EXPECT_EQ(std::string(e.author), os_utf8_to_ansi(kWang));
  ASSERT_EQ(tie_.detail(15, &e), 1);
  EXPECT_EQ(std::string(e.name), std::string(63, 'z'));
  EXPECT_EQ(tie_.detail(999, &e), 0);
  EXPECT_EQ(e.flag, 0);
  EXPECT_STREQ(e.name, "");
}

TEST_F(TieTest, UnreadableDatabaseGivesEmptyListsAndTheErrorText) {
  g_root = dir_.path() + TempDir::sep() + "nowhere";
  ASSERT_EQ(tie_.init(resolve_under_root), 1);
  zun_tie_class list;
  ASSERT_EQ(tie_.name_list(tie_author, "All", list), 0);
  EXPECT_EQ(list.count, 1);  // the whole-collection entry alone
  EXPECT_EQ(tie_.last_error().rfind("Access ErrorCode(", 0), 0u) << tie_.last_error();
  EXPECT_EQ(tie_.files("", list), 0);
  EXPECT_EQ(list.count, 0);
  zun_tie_entry e{};
  EXPECT_EQ(tie_.detail(1, &e), 0);

  // A file that is no database fails at open as well.
  g_root = dir_.path();
  std::ofstream(database(), std::ios::binary | std::ios::trunc) << std::string(4096, 'q');
  ASSERT_EQ(tie_.init(resolve_under_root), 1);
  EXPECT_EQ(tie_.dynasties(list), 0);
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(tie_.last_error(), "Access ErrorCode(0000001a)");
}

TEST_F(TieTest, FailedQueryKeepsTheProvidersText) {
  ASSERT_EQ(tie_.init(resolve_under_root), 1);
  zun_tie_class list;
  EXPECT_EQ(tie_.files("NoSuchColumn = 1", list), 0);
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(tie_.last_error(), "no such column: NoSuchColumn(00000001)");
}

TEST_F(TieTest, DbObjResultTable) {
  db_obj db;
  ASSERT_EQ(db.open(database().c_str(), "ignored", 1), 1) << db.last_error();
  EXPECT_EQ(db.open("elsewhere", "", 1), 1);  // already open: nothing changes
  std::unique_ptr<db_result> r(
      db.execute("select ID0, FileName0, 1.5 as Ratio, null as Blank, ID0 * 2 as "
                 "a_column_name_well_over_31_chars"
                 " from [MyPic] where ID0 <= 2 order by ID0"));
  ASSERT_TRUE(r) << db.last_error();
  ASSERT_EQ(r->column_count, 5);
  EXPECT_EQ(r->columns[0].kind, db_integer);
  EXPECT_EQ(r->columns[1].kind, db_text);
  EXPECT_EQ(r->columns[2].kind, db_double);
  EXPECT_EQ(r->columns[3].kind, db_text);
  EXPECT_EQ(r->columns[4].kind, db_integer);
  EXPECT_STREQ(r->columns[1].name, "FileName0");
  EXPECT_EQ(std::string(r->columns[4].name),
            std::string("a_column_name_well_over_31_chars").substr(0, 31));
  ASSERT_EQ(r->rows.size(), 2u);
  EXPECT_EQ(r->rows[1].slots[0].integer, 2);
  EXPECT_EQ(r->rows[0].slots[1].text, "jiucheng");
  EXPECT_EQ(r->rows[0].slots[2].real, 1.5);
  EXPECT_EQ(r->rows[0].slots[3].text, "");
  EXPECT_EQ(r->rows[1].slots[4].integer, 4);
  EXPECT_EQ(r->text(1, 0), "2");
  EXPECT_EQ(r->text(0, 9), "");

  std::string wide = "select 0";
  for (int i = 1; i < 25; ++i) {
    wide += ',';
    wide += std::to_string(i);
  }
  r.reset(db.execute(wide.c_str()));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->column_count, kDbMaxColumns);
  EXPECT_EQ(r->rows[0].slots[19].integer, 19);

  // Read-only: a write is refused with the provider's text and code.
  EXPECT_EQ(db.execute("delete from [MyPic]"), nullptr);
  EXPECT_EQ(db.last_error(), "attempt to write a readonly database(00000008)");
  db.close();
  EXPECT_EQ(db.is_open(), 0);
  EXPECT_EQ(db.execute("select 1"), nullptr);
}

TEST_F(TieTest, LikeOperatorUsesTheCopybookPatterns) {
  db_obj db;
  ASSERT_EQ(db.open(database().c_str(), "", 1), 1) << db.last_error();
  std::unique_ptr<db_result> r(db.execute(
      "select count(*) from [MyPic] where AuthorName0 like 'A[_]B' or AuthorName0 like '[!a-z]%'"));
  ASSERT_TRUE(r) << db.last_error();
  // a_b by its bracketed underscore, any case; then the five whose first character is
  // no letter of either case: two blanks, a digit and the two Chinese names.
  EXPECT_EQ(r->integer(0, 0), 6);
  EXPECT_EQ(db.execute("select 1 where 'a' like '[a-'"), nullptr);
  EXPECT_EQ(db.last_error(), "Invalid pattern string(00000001)");
}

TEST_F(TieTest, ListGrowsInWholeSteps) {
  zun_tie_class list;
  zun_tie_entry e{};
  e.flag = 1;
  for (int i = 0; i < kTieGrowStep + 1; ++i) {
    e.id = i;
    ASSERT_EQ(list.add(e), 1);
  }
  EXPECT_EQ(list.count, kTieGrowStep + 1);
  EXPECT_EQ(list.capacity, 2 * kTieGrowStep);
  EXPECT_EQ(list.items[kTieGrowStep].id, kTieGrowStep);
  EXPECT_EQ(list.items[kTieGrowStep + 1].flag, 0);  // the unused tail is zero
  EXPECT_EQ(list.find_id(700), 700);
  list.release();
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(list.items, nullptr);
}
