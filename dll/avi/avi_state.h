#pragma once
// The library's one clip: what the exports share.
#include <windows.h>
#include <mmsystem.h>
#include <digitalv.h>

enum AviStateValue { kAviNone = 0, kAviDriver = 1, kAviClip = 2, kAviPlaying = 3, kAviPaused = 4 };

struct AviState {
  int state = kAviNone;
  MCIDEVICEID device = 0;  // the open clip, 0 when none
  HWND parent = nullptr;   // receives MM_MCINOTIFY
  HWND playback = nullptr; // the driver's child window
  DWORD length = 0;        // frames
};

extern AviState g_avi;

MCIERROR avi_send(UINT message, DWORD flags, void* params);
MCIERROR avi_close_clip();
