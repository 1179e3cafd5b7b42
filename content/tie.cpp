#include "content/tie.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "base/alloc.h"
#include "base/os.h"
#include "content/tie_db.h"
#include "content/tie_text.h"

namespace {

inline constexpr std::size_t kValueMax = 127;  // a list value is cut to this first

std::string list_value(const db_result& r, std::size_t row, int column) {
  std::string v = r.text(row, column);
  v.resize(tie_text_fit(v, kValueMax));
  return tie_trim_value(v);
}

// ASCII case folded; double-byte characters compared whole, since their trail
// bytes can be ASCII letters.
bool same_name(const char* a, const char* b) {
  for (;;) {
    const unsigned char x = (unsigned char)*a, y = (unsigned char)*b;
    if (os_is_lead_byte(x)) {
      if (x != y || a[1] != b[1] || !a[1]) return x == y && a[1] == b[1];
      a += 2;
      b += 2;
      continue;
    }
    const unsigned char lx = x >= 'A' && x <= 'Z' ? x + 32 : x;
    const unsigned char ly = y >= 'A' && y <= 'Z' ? y + 32 : y;
    if (lx != ly) return false;
    if (!x) return true;
    ++a;
    ++b;
  }
}

}  // namespace

zun_tie_class::~zun_tie_class() { release(); }

void zun_tie_class::release() {
  mem_free(items);
  items = nullptr;
  count = capacity = 0;
}

int zun_tie_class::add(const zun_tie_entry& entry) {
  if (count >= capacity) {
    if (count >= kTieMaxEntries) return 0;
    const int32_t step = grow_step > 0 ? grow_step : 1;
    int64_t grown = (int64_t(count) + 1 + step - 1) / step * step;
    if (grown > kTieMaxEntries) grown = kTieMaxEntries;
    auto* block =
        static_cast<zun_tie_entry*>(mem_realloc(items, std::size_t(grown) * sizeof(zun_tie_entry)));
    if (!block) return 0;
    std::memset(block + capacity, 0, std::size_t(grown - capacity) * sizeof(zun_tie_entry));
    items = block;
    capacity = int32_t(grown);
  }
  items[count++] = entry;
  return 1;
}

int32_t zun_tie_class::find_name(const char* name) const {
  if (!name) return -1;
  for (int32_t i = 0; i < count; ++i)
    if (same_name(items[i].name, name)) return i;
  return -1;
}

int32_t zun_tie_class::find_id(int32_t id) const {
  for (int32_t i = 0; i < count; ++i)
    if (items[i].id == id) return i;
  return -1;
}

zun_tie::zun_tie() { saved.selected_id = -1; }

int zun_tie::init(tie_resolver resolver) {
  initialised_ = 0;
  resolver_ = resolver;
  password_[0] = 0;
  std::string path;
  if (!resolver || !resolver("Gtie\\tie.dat", &path) || path.size() >= sizeof path_) {
    path_[0] = 0;
    return 0;
  }
  std::memcpy(path_, path.c_str(), path.size() + 1);
  initialised_ = 1;
  return 1;
}

int zun_tie::resolve(const char* format, const char* name, std::string* out) {
  if (!out) return 0;
  out->clear();
  if (!resolver_ || !name) return 0;
  char res[600];
  const int n = std::snprintf(res, sizeof res, format, name);
  if (n < 0 || std::size_t(n) >= sizeof res) return 0;
  return resolver_(res, out);
}

int zun_tie::description_path(const char* name, std::string* out) {
  return resolve("Gtie\\pic\\%s.txt", name, out);
}

int zun_tie::picture_path(const char* name, std::string* out) {
  if (resolve("Gtie\\pic\\%s.asd", name, out) && os_file_exists(out->c_str())) return 1;
  if (resolve("Gtie\\pic\\%s.jpg", name, out) && os_file_exists(out->c_str())) return 1;
  if (out) out->clear();
  return 0;
}

// One query on its own connection, closed before the rows are used.
static db_result* run_query(const char* path, const char* password, const char* sql,
                            std::string& error) {
  auto* db = new (std::nothrow) db_obj;
  if (!db) {
    error = "out of memory";
    return nullptr;
  }
  db_result* r = nullptr;
  if (db->open(path, password, 1)) r = db->execute(sql);
  if (!r) error = db->last_error();
  db->close();
  delete db;
  return r;
}

int zun_tie::read_names(const char* sql, int name_column, int id_column, int pictures,
                        zun_tie_class& out) {
  out.release();
  if (!initialised_) {
    error_ = "not initialised";
    return 0;
  }
  db_result* r = run_query(path_, password_, sql, error_);
  if (!r) return 0;
  int ok = 1;
  for (std::size_t i = 0; i < r->rows.size() && ok; ++i) {
    const std::string v = list_value(*r, i, name_column);
    if (v.empty()) continue;
    zun_tie_entry e{};
    e.flag = 1;
    e.index = out.count;
    e.id = id_column >= 0 ? int32_t(r->integer(i, id_column)) : 0;
    tie_text_copy(e.name, sizeof e.name, v);
    std::string picture;
    if (pictures && !picture_path(e.name, &picture)) continue;
    ok = out.add(e);
  }
  delete r;
  if (!ok) {
    out.release();
    error_ = "out of memory";
  }
  return ok;
}

int zun_tie::dynasties(zun_tie_class& out) {
  return read_names("select Name0,ID0 from [MyDynasty] order by ID0 asc", 0, 1, 0, out);
}

int zun_tie::authors(zun_tie_class& out) {
  return read_names("select distinct AuthorName0 from [MyPic] order by AuthorName0 asc", 0, -1, 0,
                    out);
}

int zun_tie::styles(zun_tie_class& out) {
  return read_names("select distinct Style0 from [MyPic] order by Style0 asc", 0, -1, 0, out);
}

int zun_tie::files(const char* where, zun_tie_class& out) {
  std::string sql = "select ID0,FileName0 from [MyPic] ";
  if (where && *where) sql += std::string("where ") + where + " ";
  sql += "order by FileName0 asc";
  return read_names(sql.c_str(), 1, 0, 1, out);
}

int zun_tie::name_list(tie_name_kind kind, const char* all_caption, zun_tie_class& out) {
  zun_tie_class names;
  const int ok = kind == tie_dynasty  ? dynasties(names)
                 : kind == tie_author ? authors(names)
                                      : styles(names);
  out.release();
  // The whole-collection entry leads even when the database cannot be read.
  zun_tie_entry all{};
  all.flag = 1;
  all.id = -1;
  tie_text_copy(all.name, sizeof all.name, all_caption ? all_caption : "");
  if (!out.add(all)) return 0;
  for (int32_t i = 0; i < names.count; ++i) {
    zun_tie_entry e = names.items[i];
    e.index = out.count;
    if (!out.add(e)) {
      out.release();
      return 0;
    }
  }
  return ok;
}

int zun_tie::detail(int32_t id, zun_tie_entry* out) {
  if (!out) return 0;
  *out = zun_tie_entry{};
  if (!initialised_) {
    error_ = "not initialised";
    return 0;
  }
  char sql[160];
  std::snprintf(sql, sizeof sql,
                "select ID0,DynastyName0,AuthorName0,Style0,FileName0 from [MyPic] where ID0=%d",
                int(id));
  db_result* r = run_query(path_, password_, sql, error_);
  if (!r) return 0;
  const int found = !r->rows.empty();
  if (found) {
    out->flag = 1;
    out->id = int32_t(r->integer(0, 0));
    tie_text_copy(out->dynasty, sizeof out->dynasty, list_value(*r, 0, 1));
    tie_text_copy(out->author, sizeof out->author, list_value(*r, 0, 2));
    tie_text_copy(out->style, sizeof out->style, list_value(*r, 0, 3));
    tie_text_copy(out->name, sizeof out->name, list_value(*r, 0, 4));
  }
  delete r;
  return found;
}
