#include <cstdio>
#include <cstdlib>

#include "base/os.h"

int os_read_file(const char* path, std::string& out, std::size_t limit) {
  out.clear();
  if (!path || !*path) return 0;
  FILE* f = std::fopen(os_native_path(path).c_str(), "rb");
  if (!f) return 0;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    if (out.size() + n > limit) {
      std::fclose(f);
      out.clear();
      return 0;
    }
    out.append(buf, n);
  }
  int ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) out.clear();
  return ok;
}

os_safe_file::os_safe_file(const char* target) : target_(target ? target : "") {
  if (target_.empty()) return;
  // Same folder as the target, so the final rename never crosses file systems.
  for (int i = 0; i < 100 && !handle_; ++i) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".~qm%04d.tmp", (std::rand() + i) % 10000);
    temp_ = target_ + suffix;
    if (os_file_exists(temp_.c_str())) continue;
    handle_ = std::fopen(os_native_path(temp_.c_str()).c_str(), "wb");
  }
  if (!handle_) temp_.clear();
}

os_safe_file::~os_safe_file() {
  if (handle_) std::fclose(static_cast<FILE*>(handle_));
  if (!temp_.empty()) os_remove_file(temp_.c_str());
}

int os_safe_file::write(const void* data, std::size_t size) {
  if (!handle_ || failed_) return 0;
  if (size && std::fwrite(data, 1, size, static_cast<FILE*>(handle_)) != size) failed_ = true;
  return !failed_;
}
