#pragma once
// The desktop: the background picture filling the main window and the canvas
// view of the document over it, composed in one 24-bit desktop bitmap and
// copied to the screen by update rectangle.
#include <windows.h>

#include "base/dib.h"

class zun_file;

class zun_desktop {
 public:
  virtual ~zun_desktop();
  int start(HWND window, zun_file* document);  // WM_CREATE
  void stop();
  void layout();  // the client size changed
  void paint(HDC dc, const RECT& update);
  // Chooses built-in background 0..9 or the user's own (10); a missing
  // built-in one falls back to 0. Returns the index in use.
  int set_background(int index);
  // The view moved (pan, zoom, angle) or the document was replaced: everything
  // is composed again.
  void view_changed();

  // Input of the painting mode: 1 when something changed on screen.
  int on_key(UINT message, WPARAM key);
  int on_wheel(int delta);
  int on_mouse(UINT message, int x, int y, WPARAM buttons);

  char caption[129] = {};
  int canvas_x = 0, canvas_y = 0, canvas_w = 0, canvas_h = 0;

 private:
  void compose();
  HWND window_ = nullptr;
  zun_file* document_ = nullptr;
  dib_block* bits_ = nullptr;        // the desktop bitmap, client size
  dib_block* background_ = nullptr;  // scaled to the client size, or none
  int width_ = 0, height_ = 0;
  int index_ = 0;
  int panning_ = 0, pan_x_ = 0, pan_y_ = 0;
};

extern zun_desktop* g_desktop;
extern zun_file* g_document;
