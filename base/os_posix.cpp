#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

#include "base/os.h"

std::size_t os_usable_size(void* block) { return block ? malloc_usable_size(block) : 0; }

uint32_t os_milliseconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(ts.tv_sec * 1000u + ts.tv_nsec / 1000000);
}

std::string os_native_path(const char* path) {
  std::string p = path ? path : "";
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

int os_file_exists(const char* path) {
  if (!path || !*path) return 0;
  return access(os_native_path(path).c_str(), F_OK) == 0;
}

int os_is_folder(const char* path) {
  struct stat st {};
  if (!path || stat(os_native_path(path).c_str(), &st) != 0) return 0;
  return S_ISDIR(st.st_mode);
}

int os_clear_attributes(const char* path) {
  struct stat st {};
  std::string p = os_native_path(path);
  if (stat(p.c_str(), &st) != 0) return 0;
  return chmod(p.c_str(), st.st_mode | S_IWUSR) == 0;
}

int os_remove_file(const char* path) { return path && unlink(os_native_path(path).c_str()) == 0; }

int os_replace_file(const char* source, const char* target) {
  return std::rename(os_native_path(source).c_str(), os_native_path(target).c_str()) == 0;
}

int os_safe_file::commit() {
  if (!handle_) return 0;
  FILE* f = static_cast<FILE*>(handle_);
  handle_ = nullptr;
  bool ok = !failed_ && std::fflush(f) == 0 && fsync(fileno(f)) == 0;
  ok = (std::fclose(f) == 0) && ok;
  if (ok) ok = os_replace_file(temp_.c_str(), target_.c_str());
  if (ok) temp_.clear();  // nothing left to discard
  return ok;
}

std::string os_utf8_to_ansi(const std::string& utf8) { return utf8; }

std::string os_ansi_to_utf8(const std::string& ansi) { return ansi; }

int os_is_lead_byte(unsigned char) { return 0; }
