// The WinTab driver is optional: it is loaded at run time, by full path from the
// system folder only (a bare name would also search the document's folder).
#define ZZ_DEVICE_BUILD
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dll/device/wintab_module.h"
#include "dll/device/zz_device.h"

wintab_module g_wt;

namespace {

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
  g_wt = wintab_module{};
  return ok;
}

void drop_context(zz_tablet_context* record) {
  std::free(record->packets);
  if (record->context && g_wt.close) g_wt.close(record->context);
  std::memset(record, 0, sizeof *record);
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
  UINT need = g_wt.info(wt::kDevices, wt::kDvcName, nullptr);
  if (need == 0) return 0;
  char buf[4096] = {};
  if (need > sizeof buf) return 0;
  g_wt.info(wt::kDevices, wt::kDvcName, buf);
  buf[sizeof buf - 1] = 0;
  std::snprintf(name, 512, "%s", buf);
  return name[0] != 0;
}

int __cdecl WacomTabletAttach(zz_tablet_context* record, HWND window, int origin_x, int origin_y) {
  if (!record || !g_wt.module) return 0;
  drop_context(record);
  UINT devices = 0;
  if (!g_wt.info(wt::kInterface, wt::kIfcDevices, &devices) || devices == 0) return 0;
  record->origin_x = origin_x;
  record->origin_y = origin_y;

  wt::log_context lc = {};
  if (!g_wt.info(wt::kDefSysContext, 0, &lc)) return drop_context(record), 0;
  lc.pkt_data = lc.move_mask = wt::kPacketFields;
  lc.pkt_mode = 0;
  lc.btn_up_mask = lc.btn_dn_mask;
  lc.out_org_x = lc.out_org_y = 0;
  // Screen pixels with y growing downwards.
  lc.out_ext_x = GetSystemMetrics(SM_CXSCREEN);
  lc.out_ext_y = -GetSystemMetrics(SM_CYSCREEN);
  HANDLE context = g_wt.open(window, &lc, TRUE);
  if (!context) return drop_context(record), 0;

  int queue = 1024;
  while (queue > 0 && !g_wt.queue_size_set(context, queue)) queue /= 2;

  auto* packets =
      static_cast<zz_tablet_packet*>(std::calloc(kTabletMaxPackets, sizeof(zz_tablet_packet)));
  if (!packets) {
    g_wt.close(context);
    std::memset(record, 0, sizeof *record);
    return 0;
  }
  record->context = context;
  record->packets = packets;
  record->packet_count = 0;
  record->pressure = 1.0f;
  // Nothing read yet: the first packet reads its cursor's data whatever its number.
  record->cursor_read = 0xffffffffu;
  record->pressure_button = 0xffffffffu;
  return 1;
}

void __cdecl WacomTabletUnAttach(zz_tablet_context* record) {
  if (record) drop_context(record);
}

void __cdecl WacomTabletFocus(zz_tablet_context* record, int flag) {
  if (record && record->context && g_wt.module) g_wt.overlap(record->context, flag);
}
