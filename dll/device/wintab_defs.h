#pragma once
// The WinTab records and constants this library uses, laid out as 32-bit
// drivers expect them (no SDK header is available to the build).
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace wt {

// Information categories and indices.
constexpr UINT kInterface = 1, kIfcDevices = 4;
constexpr UINT kDefSysContext = 4;
constexpr UINT kDevices = 100, kDvcName = 1, kDvcNormalPressure = 15;
constexpr UINT kCursors = 200, kCsrName = 1, kCsrButtonMap = 7, kCsrPressureButton = 9,
               kCsrPressureMarks = 10;

// Packet fields, in the order they appear in a packet.
constexpr uint32_t kPkCursor = 0x20, kPkButtons = 0x40, kPkX = 0x80, kPkY = 0x100,
                   kPkNormalPressure = 0x400;
constexpr uint32_t kPacketFields = kPkCursor | kPkButtons | kPkX | kPkY | kPkNormalPressure;

struct packet {
  uint32_t cursor;
  uint32_t buttons;
  int32_t x, y;
  uint32_t normal_pressure;
};
static_assert(sizeof(packet) == 20);

struct axis {
  int32_t min, max;
  uint32_t units;
  uint32_t resolution;
};
static_assert(sizeof(axis) == 16);

struct log_context {
  char name[40];
  uint32_t options, status, locks, msg_base, device, pkt_rate;
  uint32_t pkt_data, pkt_mode, move_mask;
  uint32_t btn_dn_mask, btn_up_mask;
  int32_t in_org_x, in_org_y, in_org_z, in_ext_x, in_ext_y, in_ext_z;
  int32_t out_org_x, out_org_y, out_org_z, out_ext_x, out_ext_y, out_ext_z;
  uint32_t sens_x, sens_y, sens_z;
  int32_t sys_mode;
  int32_t sys_org_x, sys_org_y, sys_ext_x, sys_ext_y;
  uint32_t sys_sens_x, sys_sens_y;
};
static_assert(sizeof(log_context) == 172);
static_assert(offsetof(log_context, device) == 56);
static_assert(offsetof(log_context, pkt_data) == 64);
static_assert(offsetof(log_context, out_ext_x) == 120);

using info_fn = UINT(WINAPI*)(UINT, UINT, LPVOID);
using get_fn = BOOL(WINAPI*)(HANDLE, LPVOID);
using open_fn = HANDLE(WINAPI*)(HWND, LPVOID, BOOL);
using queue_size_set_fn = BOOL(WINAPI*)(HANDLE, int);
using close_fn = BOOL(WINAPI*)(HANDLE);
using packets_get_fn = int(WINAPI*)(HANDLE, int, LPVOID);
using overlap_fn = BOOL(WINAPI*)(HANDLE, BOOL);

}  // namespace wt
