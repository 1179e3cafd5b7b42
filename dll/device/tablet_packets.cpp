// Reading the tablet's packet queue: pressure from the normal-pressure axis of
// the packet's cursor, and the pressed packets of a move.
#define ZZ_DEVICE_BUILD
#include <cctype>
#include <cstring>

#include "dll/device/wintab_module.h"
#include "dll/device/zz_device.h"

namespace {

int usable(const zz_tablet_context* record) { return record && record->context && g_wt.module; }

void refresh_cursor(zz_tablet_context* record, uint32_t cursor) {
  record->cursor_read = cursor;
  const UINT category = wt::kCursors + cursor;
  BYTE button = 0;
  if (g_wt.info(category, wt::kCsrPressureButton, &button)) {
    BYTE map[32] = {};
    if (button < sizeof map && g_wt.info(category, wt::kCsrButtonMap, map)) button = map[button];
    record->pressure_button = button;
  } else {
    record->pressure_button = 0xffffffffu;
  }
  record->axis_min = record->axis_range = 0;
  wt::log_context lc = {};
  if (g_wt.get(record->context, &lc)) {
    wt::axis a = {};
    if (g_wt.info(wt::kDevices + lc.device, wt::kDvcNormalPressure, &a) && a.max > a.min) {
      record->axis_min = static_cast<uint32_t>(a.min);
      record->axis_range = static_cast<uint32_t>(a.max - a.min);
    }
  }
  UINT marks[2] = {};
  if (g_wt.info(category, wt::kCsrPressureMarks, marks)) {
    record->release_mark = marks[0];
    record->mark_range = marks[1] - marks[0];
  } else {
    record->release_mark = record->mark_range = 0;
  }
}

float packet_pressure(const zz_tablet_context* record, const wt::packet& p) {
  if (record->axis_range == 0) return 1.0f;
  const uint32_t b = record->pressure_button;
  const bool pressed = b < 32 && (p.buttons & (1u << b));
  const int64_t base = pressed ? record->release_mark : record->axis_min;
  float v = static_cast<float>(static_cast<int64_t>(p.normal_pressure) - base) /
            static_cast<float>(record->axis_range);
  if (!(v >= 0.001f)) v = 0.001f;  // also catches NaN
  if (v > 1.0f) v = 1.0f;
  return v;
}

// One packet off the queue; 0 when it is empty.
int next_packet(zz_tablet_context* record, wt::packet* p) {
  if (g_wt.packets_get(record->context, 1, p) != 1) return 0;
  if (p->cursor != record->cursor_read) refresh_cursor(record, p->cursor);
  record->cursor = p->cursor;
  return 1;
}

}  // namespace

int __cdecl WacomTableInfoWhenPress(zz_tablet_context* record) {
  if (!usable(record)) return 0;
  record->pressure = 1.0f;
  int read = 0;
  wt::packet p;
  for (int i = 0; i < kMaxPacketReads && next_packet(record, &p); ++i) {
    record->pressure = packet_pressure(record, p);
    read = 1;
  }
  return read;
}

int __cdecl WacomTableInfoWhenMove(zz_tablet_context* record) {
  if (!usable(record) || !record->packets) return 0;
  record->packet_count = 0;
  wt::packet p;
  for (int i = 0; i < kMaxPacketReads && next_packet(record, &p); ++i) {
    const float pressure = packet_pressure(record, p);
    record->pressure = pressure;
    if (p.buttons == 0 || record->packet_count >= kTabletMaxPackets) continue;
    zz_tablet_packet& e = record->packets[record->packet_count++];
    e.x = p.x - record->origin_x;
    e.y = p.y - record->origin_y;
    e.pressure = pressure;
  }
  return record->packet_count > 0;
}

int __cdecl WacomTableIsRubber(zz_tablet_context* record) {
  if (!usable(record)) return 0;
  const UINT category = wt::kCursors + record->cursor;
  UINT need = g_wt.info(category, wt::kCsrName, nullptr);
  char name[4096] = {};
  if (need == 0 || need > sizeof name) return 0;
  g_wt.info(category, wt::kCsrName, name);
  name[sizeof name - 1] = 0;
  for (char* c = name; *c; ++c)
    *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  return std::strstr(name, "eraser") != nullptr;
}

void __cdecl WacomTableRemoveEvent(HANDLE* context) {
  if (!context || !*context || !g_wt.module) return;
  wt::packet p;
  for (int i = 0; i < kMaxPacketReads && g_wt.packets_get(*context, 1, &p) == 1; ++i) {
  }
}

void __cdecl WacomTabletInfoChanged(zz_tablet_context* record) {
  if (usable(record)) refresh_cursor(record, record->cursor);
}
