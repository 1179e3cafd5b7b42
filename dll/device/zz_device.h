#pragma once
// zz_device.dll: tablet (WinTab) and scanner (TWAIN) access for the main
// program. Both drivers are loaded at run time; every record is the caller's.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#ifdef ZZ_DEVICE_BUILD
#define ZZ_DEVICE_API extern "C" __declspec(dllexport)
#else
#define ZZ_DEVICE_API extern "C" __declspec(dllimport)
#endif

inline constexpr int kTabletMaxPackets = 32;

// One stored tablet packet: client-relative position and pressure 0.001..1.
struct zz_tablet_packet {
  int32_t x, y;
  float pressure;
};
static_assert(sizeof(zz_tablet_packet) == 12);

// The tablet context record, zeroed by the caller before first use.
struct zz_tablet_context {
  HANDLE context;              // open WinTab context, 0 when none
  int32_t origin_x, origin_y;  // client origin of the attached window, screen pixels
  float pressure;              // of the last packet (1.0 when none)
  uint32_t cursor;             // of the last packet
  uint32_t cursor_read;        // the cursor whose data below were read
  uint32_t pressure_button;    // logical button carrying normal pressure (-1 until read)
  uint32_t release_mark;
  uint32_t mark_range;  // press mark minus release mark
  uint32_t axis_min;    // normal-pressure axis
  uint32_t axis_range;
  uint32_t packet_count;      // 0..32
  zz_tablet_packet* packets;  // 32 entries, the library's
};
static_assert(sizeof(zz_tablet_context) == 52);
static_assert(offsetof(zz_tablet_context, pressure) == 12);
static_assert(offsetof(zz_tablet_context, pressure_button) == 24);
static_assert(offsetof(zz_tablet_context, axis_range) == 40);
static_assert(offsetof(zz_tablet_context, packets) == 48);

#pragma pack(push, 2)
// The scanner interface's identity block, laid out as its drivers expect.
struct zz_tw_version {
  uint16_t major, minor, language, country;
  char info[34];
};
struct zz_tw_identity {
  uint32_t id;
  zz_tw_version version;
  uint16_t protocol_major, protocol_minor;
  uint32_t supported_groups;
  char manufacturer[34];
  char product_family[34];
  char product_name[34];
};
#pragma pack(pop)
static_assert(sizeof(zz_tw_identity) == 156);
static_assert(offsetof(zz_tw_identity, protocol_major) == 46);
static_assert(offsetof(zz_tw_identity, supported_groups) == 50);
static_assert(offsetof(zz_tw_identity, product_name) == 122);

using zz_dsm_entry = uint16_t(WINAPI*)(zz_tw_identity* origin, zz_tw_identity* dest, uint32_t group,
                                       uint16_t data, uint16_t message, void* payload);

// The scanner state record, the caller's.
struct zz_scanner_state {
  zz_dsm_entry entry;
  HMODULE module;
  HWND parent;
  zz_tw_identity app;
  zz_tw_identity source;
  int32_t manager_open;
  int32_t source_open;
  int32_t source_enabled;  // the source's interface is up (disabled at the end)
  HANDLE image;            // the last transferred native image (the caller's)
};
static_assert(sizeof(zz_scanner_state) == 340);
static_assert(offsetof(zz_scanner_state, app) == 12);
static_assert(offsetof(zz_scanner_state, source) == 168);
static_assert(offsetof(zz_scanner_state, manager_open) == 324);
static_assert(offsetof(zz_scanner_state, source_open) == 328);
static_assert(offsetof(zz_scanner_state, image) == 336);

ZZ_DEVICE_API int __cdecl WacomTabletInit();
ZZ_DEVICE_API int __cdecl WacomTabletQuit();
ZZ_DEVICE_API int __cdecl WacomTabletInUse();
ZZ_DEVICE_API int __cdecl WacomTabletDeviceName(char* name /* 512 bytes */);
ZZ_DEVICE_API int __cdecl WacomTabletAttach(zz_tablet_context* record, HWND window, int origin_x,
                                            int origin_y);
ZZ_DEVICE_API void __cdecl WacomTabletUnAttach(zz_tablet_context* record);
ZZ_DEVICE_API int __cdecl WacomTableInfoWhenPress(zz_tablet_context* record);
ZZ_DEVICE_API int __cdecl WacomTableInfoWhenMove(zz_tablet_context* record);
ZZ_DEVICE_API int __cdecl WacomTableIsRubber(zz_tablet_context* record);
ZZ_DEVICE_API void __cdecl WacomTableRemoveEvent(HANDLE* context);
ZZ_DEVICE_API void __cdecl WacomTabletFocus(zz_tablet_context* record, int flag);
ZZ_DEVICE_API void __cdecl WacomTabletInfoChanged(zz_tablet_context* record);

ZZ_DEVICE_API int __cdecl TWScannerIsSupport();
ZZ_DEVICE_API int __cdecl TWScannerStart(zz_scanner_state* state, HWND parent, int show_interface);
ZZ_DEVICE_API int __cdecl TWScannerProcess(zz_scanner_state* state, MSG* message);
ZZ_DEVICE_API void __cdecl TWScannerEnd(zz_scanner_state* state);
