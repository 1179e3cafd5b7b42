#include <cstring>
#include <string>

#include "macro/macro_data.h"

namespace {
bool ends_with_zwm(const std::string& s) {
  if (s.size() < 4) return false;
  const char* e = s.c_str() + s.size() - 4;
  static const char kExt[] = ".zwm";
  for (int i = 0; i < 4; ++i) {
    char c = e[i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != kExt[i]) return false;
  }
  return true;
}
}  // namespace

int macro_path_ok(const char* p) { return p && ends_with_zwm(p); }

std::string zun_macro_data::default_path(const char* untitled) const {
  if (path[0]) return path;
  return std::string(untitled && *untitled ? untitled : "untitled") + ".zwm";
}

// Any other ending is replaced by ".zwm". A path that does not fit is refused
// rather than cut short: a shortened path would name some other file.
int zun_macro_data::set_path(const char* p) {
  if (!p || !*p) {
    path[0] = '\0';
    return 1;
  }
  std::string s = p;
  if (!ends_with_zwm(s)) {
    const std::size_t slash = s.find_last_of("\\/");
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = s.rfind('.');
    if (dot != std::string::npos && dot >= name) s.resize(dot);
    s += ".zwm";
  }
  if (s.size() >= kMacroPathMax) return 0;
  std::memcpy(path, s.c_str(), s.size() + 1);
  return 1;
}
