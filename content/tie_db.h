#pragma once
// The copybook database access object. The database is SQLite 3: the queries
// keep their bracket-quoted names, and every connection gets a like() with the
// pattern language they were written for (content/tie_like.h). Text crosses in
// the system code page; the database holds UTF-8.
#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;

inline constexpr int kDbMaxColumns = 20;
inline constexpr int kDbNameSize = 32;  // column names: at most 31 characters

enum db_kind { db_integer = 0, db_double = 1, db_text = 2 };

struct db_column {
  int kind;
  char name[kDbNameSize];
};

struct db_value {  // read as its column's kind; NULL reads as 0 or ""
  int64_t integer = 0;
  double real = 0;
  std::string text;
};

struct db_row {
  db_value slots[kDbMaxColumns];
};

struct db_result {
  int column_count = 0;
  db_column columns[kDbMaxColumns] = {};
  std::vector<db_row> rows;

  // Any slot as text (numbers formatted) or as an integer (text parsed); "" and
  // 0 out of range.
  std::string text(std::size_t row, int column) const;
  int64_t integer(std::size_t row, int column) const;
};

class db_obj {
 public:
  db_obj() = default;
  virtual ~db_obj();
  db_obj(const db_obj&) = delete;
  db_obj& operator=(const db_obj&) = delete;

  int open(const char* path, const char* password, int quiet);
  db_result* execute(const char* sql);  // the caller deletes the table
  void close();

  int is_open() const { return opened_; }
  int quiet() const { return quiet_; }
  const std::string& last_error() const { return error_; }

 private:
  int opened_ = 0;
  int quiet_ = 1;
  sqlite3* db_ = nullptr;
  std::string error_;
};
