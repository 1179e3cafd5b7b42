#pragma once
// The desktop: the background picture filling the main window, composed
// off-screen and copied to the screen in one BitBlt.
#include <windows.h>

class zun_desktop {
 public:
  virtual ~zun_desktop();
  int start(HWND window);  // WM_CREATE
  void stop();
  void layout();           // the client size changed
  void paint(HDC dc, const RECT& update);
  // Chooses built-in background 0..9 or the user's own (10); a missing
  // built-in one falls back to 0. Returns the index in use.
  int set_background(int index);

  char caption[129] = {};
  int canvas_x = 0, canvas_y = 0, canvas_w = 0, canvas_h = 0;

 private:
  void compose();
  HWND window_ = nullptr;
  HBITMAP offscreen_ = nullptr;
  HBITMAP background_ = nullptr;  // scaled to the client size, or none
  int width_ = 0, height_ = 0;
  int index_ = 0;
};

extern zun_desktop* g_desktop;
