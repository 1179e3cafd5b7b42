#pragma once
// The loaded WinTab driver: library-wide, one per process.
#include "dll/device/wintab_defs.h"

struct wintab_module {
  HMODULE module = nullptr;
  wt::info_fn info = nullptr;
  wt::get_fn get = nullptr;
  wt::open_fn open = nullptr;
  wt::queue_size_set_fn queue_size_set = nullptr;
  wt::close_fn close = nullptr;
  wt::packets_get_fn packets_get = nullptr;
  wt::overlap_fn overlap = nullptr;
};

extern wintab_module g_wt;

// A driver may answer "one more packet" forever: reads stop after this many.
inline constexpr int kMaxPacketReads = 4096;
