#include "app/app_win.h"  // windows.h first

#include <commdlg.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>

app_settings g_settings;

namespace {
constexpr const char* kDocExt = ".zws";
constexpr const char* kDocClass = "Zws.Image";

int find_printer() {
  PRINTDLGA pd = {};
  pd.lStructSize = sizeof pd;
  pd.Flags = PD_RETURNDEFAULT;
  if (!PrintDlgA(&pd)) return 0;
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  return 1;
}
}  // namespace

void load_settings() {
  settings_defaults(g_settings);
  reg_set_root(HKEY_LOCAL_MACHINE);
  char v[1024];
  g_settings.first_run = read_value("Para_FirstRun", v, g_config.product_key) ? settings_first_run(v) : 1;
  g_settings.background =
      read_value("Para_BackGroundSeq", v, g_config.product_key) ? settings_background_index(v) : 0;
  g_settings.printer_available = find_printer();
  g_settings.multitouch_available = 0;  // set by the touch layer when it is present
}

void save_settings() {
  reg_set_root(HKEY_LOCAL_MACHINE);
  char v[32];
  write_value("0", "Para_FirstRun", g_config.product_key);
  std::snprintf(v, sizeof v, "%d", g_settings.background);
  write_value(v, "Para_BackGroundSeq", g_config.product_key);
  g_settings = app_settings{};
}

void unregister_document_type() {
  reg_set_root(HKEY_CLASSES_ROOT);
  RegDeleteKeyA(HKEY_CLASSES_ROOT, kDocExt);
  // The class key has sub-keys, which a plain delete leaves behind: remove the tree.
  SHDeleteKeyA(HKEY_CLASSES_ROOT, kDocClass);
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

int register_document_type(const char* icon_path, const char* program_path) {
  unregister_document_type();
  reg_set_root(HKEY_CLASSES_ROOT);
  if (!create_key(kDocExt)) return 0;
  write_value(kDocClass, "", kDocExt);
  char text[1100];
  std::snprintf(text, sizeof text, "image/%s", kDocExt + 1);
  write_value(text, "Content Type", kDocExt);
  if (!create_key(kDocClass)) return 0;
  char key[1100];
  if (icon_path) {
    std::snprintf(key, sizeof key, "%s\\DefaultIcon", kDocClass);
    if (!create_key(key)) return 0;
    std::snprintf(text, sizeof text, "\"%s\"", icon_path);
    write_default_expand(text, key);
  }
  if (program_path) {
    std::snprintf(key, sizeof key, "%s\\shell\\open\\command", kDocClass);
    if (!create_key(key)) return 0;
    std::snprintf(text, sizeof text, "\"%s\" \"%%1\"", program_path);
    write_value(text, "", key);
  }
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
  return 1;
}
