// The macro reader on any bytes. What it accepts must hold exactly the
// records the file holds, encode back to those very bytes, and free everything.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/alloc.h"
#include "macro/macro_data.h"

namespace {
// The reader takes a path: each input goes through one scratch file (in
// memory where the system has /dev/shm), removed at exit.
std::string scratch_folder() {
  FILE* probe = std::fopen("/dev/shm/.qm-probe", "wb");
  if (!probe) return "/tmp";
  std::fclose(probe);
  std::remove("/dev/shm/.qm-probe");
  return "/dev/shm";
}
struct scratch_file {
  std::string path = scratch_folder() + "/qm-macro-fuzz-" + std::to_string(getpid()) + ".zwm";
  ~scratch_file() { std::remove(path.c_str()); }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static scratch_file scratch;
  FILE* f = std::fopen(scratch.path.c_str(), "wb");
  if (!f) return 0;
  const bool written = std::fwrite(data, 1, size, f) == size;
  if (std::fclose(f) != 0 || !written) return 0;
  const long blocks = alloc_count();
  {
    zun_macro_data macro;
    if (!macro.init()) return 0;
    if (macro.load_macro(scratch.path.c_str())) {
      const int32_t n = macro.count();
      if (n <= 0 || size < 16 || uint64_t(n) > (size - 16) / kMacroRecordSize) __builtin_trap();
      if (std::memcmp(data + 12, &n, 4) != 0) __builtin_trap();  // little-endian host
      if (macro.position != 0 || std::strcmp(macro.path, scratch.path.c_str()) != 0)
        __builtin_trap();
      for (int32_t i = 0; i < n; ++i) {
        uint8_t out[kMacroRecordSize];
        macro_record_encode(*macro.record_at(i), out);
        if (std::memcmp(out, data + 16 + kMacroRecordSize * size_t(i), kMacroRecordSize) != 0)
          __builtin_trap();
      }
      macro.seek(n + 5);
      if (macro.position != n - 1) __builtin_trap();
      // Recording on top of what was read: truncation keeps the list sound.
      macro_owner owner{1, kMacroRecording};
      macro.owner = &owner;
      macro.seek(n / 2);
      macro.truncate_at_position();
      macro_event e;
      e.phase = kMacroDown;
      if (!macro.record_pen_event(e) || macro.count() != n / 2 + 1) __builtin_trap();
    } else if (macro.count() != 0 || macro.path[0] != '\0') {
      __builtin_trap();
    }
  }
  if (alloc_count() != blocks) __builtin_trap();
  return 0;
}
