#pragma once
// Pointer input on the canvas goes to the pen panel of slot 0 until the skinned
// board chooses among the pens: a mouse stands in for the tablet.
#include <windows.h>

#include "base/dib.h"

class zun_file;

int pen_input_start(HWND window, zun_file* document);
void pen_input_stop();
// 1 when the event was a pen event (so the window repaints at once).
int pen_input_mouse(UINT message, int x, int y);
int pen_input_busy();  // a stroke is in progress
void pen_input_layers_replaced();  // after undo and redo
// The key "L" switches the canvas input between the slot-0 pen and the lasso;
// the lasso's selection takes Enter, Esc, Delete and Ctrl. 1 when handled.
int pen_input_key(UINT message, WPARAM key);
// Draws the lasso outline or the floating selection over the desktop bitmap;
// 1 when there is something to draw.
int pen_input_overlay(dib_block* desktop);
int pen_input_lasso();  // 1 while the lasso has the canvas
