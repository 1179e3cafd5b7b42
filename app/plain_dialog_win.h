#pragma once
// Plain (unskinned) modal windows that stand in for the skinned dialogs until
// the skin exists: a centred popup over the main window, its controls, a
// fitted picture, and the modal loop.
#include <windows.h>

#include "base/dib.h"

// One plain modal window: its controls report here, and it paints itself.
class plain_dialog {
 public:
  virtual ~plain_dialog() = default;
  // A control's notification (WM_COMMAND: control id, notification code).
  virtual void command(int id, int code) = 0;
  // Enter (also IDOK) and Esc (also IDCANCEL and the close box); Esc ends it.
  virtual void key(WPARAM key) {
    if (key == VK_ESCAPE) done = 1;
  }
  virtual void paint(HDC) {}

  HWND window = nullptr;
  int done = 0;
};

// A popup of the given client size centred over owner, for d (d.window is set).
HWND plain_dialog_create(HWND owner, const char* class_name, const char* title, int width,
                         int height, plain_dialog& d);
// A child control in the program's normal font.
HWND plain_control(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w,
                   int h, int id);
// The picture drawn into box, aspect kept, centred.
void plain_draw_fitted(HDC dc, const RECT& box, const dib_block* picture);

// Runs d modally over owner (disabled meanwhile) until d.done is set. Enter
// and Esc from any control go to d.key unless an open drop-down list takes
// them; Tab moves between controls. Destroys the window, then repaints the
// owner at once (Wine otherwise leaves the part the window covered as it was).
void plain_dialog_run(plain_dialog& d, HWND owner, HWND focus);
