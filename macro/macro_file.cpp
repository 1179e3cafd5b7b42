// The ".zwm" file: ".zwm", version 1, position, count, then count records of
// 168 bytes; all integers little-endian.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/os.h"
#include "macro/macro_data.h"

namespace {
constexpr std::size_t kHeaderSize = 16;
constexpr int32_t kVersion = 1;

void put_i32(uint8_t* p, int32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(uint32_t(v) >> (8 * i));
}
int32_t get_i32(const uint8_t* p) {
  return int32_t(p[0] | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

bool magic_ok(const uint8_t* m) {
  static const char kMagic[] = ".zwm";
  for (int i = 0; i < 4; ++i) {
    char c = char(m[i]);
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != kMagic[i]) return false;
  }
  return true;
}

// A failing write stops every later one; the temporary file is then dropped.
struct limited_writer {
  os_safe_file* file;
  uint64_t left;
  int write(const void* data, std::size_t size) {
    if (size > left) {
      left = 0;
      return 0;
    }
    left -= size;
    return file->write(data, size);
  }
};

class file_closer {
 public:
  explicit file_closer(FILE* f) : f_(f) {}
  ~file_closer() {
    if (f_) std::fclose(f_);
  }
  FILE* get() const { return f_; }

 private:
  FILE* f_;
};

// Bytes left from the current position to the end; -1 when unknown.
long long bytes_left(FILE* f) {
  const long here = std::ftell(f);
  if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) return -1;
  const long end = std::ftell(f);
  if (end < here || std::fseek(f, here, SEEK_SET) != 0) return -1;
  return end - here;
}
}  // namespace

int zun_macro_data::save_macro(const char* p) { return save_macro_limited(p, UINT64_MAX); }

int zun_macro_data::save_macro_limited(const char* p, uint64_t byte_limit) {
  if (!initialised || !macro_path_ok(p) || std::strlen(p) >= kMacroPathMax) return 0;
  // A read-only macro is saved over, as the user asked.
  if (os_file_exists(p)) os_clear_attributes(p);
  os_safe_file file(p);
  if (!file.ok()) return 0;
  limited_writer w{&file, byte_limit};
  uint8_t head[kHeaderSize];
  std::memcpy(head, ".zwm", 4);
  put_i32(head + 4, kVersion);
  put_i32(head + 8, position);
  put_i32(head + 12, count());
  if (!w.write(head, sizeof head)) return 0;
  uint8_t block[64 * kMacroRecordSize];
  int32_t in_block = 0;
  for (int32_t i = 0; i < count(); ++i) {
    macro_record_encode(records->items[i], block + std::size_t(in_block) * kMacroRecordSize);
    if (++in_block == 64 || i == count() - 1) {
      if (!w.write(block, std::size_t(in_block) * kMacroRecordSize)) return 0;
      in_block = 0;
    }
  }
  if (!file.commit()) return 0;
  set_path(p);
  return 1;
}

// Every failure after the clear leaves the macro empty and unnamed. A file
// whose record area is shorter than its count says is refused, and the count
// is bounded by the file's length before anything is allocated.
int zun_macro_data::load_macro(const char* p) {
  if (!initialised) return 0;
  clear();
  if (!records || !records->items) return 0;
  if (!macro_path_ok(p) || std::strlen(p) >= kMacroPathMax || !os_file_exists(p) ||
      os_is_folder(p))
    return 0;
  file_closer f(std::fopen(os_native_path(p).c_str(), "rb"));
  if (!f.get()) return 0;
  uint8_t head[kHeaderSize];
  if (std::fread(head, 1, 8, f.get()) != 8 || !magic_ok(head) || get_i32(head + 4) != kVersion)
    return 0;
  if (std::fread(head + 8, 1, 8, f.get()) != 8) return 0;
  const int32_t n = get_i32(head + 12);
  const long long left = bytes_left(f.get());
  if (n <= 0 || n > kMacroMaxRecords || left < 0 ||
      static_cast<unsigned long long>(left) / kMacroRecordSize < static_cast<unsigned long long>(n))
    return 0;
  if (!records->reserve(n)) return 0;
  uint8_t block[64 * kMacroRecordSize];
  for (int32_t done = 0; done < n;) {
    const int32_t take = n - done < 64 ? n - done : 64;
    if (std::fread(block, kMacroRecordSize, std::size_t(take), f.get()) != std::size_t(take)) {
      clear();
      return 0;
    }
    for (int32_t i = 0; i < take; ++i)
      macro_record_decode(block + std::size_t(i) * kMacroRecordSize, &records->items[done + i]);
    done += take;
  }
  records->count = n;
  set_path(p);
  seek(0);
  return 1;
}
