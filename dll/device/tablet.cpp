// The WinTab driver is optional: it is loaded at run time, by full path from the
// system folder only (a bare name would also search the document's folder).
#define ZZ_DEVICE_BUILD
#include "dll/device/zz_device.h"

#include <cstdio>
#include <cstring>

namespace {

using WTInfoA_t = UINT(WINAPI*)(UINT, UINT, LPVOID);
using WTGetA_t = BOOL(WINAPI*)(HANDLE, LPVOID);
using WTOpenA_t = HANDLE(WINAPI*)(HWND, LPVOID, BOOL);
using WTQueueSizeSet_t = BOOL(WINAPI*)(HANDLE, int);
using WTClose_t = BOOL(WINAPI*)(HANDLE);
using WTPacketsGet_t = int(WINAPI*)(HANDLE, int, LPVOID);
using WTOverlap_t = BOOL(WINAPI*)(HANDLE, BOOL);

struct wintab {
  HMODULE module = nullptr;
  WTInfoA_t info = nullptr;
  WTGetA_t get = nullptr;
  WTOpenA_t open = nullptr;
  WTQueueSizeSet_t queue_size_set = nullptr;
  WTClose_t close = nullptr;
  WTPacketsGet_t packets_get = nullptr;
  WTOverlap_t overlap = nullptr;
} g_wt;

constexpr UINT kWtiDevices = 100;
constexpr UINT kDvcName = 1;

HMODULE load_system_library(const char* name) {
  char path[MAX_PATH];
  UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n == 0 || n + std::strlen(name) + 2 > MAX_PATH) return nullptr;
  std::snprintf(path + n, MAX_PATH - n, "\\%s", name);
  return LoadLibraryA(path);
}

template <typename F>
bool bind(F& fn, const char* name) {
  fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(g_wt.module, name)));
  return fn != nullptr;
}

int release() {
  int ok = 1;
  if (g_wt.module) ok = FreeLibrary(g_wt.module) ? 1 : 0;
  g_wt = wintab{};
  return ok;
}

}  // namespace

int __cdecl WacomTabletInit() {
  if (g_wt.module) return 1;
  g_wt.module = load_system_library("WINTAB32.DLL");
  if (!g_wt.module) return 0;
  bool ok = bind(g_wt.info, "WTInfoA") && bind(g_wt.get, "WTGetA") && bind(g_wt.open, "WTOpenA") &&
            bind(g_wt.queue_size_set, "WTQueueSizeSet") && bind(g_wt.close, "WTClose") &&
            bind(g_wt.packets_get, "WTPacketsGet") && bind(g_wt.overlap, "WTOverlap");
  if (!ok || g_wt.info(0, 0, nullptr) == 0) {
    release();
    return 0;
  }
  return 1;
}

int __cdecl WacomTabletQuit() { return release(); }

int __cdecl WacomTabletInUse() { return g_wt.module != nullptr; }

int __cdecl WacomTabletDeviceName(char* name) {
  if (!name) return 0;
  std::memset(name, 0, 512);
  if (!g_wt.module) return 0;
  // Ask for the size first: a driver may return a longer name than our buffer.
  UINT need = g_wt.info(kWtiDevices, kDvcName, nullptr);
  if (need == 0) return 0;
  char buf[4096] = {};
  if (need > sizeof buf) return 0;
  g_wt.info(kWtiDevices, kDvcName, buf);
  buf[sizeof buf - 1] = 0;
  std::snprintf(name, 512, "%s", buf);
  return name[0] != 0;
}
