#pragma once
// The stand-in scanner source manager: one scripted source.
#include <windows.h>

#include <cstdint>

#include "dll/device/twain_defs.h"
#include "dll/device/zz_device.h"

struct TwainStubLog {
  // The script.
  int select_fails, open_fails, enable_fails;
  uint16_t event_message;  // what the next processed event says
  int info_failures;       // image-info requests that fail first (-1: all)
  uint16_t xfer_answer;    // native transfer's answer (success: transfer done)
  int end_xfer_fails;
  uint32_t image;  // the handle a transfer gives
  // What the library did.
  int open_dsm, close_dsm, selects, open_ds, close_ds, enables, disables;
  int cap_sets, events, infos, xfers, end_xfers, resets;
  int wrong_source;  // source calls that did not name the opened source
  HWND parent;
  uint16_t show_ui, modal_ui, disable_show_ui;
  uint16_t caps[4];
  uint32_t cap_values[4];
  uint16_t cap_types[4];
  zz_tw_identity app;
  void* event_msg;
};

using TwainStubStateFn = TwainStubLog*(__cdecl*)();
