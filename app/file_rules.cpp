#include "app/file_rules.h"

#include <cstring>
#include <strings.h>

void filter_extension(const char* label, char* out, std::size_t size) {
  if (!out || !size) return;
  out[0] = 0;
  const char* dot = label ? std::strchr(label, '.') : nullptr;
  if (!dot) return;
  const char* end = std::strchr(dot, ')');
  std::size_t n = end ? static_cast<std::size_t>(end - dot) : std::strlen(dot);
  if (n > size - 1) n = size - 1;
  std::memcpy(out, dot, n);
  out[n] = 0;
}

void apply_filter_extension(char* path, std::size_t size, const char* label) {
  char ext[64];
  filter_extension(label, ext, sizeof ext);
  std::size_t n = std::strlen(path), e = std::strlen(ext);
  if (!e || std::strchr(ext, '*')) return;  // "*.*" adds nothing
  if (n >= e && strcasecmp(path + n - e, ext) == 0) return;
  if (n && path[n - 1] == '.') path[--n] = 0;
  if (n + e + 1 > size) return;  // no room: leave the name as chosen
  std::memcpy(path + n, ext, e + 1);
}
