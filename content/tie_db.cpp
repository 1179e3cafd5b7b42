#include "content/tie_db.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/os.h"
#include "content/tie_like.h"
#include "content/tie_text.h"

namespace {

void like_function(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const unsigned char* pattern = sqlite3_value_text(argv[0]);
  const unsigned char* text = sqlite3_value_text(argv[1]);
  if (!pattern || !text) {
    sqlite3_result_null(ctx);  // as SQL's own LIKE: NULL in, NULL out
    return;
  }
  int r =
      tie_like_match(reinterpret_cast<const char*>(pattern), reinterpret_cast<const char*>(text));
  if (r < 0)
    sqlite3_result_error(ctx, "Invalid pattern string", -1);
  else
    sqlite3_result_int(ctx, r);
}

// Column kinds follow SQLite's affinity rules on the declared type; an
// expression has none, so its first value decides.
int column_kind(sqlite3_stmt* st, int i, int have_row) {
  const char* decl = sqlite3_column_decltype(st, i);
  if (decl) {
    std::string d(decl);
    for (char& c : d) c = char(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (d.find("INT") != std::string::npos) return db_integer;
    if (d.find("CHAR") != std::string::npos || d.find("CLOB") != std::string::npos ||
        d.find("TEXT") != std::string::npos)
      return db_text;
    if (d.find("REAL") != std::string::npos || d.find("FLOA") != std::string::npos ||
        d.find("DOUB") != std::string::npos)
      return db_double;
    return db_text;
  }
  if (have_row) {
    int t = sqlite3_column_type(st, i);
    if (t == SQLITE_INTEGER) return db_integer;
    if (t == SQLITE_FLOAT) return db_double;
  }
  return db_text;
}

void set_error(std::string& error, const char* message, int code) {
  char buf[600];
  std::snprintf(buf, sizeof buf, "%.500s(%08lx)", message ? message : "",
                (unsigned long)unsigned(code));
  error = buf;
}

}  // namespace

std::string db_result::text(std::size_t row, int column) const {
  if (row >= rows.size() || column < 0 || column >= column_count) return {};
  const db_value& v = rows[row].slots[column];
  char buf[64];
  switch (columns[column].kind) {
    case db_integer:
      std::snprintf(buf, sizeof buf, "%lld", (long long)v.integer);
      return buf;
    case db_double:
      std::snprintf(buf, sizeof buf, "%g", v.real);
      return buf;
    default:
      return v.text;
  }
}

int64_t db_result::integer(std::size_t row, int column) const {
  if (row >= rows.size() || column < 0 || column >= column_count) return 0;
  const db_value& v = rows[row].slots[column];
  switch (columns[column].kind) {
    case db_integer:
      return v.integer;
    case db_double:
      return int64_t(v.real);
    default:
      return std::strtoll(v.text.c_str(), nullptr, 10);
  }
}

db_obj::~db_obj() { close(); }

// SQLite has no database password: the password is accepted and ignored. The
// portable core shows nothing; with quiet off the shell shows last_error().
int db_obj::open(const char* path, const char* password, int quiet) {
  (void)password;
  if (opened_) return 1;
  quiet_ = quiet;
  error_.clear();
  if (!path) path = "";
  const std::string name = os_ansi_to_utf8(os_native_path(path));
  int rc = sqlite3_open_v2(name.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
  // SQLite reads the file lazily: a file that is no database fails here, at
  // open, rather than at its first query.
  if (rc == SQLITE_OK) rc = sqlite3_exec(db_, "PRAGMA schema_version", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_create_function_v2(db_, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                    like_function, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Access ErrorCode(%08lx)", (unsigned long)unsigned(rc));
    error_ = buf;
    sqlite3_close(db_);  // a failed open still returns a handle
    db_ = nullptr;
    return 0;
  }
  opened_ = 1;
  return 1;
}

void db_obj::close() {
  if (db_) sqlite3_close(db_);
  db_ = nullptr;
  opened_ = 0;
}

db_result* db_obj::execute(const char* sql) {
  if (!opened_ || !sql) {
    set_error(error_, "no open database", SQLITE_MISUSE);
    return nullptr;
  }
  const std::string text = os_ansi_to_utf8(sql);
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v2(db_, text.c_str(), -1, &st, nullptr);
  if (rc != SQLITE_OK) {
    set_error(error_, sqlite3_errmsg(db_), sqlite3_extended_errcode(db_));
    sqlite3_finalize(st);
    return nullptr;
  }
  auto* result = new (std::nothrow) db_result;
  if (!result) {
    sqlite3_finalize(st);
    set_error(error_, "out of memory", SQLITE_NOMEM);
    return nullptr;
  }
  int n = sqlite3_column_count(st);
  result->column_count = n < kDbMaxColumns ? n : kDbMaxColumns;  // further columns are dropped
  rc = sqlite3_step(st);
  for (int i = 0; i < result->column_count; ++i) {
    db_column& c = result->columns[i];
    c.kind = column_kind(st, i, rc == SQLITE_ROW);
    const char* raw = sqlite3_column_name(st, i);
    const std::string name = os_utf8_to_ansi(raw ? raw : "");
    tie_text_copy(c.name, sizeof c.name, name);
  }
  for (; rc == SQLITE_ROW; rc = sqlite3_step(st)) {
    result->rows.emplace_back();
    db_row& row = result->rows.back();
    for (int i = 0; i < result->column_count; ++i) {
      switch (result->columns[i].kind) {
        case db_integer:
          row.slots[i].integer = sqlite3_column_int64(st, i);
          break;
        case db_double:
          row.slots[i].real = sqlite3_column_double(st, i);
          break;
        default: {
          const unsigned char* v = sqlite3_column_text(st, i);
          if (v) row.slots[i].text = os_utf8_to_ansi(reinterpret_cast<const char*>(v));
        }
      }
    }
  }
  if (rc != SQLITE_DONE) {
    set_error(error_, sqlite3_errmsg(db_), sqlite3_extended_errcode(db_));
    sqlite3_finalize(st);
    delete result;
    return nullptr;
  }
  sqlite3_finalize(st);
  return result;
}
