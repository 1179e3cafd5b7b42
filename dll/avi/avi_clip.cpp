// Driver and clip lifetime: Avi_Init, Avi_Quit, Avi_Open, Avi_Play, Avi_Stop.
#include "dll/avi/zz_avi.h"

#include "dll/avi/avi_state.h"

AviState g_avi;

MCIERROR avi_send(UINT message, DWORD flags, void* params) {
  return mciSendCommandA(g_avi.device, message, flags, reinterpret_cast<DWORD_PTR>(params));
}

// Closes the open clip, if any, and falls back to "driver open".
MCIERROR avi_close_clip() {
  MCIERROR err = 0;
  if (g_avi.state > kAviDriver) {
    MCI_GENERIC_PARMS close = {};
    err = avi_send(MCI_CLOSE, MCI_WAIT, &close);
    g_avi.device = 0;
    g_avi.playback = nullptr;
    g_avi.length = 0;
    g_avi.state = kAviDriver;
  }
  return err;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}

// Opening the device type alone loads the driver, so the first clip opens fast.
int Avi_Init() {
  if (g_avi.state != kAviNone) return 1;
  MCI_OPEN_PARMSA open = {};
  open.lpstrDeviceType = "avivideo";
  if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE, reinterpret_cast<DWORD_PTR>(&open)) != 0)
    return 0;
  g_avi.state = kAviDriver;
  return 1;
}

int Avi_Quit() {
  if (g_avi.state == kAviNone) return 0;
  MCIERROR err = avi_close_clip();
  MCI_GENERIC_PARMS close = {};
  err = mciSendCommandA(mciGetDeviceIDA("avivideo"), MCI_CLOSE, MCI_WAIT,
                        reinterpret_cast<DWORD_PTR>(&close));
  g_avi = AviState{};
  return static_cast<int>(err);
}

int Avi_Open(const char* path, HWND parent, int x, int y, int width, int height, int audio) {
  if (g_avi.state == kAviNone || !path) {
    if (parent) InvalidateRect(parent, nullptr, TRUE);
    return 0;
  }
  // A second open would leave the first clip's device and window behind for good.
  avi_close_clip();

  MCI_DGV_OPEN_PARMSA open = {};
  open.lpstrElementName = const_cast<char*>(path);
  open.dwStyle = WS_CHILD;
  open.hWndParent = parent;
  if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_DGV_OPEN_WS | MCI_DGV_OPEN_PARENT,
                      reinterpret_cast<DWORD_PTR>(&open)) != 0) {
    if (parent) InvalidateRect(parent, nullptr, TRUE);
    return 0;
  }
  g_avi.device = open.wDeviceID;
  g_avi.parent = parent;
  g_avi.state = kAviClip;  // from here on the clip must be closed by Avi_Stop or Avi_Quit

  MCI_DGV_STATUS_PARMSA status = {};
  status.dwItem = MCI_DGV_STATUS_HWND;
  if (avi_send(MCI_STATUS, MCI_STATUS_ITEM, &status) == 0)
    g_avi.playback = reinterpret_cast<HWND>(status.dwReturn);

  if (width == 0) {
    MCI_DGV_RECT_PARMS where = {};
    if (avi_send(MCI_WHERE, MCI_DGV_WHERE_SOURCE, &where) == 0) {
      // MCI rectangles carry the width and height in right and bottom.
      width = where.rc.right;
      height = where.rc.bottom;
    }
  }
  if (g_avi.playback) MoveWindow(g_avi.playback, x, y, width, height, FALSE);
  // Some drivers keep drawing at the clip's own size in a resized window; say the
  // frame fills it. MCI rectangles again carry width and height in right and bottom.
  if (width > 0 && height > 0) {
    MCI_DGV_PUT_PARMS put = {};
    put.rc = RECT{0, 0, width, height};
    avi_send(MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT | MCI_WAIT, &put);
  }

  MCI_DGV_WINDOW_PARMSA window = {};
  window.nCmdShow = SW_SHOW;
  avi_send(MCI_WINDOW, MCI_DGV_WINDOW_STATE, &window);

  MCI_SET_PARMS format = {};
  format.dwTimeFormat = MCI_FORMAT_FRAMES;
  avi_send(MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &format);

  Avi_Audio(audio);
  Avi_Length();
  if (parent) InvalidateRect(parent, nullptr, TRUE);
  return 1;
}

int Avi_Play(const char* path, HWND parent, int x, int y, int width, int height, int audio,
             int end_frame) {
  if (!Avi_Open(path, parent, x, y, width, height, audio)) return 0;
  MCI_PLAY_PARMS play = {};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(g_avi.parent);
  play.dwFrom = 0;
  DWORD flags = MCI_NOTIFY | MCI_FROM;
  if (end_frame != -1) {
    play.dwTo = static_cast<DWORD>(end_frame);
    flags |= MCI_TO;
  }
  if (avi_send(MCI_PLAY, flags, &play) != 0) {
    // The caller skips a clip that does not play; it must not stay open behind its back.
    avi_close_clip();
    return 0;
  }
  g_avi.state = kAviPlaying;
  return 1;
}

int Avi_Stop() {
  avi_close_clip();
  return 1;
}
