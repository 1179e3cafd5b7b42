// The stand-in tablet driver: answers from the script, plays the queue.
#include "tests/win32/support/wintab_stub.h"

#include <cstring>

namespace {

WintabStubLog g_log;

UINT answer(LPVOID out, const void* value, UINT size) {
  if (out) std::memcpy(out, value, size);
  return size;
}

}  // namespace

extern "C" __declspec(dllexport) WintabStubLog* __cdecl WintabStubState() { return &g_log; }

extern "C" UINT WINAPI WTInfoA(UINT category, UINT index, LPVOID out) {
  if (category == 0) return g_log.interface_answers_zero ? 0 : 172;
  if (category == wt::kInterface && index == wt::kIfcDevices)
    return answer(out, &g_log.devices, sizeof g_log.devices);
  if (category == wt::kDefSysContext && index == 0) {
    wt::log_context lc = {};
    std::strcpy(lc.name, "stub system context");
    lc.btn_dn_mask = 0x3;
    lc.btn_up_mask = 0;
    lc.in_ext_x = lc.in_ext_y = 10000;
    lc.out_ext_x = lc.out_ext_y = 10000;
    return answer(out, &lc, sizeof lc);
  }
  if (category == wt::kDevices && index == wt::kDvcName) {
    static const char name[] = "Stub Tablet";
    return answer(out, name, sizeof name);
  }
  if (category == wt::kDevices + g_log.device && index == wt::kDvcNormalPressure) {
    ++g_log.axis_reads;
    wt::axis a = {g_log.axis_min, g_log.axis_max, 0, 0};
    return answer(out, &a, sizeof a);
  }
  if (category >= wt::kCursors && category < wt::kCursors + 4) {
    const UINT cursor = category - wt::kCursors;
    switch (index) {
      case wt::kCsrName:
        ++g_log.name_reads;
        return answer(out, g_log.cursor_names[cursor], std::strlen(g_log.cursor_names[cursor]) + 1);
      case wt::kCsrButtonMap:
        return answer(out, g_log.button_map, sizeof g_log.button_map);
      case wt::kCsrPressureButton:
        return answer(out, &g_log.pressure_button, 1);
      case wt::kCsrPressureMarks:
        return answer(out, g_log.marks, sizeof g_log.marks);
      default:
        return 0;
    }
  }
  return 0;
}

extern "C" HANDLE WINAPI WTOpenA(HWND window, LPVOID context, BOOL enable) {
  ++g_log.opens;
  g_log.open_window = window;
  g_log.open_enabled = enable;
  std::memcpy(&g_log.opened, context, sizeof g_log.opened);
  g_log.opened.device = g_log.device;
  return g_log.open_fails ? nullptr : kStubContext;
}

extern "C" BOOL WINAPI WTGetA(HANDLE context, LPVOID out) {
  if (context != kStubContext) return FALSE;
  ++g_log.gets;
  std::memcpy(out, &g_log.opened, sizeof g_log.opened);
  return TRUE;
}

extern "C" BOOL WINAPI WTQueueSizeSet(HANDLE context, int size) {
  if (g_log.queue_size_calls < 16) g_log.queue_sizes[g_log.queue_size_calls] = size;
  ++g_log.queue_size_calls;
  return context == kStubContext && size <= g_log.queue_limit;
}

extern "C" BOOL WINAPI WTClose(HANDLE context) {
  ++g_log.closes;
  return context == kStubContext;
}

extern "C" int WINAPI WTPacketsGet(HANDLE context, int count, LPVOID out) {
  if (context != kStubContext || count <= 0) return 0;
  int n = 0;
  auto* to = static_cast<wt::packet*>(out);
  while (n < count && g_log.read < g_log.queued) {
    if (to) to[n] = g_log.queue[g_log.read];
    ++g_log.read, ++n;
  }
  return n;
}

extern "C" BOOL WINAPI WTOverlap(HANDLE context, BOOL top) {
  ++g_log.overlaps;
  g_log.overlap_flag = top;
  return context == kStubContext;
}
