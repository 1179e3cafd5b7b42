#include "app/settings.h"

#include <cstdlib>
#include <cstring>

int settings_background_index(const char* text) {
  int n = text ? std::atoi(text) : 0;
  if (n < 0) return 0;
  if (n > 9) return 10;
  return n;
}

int settings_first_run(const char* text) { return !text || std::atoi(text) != 0; }

void settings_defaults(app_settings& s) {
  s = app_settings{};
  for (int i = 0; i < 2; ++i) {
    s.colours[i][0] = 0x0000FF;  // 0x00BBGGRR: red
    s.colours[i][1] = 0x00FF00;
    s.colours[i][2] = 0xFF0000;
    s.colour_count[i] = 3;
  }
}

int parse_open_request(const char* data, unsigned long size, char* path, unsigned long path_size) {
  if (!path || !path_size) return 0;
  path[0] = 0;
  if (!data || size < 2) return 0;
  char buf[1024] = {};
  unsigned long n = size - 1;  // the sender counts the terminating zero
  if (n > sizeof buf - 1) n = sizeof buf - 1;
  std::memcpy(buf, data, n);
  buf[n] = 0;  // also stops at an embedded zero below
  const char* ext = std::strstr(buf, ".zws");
  if (!ext || std::strlen(ext) < 5) return 0;
  const char* p = ext + 5;
  std::size_t len = std::strlen(p);
  if (len > path_size - 1) len = path_size - 1;
  std::memcpy(path, p, len);
  path[len] = 0;
  return path[0] != 0;
}
