#pragma once
// Plain (unskinned) modal windows that stand in for the skinned dialogs until
// the skin exists: a centred popup over the main window, its controls, a
// fitted picture, and the modal loop.
#include <windows.h>

#include "base/dib.h"

// A popup of the given client size centred over owner; param reaches the
// window procedure as CREATESTRUCT's lpCreateParams. The class is registered
// on first use.
HWND plain_dialog_create(HWND owner, const char* class_name, WNDPROC proc, const char* title,
                         int width, int height, void* param);
// A child control in the program's normal font.
HWND plain_control(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w,
                   int h, int id);
// The picture drawn into box, aspect kept, centred.
void plain_draw_fitted(HDC dc, const RECT& box, const dib_block* picture);

// Runs window modally over owner (disabled meanwhile) until *done is set.
// Enter and Esc from any control go to on_key(context, key) unless an open
// drop-down list takes them; Tab moves between controls. Destroys the window.
void plain_dialog_run(HWND window, HWND owner, HWND focus, const int* done,
                      void (*on_key)(void* context, WPARAM key), void* context);
// After the chooser closed: the main window repainted at once (Wine otherwise
// leaves the part the chooser covered as it was).
void plain_dialog_repaint(HWND owner);
