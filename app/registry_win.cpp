// Registry helpers: every caller sets the root before each call.
#include <cstring>

#include "app/app_win.h"

namespace {
HKEY g_root = HKEY_LOCAL_MACHINE;
}

void reg_set_root(HKEY root) { g_root = root; }

int key_exists(const char* sub_key) {
  HKEY k;
  if (RegOpenKeyExA(g_root, sub_key, 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return 0;
  RegCloseKey(k);
  return 1;
}

int create_key(const char* sub_key) {
  HKEY k;
  DWORD disposition = 0;
  if (RegCreateKeyExA(g_root, sub_key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, &disposition) !=
      ERROR_SUCCESS)
    return 0;
  RegCloseKey(k);
  return 1;
}

int read_value(const char* name, char* out, const char* sub_key) {
  HKEY k;
  if (RegOpenKeyExA(g_root, sub_key, 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return 0;
  char buf[1024] = {};
  DWORD size = 1023, type = 0;
  LONG r = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(k);
  if (r != ERROR_SUCCESS) return 0;
  buf[1023] = 0;  // a value stored without its terminator
  std::memcpy(out, buf, std::strlen(buf) + 1);
  return 1;
}

static int write_typed(const char* text, const char* name, const char* sub_key, DWORD type) {
  HKEY k;
  if (RegOpenKeyExA(g_root, sub_key, 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return 0;
  LONG r = RegSetValueExA(k, name, 0, type, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1));
  RegCloseKey(k);
  return r == ERROR_SUCCESS;
}

int write_value(const char* text, const char* name, const char* sub_key) {
  return write_typed(text, name && *name ? name : nullptr, sub_key, REG_SZ);
}

int write_default_expand(const char* text, const char* sub_key) {
  return write_typed(text, nullptr, sub_key, REG_EXPAND_SZ);
}
