#pragma once
// The copybook library: lists read from the copybook database, each query on
// its own short connection (nothing stays open between queries).
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr int32_t kTieGrowStep = 1024;
inline constexpr int32_t kTieMaxEntries = 1 << 20;  // far beyond any library; bounds a list

struct zun_tie_entry {
  int32_t flag;      // 1 for a valid entry
  int32_t index;     // running number in its list
  int32_t id;        // ID0; -1 for the whole-collection entry of a name list
  char name[64];     // Name0, AuthorName0, Style0 or FileName0, by list
  char dynasty[32];  // detail entries only
  char author[32];
  char style[32];
};
static_assert(sizeof(zun_tie_entry) == 172);
static_assert(offsetof(zun_tie_entry, id) == 8 && offsetof(zun_tie_entry, name) == 12 &&
              offsetof(zun_tie_entry, dynasty) == 76 && offsetof(zun_tie_entry, author) == 108 &&
              offsetof(zun_tie_entry, style) == 140);

// A growable, zero-filled array of entries on the counted allocator.
class zun_tie_class {
 public:
  zun_tie_class() = default;
  virtual ~zun_tie_class();
  zun_tie_class(const zun_tie_class&) = delete;
  zun_tie_class& operator=(const zun_tie_class&) = delete;

  int add(const zun_tie_entry& entry);  // 0 when it cannot grow; the list stays as it was
  void release();

  // Positions (not ids) of the first entry named name, ASCII case ignored, or
  // of the first with the id; -1 when none.
  int32_t find_name(const char* name) const;
  int32_t find_id(int32_t id) const;

  zun_tie_entry* items = nullptr;
  int32_t count = 0;
  int32_t capacity = 0;
  int32_t grow_step = kTieGrowStep;
};

using tie_resolver = int (*)(const char* name, std::string* out);

enum tie_name_kind { tie_dynasty = 0, tie_author = 1, tie_style = 2 };

// What the copybook dialog shows again when it opens next.
struct tie_dialog_state {
  char search[64];
  char dynasty[32];
  char author[32];
  char style[32];
  int32_t selected_id;  // -1: none
  int32_t mode;         // 0 as it is, 1 faded for tracing
  char picture[512];    // path of the chosen picture
};

class zun_tie {
 public:
  zun_tie();
  virtual ~zun_tie() = default;
  zun_tie(const zun_tie&) = delete;
  zun_tie& operator=(const zun_tie&) = delete;

  int init(tie_resolver resolver);

  // Each fills out (emptied first) and returns 1, or leaves it empty and
  // returns 0 with last_error() set when the database cannot be read.
  int dynasties(zun_tie_class& out);
  int authors(zun_tie_class& out);
  int styles(zun_tie_class& out);
  int files(const char* where, zun_tie_class& out);
  // The name list of the dialog: the whole-collection entry (id -1, named
  // all_caption) first, then the names of the kind.
  int name_list(tie_name_kind kind, const char* all_caption, zun_tie_class& out);

  int detail(int32_t id, zun_tie_entry* out);  // 0 (entry zeroed) when no row has the id
  int description_path(const char* name, std::string* out);
  // The picture of a file entry: its ".asd" when present, else its ".jpg"; 0 when neither exists.
  int picture_path(const char* name, std::string* out);

  int initialised() const { return initialised_; }
  const char* database_path() const { return path_; }
  const std::string& last_error() const { return error_; }

  tie_dialog_state saved{};

 private:
  int resolve(const char* format, const char* name, std::string* out);
  int read_names(const char* sql, int name_column, int id_column, int pictures, zun_tie_class& out);

  int initialised_ = 0;
  tie_resolver resolver_ = nullptr;
  char path_[512] = {};
  char password_[32] = {};  // always empty
  std::string error_;
};
