// The copybook library runs on SQLite in both builds; the queries keep their
// bracket-quoted names, which SQLite must accept as the design relies on it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> names(sqlite3* db, const char* sql, const char* arg) {
  std::vector<std::string> out;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) return {"<prepare failed>"};
  sqlite3_bind_text(st, 1, arg, -1, SQLITE_TRANSIENT);
  while (sqlite3_step(st) == SQLITE_ROW)
    out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
  sqlite3_finalize(st);
  return out;
}
}  // namespace

TEST(Sqlite, BracketQuotedTablesAndLikeQueries) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  char* err = nullptr;
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE [Tie] (FileName0 TEXT, AuthorName0 TEXT);"
                         "INSERT INTO [Tie] VALUES ('lanting.jpg', 'Wang'), ('jiucheng.jpg', 'Ouyang'),"
                         " ('duobao.jpg', 'Yan');",
                         nullptr, nullptr, &err),
            SQLITE_OK)
      << (err ? err : "");
  EXPECT_EQ(names(db, "SELECT FileName0 FROM [Tie] WHERE AuthorName0 LIKE ? ORDER BY FileName0",
                  "%yang%"),
            std::vector<std::string>{"jiucheng.jpg"});
  // A quote in the searched text travels as a parameter, never as SQL.
  EXPECT_TRUE(names(db, "SELECT FileName0 FROM [Tie] WHERE AuthorName0 = ?", "O'Neil").empty());
  EXPECT_EQ(names(db, "SELECT count(*) FROM [Tie]", nullptr), std::vector<std::string>{"3"});
  sqlite3_close(db);
}
