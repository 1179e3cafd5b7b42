// The configuration block: where the program is installed, its registry key,
// its language texts, fonts and the tablet.
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <new>

#include "app/app_win.h"
#include "base/os.h"
#include "base/xml.h"
#include "dll/device/zz_device.h"

app_config g_config;

namespace {

constexpr const char* kRegistryBase = "SOFTWARE\\Morvex Software\\";
constexpr const char* kWebHost = "quillmere.app";

struct font_row {
  const char* source;  // key of section "app"
  int height, weight;
  const char* names[2];
};
const font_row kFonts[kFontCount] = {
    {"fontnormal", -12, 400, {"normal", nullptr}}, {"fontnormal", -11, 400, {"list", nullptr}},
    {"fontnormal", -15, 700, {nullptr, nullptr}},  {"fontnormal", -12, 400, {nullptr, nullptr}},
    {"fontnormal", -12, 400, {"info", nullptr}},   {"fontnormal", -12, 400, {"menu", nullptr}},
    {"fontnormal", -15, 700, {"button", "title"}}, {"fontnormal", -16, 700, {nullptr, nullptr}},
    {"fontnormal", -24, 700, {nullptr, nullptr}},  {"fontnumber", -15, 700, {"number", nullptr}},
    {"fontnumber", -12, 400, {"number0", nullptr}},
};

struct face_search {
  const char* face;
  LOGFONTA found;
  int hit;
};

int CALLBACK on_family(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM param) {
  auto* s = reinterpret_cast<face_search*>(param);
  std::size_t n = std::strlen(s->face);
  if (std::strlen(lf->lfFaceName) == n && _strnicmp(lf->lfFaceName, s->face, n) == 0) {
    s->found = *lf;
    s->hit = 1;
    return 0;
  }
  return 1;
}

// The first face of a comma-separated list that the screen has; a zeroed
// LOGFONTA (the system's choice) when none is installed.
LOGFONTA pick_face(const char* list, char* face_out, std::size_t face_size) {
  LOGFONTA none = {};
  if (face_out) face_out[0] = 0;
  if (!list || !*list) return none;
  HDC dc = GetDC(nullptr);
  char item[128];
  const char* p = list;
  while (*p) {
    const char* comma = std::strchr(p, ',');
    std::size_t n = comma ? static_cast<std::size_t>(comma - p) : std::strlen(p);
    if (n > sizeof item - 1) n = sizeof item - 1;
    std::memcpy(item, p, n);
    item[n] = 0;
    face_search s = {item, {}, 0};
    if (item[0]) EnumFontFamiliesA(dc, item, on_family, reinterpret_cast<LPARAM>(&s));
    if (s.hit) {
      ReleaseDC(nullptr, dc);
      if (face_out) std::snprintf(face_out, face_size, "%s", s.found.lfFaceName);
      return s.found;
    }
    if (!comma) break;
    p = comma + 1;
  }
  ReleaseDC(nullptr, dc);
  return none;
}

void make_fonts() {
  char list[129] = {};
  LOGFONTA base[2];
  config_text("app", "fontnormal", list, 128);
  base[0] = pick_face(list, g_config.normal_face, sizeof g_config.normal_face);
  config_text("app", "fontnumber", list, 128);
  base[1] = pick_face(list, nullptr, 0);
  for (int i = 0; i < kFontCount; ++i) {
    LOGFONTA lf = base[std::strcmp(kFonts[i].source, "fontnumber") == 0 ? 1 : 0];
    lf.lfHeight = kFonts[i].height;
    lf.lfWidth = 0;
    lf.lfWeight = kFonts[i].weight;
    g_config.fonts[i] = CreateFontIndirectA(&lf);
  }
  config_text("app", "fontdict", list, 128);
  pick_face(list, g_config.dict_face, sizeof g_config.dict_face);
  if (!g_config.dict_face[0]) std::memcpy(g_config.dict_face, g_config.normal_face, 128);
  char single[513] = {};
  g_config.single_char = config_text("app", "fontsinglechar", single, 512) ? std::atoi(single) != 0 : 1;
}

void read_registry() {
  reg_set_root(HKEY_LOCAL_MACHINE);
  char v[1024];
  g_config.version = read_value("MXVersion", v, g_config.product_key) ? std::atoi(v) : 0;
  version_text(g_config.version, g_config.version_text, sizeof g_config.version_text);
  if (read_value("MXUpdate", v, g_config.product_key))
    std::snprintf(g_config.update_text, sizeof g_config.update_text, "%s", v);
  std::snprintf(g_config.web_host, sizeof g_config.web_host, "%s", kWebHost);
}

void settle_roots() {
  char exe[1024] = {};
  GetModuleFileNameA(g_config.instance, exe, 1023);
  char* slash = std::strrchr(exe, '\\');
  if (slash) slash[1] = 0;
  std::snprintf(g_config.module_dir, kPathSize, "%s", exe);
  char v[1024];
  reg_set_root(HKEY_LOCAL_MACHINE);
  if (read_value("MXInstallPath", v, g_config.product_key) && v[0])
    std::snprintf(g_config.paths.install_dir, kPathSize, "%s", v);
  else
    std::snprintf(g_config.paths.install_dir, kPathSize, "%s", g_config.module_dir);
  ensure_backslash(g_config.paths.install_dir, kPathSize);
  if (read_value("MXCDPath", v, g_config.product_key) && v[0])
    std::snprintf(g_config.paths.content_dir, kPathSize, "%s", v);
  else
    std::snprintf(g_config.paths.content_dir, kPathSize, "%s", g_config.paths.install_dir);
  ensure_backslash(g_config.paths.content_dir, kPathSize);
}

// Empties the temporary folder of plain files left by earlier runs.
void clear_temp_folder() {
  char dir[kPathSize], pattern[kPathSize + 4], file[2 * kPathSize];
  if (!config_build_path("HT", nullptr, dir)) return;
  std::snprintf(pattern, sizeof pattern, "%s*", dir);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern, &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::snprintf(file, sizeof file, "%s%s", dir, fd.cFileName);
    SetFileAttributesA(file, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(file);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

}  // namespace

void config_settle_product_key() {
  char exe[1024] = {}, ini[1100], sub[1024] = {};
  GetModuleFileNameA(nullptr, exe, 1023);
  char* slash = std::strrchr(exe, '\\');
  if (slash) slash[1] = 0;
  std::snprintf(ini, sizeof ini, "%smx_conf.ini", exe);
  GetPrivateProfileStringA("CONFIG", "INI", "", sub, 1023, ini);
  std::snprintf(g_config.product_key, sizeof g_config.product_key, "%s%s", kRegistryBase, sub);
  if (sub[0]) {
    reg_set_root(HKEY_LOCAL_MACHINE);
    if (!key_exists(g_config.product_key)) create_key(g_config.product_key);
  }
}

int config_text(const char* section, const char* key, char* out, int size) {
  if (out && size > 0) out[0] = 0;
  if (!g_config.language) return 0;
  return g_config.language->get_text(section, key, out, size);
}

int config_build_path(const char* code, const char* language, char* out) {
  return build_path(g_config.paths, code, language, out);
}

int config_resource_path(const char* name, const char* language, char* out) {
  return resource_path(g_config.paths, name, language, out);
}

int config_resolve(const char* name, std::string* out) {
  char path[kPathSize];
  if (!config_resource_path(name, nullptr, path)) return 0;
  *out = path;
  return 1;
}

HFONT font_by_name(const char* name) {
  if (!name) return nullptr;
  std::size_t n = std::strlen(name);
  for (int i = 0; i < kFontCount; ++i)
    for (const char* f : kFonts[i].names)
      if (f && std::strlen(f) == n && _strnicmp(f, name, n) == 0) return g_config.fonts[i];
  return nullptr;
}

int load_configuration(HINSTANCE instance, const char* startup_document) {
  config_settle_product_key();
  char product_key[sizeof g_config.product_key];
  std::memcpy(product_key, g_config.product_key, sizeof product_key);
  g_config = app_config{};
  std::memcpy(g_config.product_key, product_key, sizeof product_key);
  g_config.instance = instance;
  std::memcpy(g_config.paths.language, "chs", 4);
  read_registry();
  settle_roots();

  char path[kPathSize];
  std::snprintf(path, sizeof path, "%scd.lst", g_config.paths.install_dir);
  if (_access(path, 0) != 0) return 0;
  config_resource_path(".config.xml", g_config.paths.language, path);
  if (_access(path, 0) != 0) {
    std::memcpy(g_config.paths.language, "chs", 4);
    config_resource_path(".config.xml", g_config.paths.language, path);
    if (_access(path, 0) != 0) return 0;
  }
  g_config.language = new (std::nothrow) app_xmlobj;
  if (g_config.language && !g_config.language->load(path, 1)) {
    delete g_config.language;  // unreadable: run with empty texts
    g_config.language = nullptr;
  }
  if (startup_document)
    std::snprintf(g_config.startup_document, kPathSize, "%s", startup_document);
  make_fonts();

  g_config.tablet_started = 1;
  if (WacomTabletInit()) {
    WacomTabletDeviceName(g_config.tablet_name);
    g_config.tablet_present = 1;
  }
  clear_temp_folder();
  return 1;
}

void release_configuration() {
  if (!g_config.cursor_visible) {
    ShowCursor(TRUE);
    g_config.cursor_visible = 1;
  }
  if (g_config.tablet_started) WacomTabletQuit();
  g_config.tablet_started = g_config.tablet_present = 0;
  for (HFONT& f : g_config.fonts) {
    if (f) DeleteObject(f);
    f = nullptr;
  }
  delete g_config.language;
  g_config = app_config{};
}
