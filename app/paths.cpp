#include "app/paths.h"

#include <cstdio>
#include <cstring>

#include "base/os.h"

namespace {

void append(char* out, const char* text) {
  std::size_t n = std::strlen(out);
  if (n + 1 >= kPathSize) return;
  std::snprintf(out + n, kPathSize - n, "%s", text);
}

const char* folder_of(char letter) {
  switch (letter | 0x20) {  // either case
    case 'a': return "MACRO\\";
    case 'b': return "BIN\\";
    case 'f': return "FILE\\";
    case 'g': return "GLIB\\";
    case 'm': return "MEDIA\\";
    case 'r': return "RES\\";
    case 't': return "TEMP\\";
    case 'w': return "WORK\\";
    default: return "";
  }
}

bool is_folder_name(const char* name) {
  const char* last = name;
  for (const char* p = name; *p; ++p)
    if (*p == '\\' || *p == '/') last = p + 1;
  return std::strchr(last, '.') == nullptr;
}

}  // namespace

int build_path(const app_paths& paths, const char* code, const char* language, char* out) {
  out[0] = 0;
  if (!code || std::strlen(code) < 2) return 0;
  char root = code[0] | 0x20;
  if (root == 'h') append(out, paths.install_dir);
  else if (root == 'c') append(out, paths.content_dir);
  if (language && *language) {
    append(out, "LAN\\");
    append(out, language);
    append(out, "\\");
  }
  append(out, folder_of(code[1]));
  append(out, code + 2);
  return out[0] != 0;
}

int resource_path(const app_paths& paths, const char* name, const char* language, char* out) {
  out[0] = 0;
  if (!name) return 0;
  bool folder = is_folder_name(name);
  char code[kPathSize];
  for (char root : {'H', 'C'}) {
    // A folder is composed through a placeholder file that is cut off again,
    // so the result is the folder without its trailing backslash.
    std::snprintf(code, sizeof code, folder ? "%c%s\\1.bmp" : "%c%s", root, name);
    build_path(paths, code, language, out);
    if (folder) {
      std::size_t n = std::strlen(out);
      if (n >= 6) out[n - 6] = 0;
    }
    if (root == 'H' && out[0] && os_file_exists(out)) return 1;
  }
  return out[0] != 0;
}

void version_text(int n, char* out, std::size_t size) {
  if (!out || !size) return;
  out[0] = 0;
  if (n < 0) return;
  if (n < 100) std::snprintf(out, size, "%d.%d", n / 10, n % 10);
  else if (n < 1000) std::snprintf(out, size, "%d.%d.%d", n / 100, n % 100 / 10, n % 10);
}

void ensure_backslash(char* path, std::size_t size) {
  std::size_t n = std::strlen(path);
  if (n && path[n - 1] != '\\' && n + 1 < size) {
    path[n] = '\\';
    path[n + 1] = 0;
  }
}
