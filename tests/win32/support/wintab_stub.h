#pragma once
// The stand-in tablet driver: a test scripts its devices, cursors and packet
// queue through the shared block and reads back what the library asked.
#include <windows.h>

#include <cstdint>

#include "dll/device/wintab_defs.h"

inline constexpr int kStubQueue = 2048;
inline HANDLE const kStubContext = reinterpret_cast<HANDLE>(0x5151);

struct WintabStubLog {
  // The script.
  int interface_answers_zero;  // WTInfoA(0, 0, null) says "no tablet"
  uint32_t devices;
  int open_fails;
  int queue_limit;  // the largest queue size accepted
  uint32_t device;  // of the opened context
  int32_t axis_min, axis_max;
  uint8_t pressure_button;
  uint8_t button_map[32];
  uint32_t marks[2];  // release, press
  char cursor_names[4][64];
  wt::packet queue[kStubQueue];
  int queued, read;
  // What the library did.
  int opens, closes, gets, name_reads, axis_reads;
  HWND open_window;
  BOOL open_enabled;
  wt::log_context opened;
  int queue_sizes[16];
  int queue_size_calls;
  int overlaps, overlap_flag;
};

using WintabStubStateFn = WintabStubLog*(__cdecl*)();

// Queues one packet.
inline void stub_queue(WintabStubLog* log, uint32_t cursor, uint32_t buttons, int32_t x, int32_t y,
                       uint32_t pressure) {
  if (log->queued < kStubQueue)
    log->queue[log->queued++] = wt::packet{cursor, buttons, x, y, pressure};
}
