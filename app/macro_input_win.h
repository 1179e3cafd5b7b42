#pragma once
// The macro recorder of the main window until the skinned macro panel exists:
// F6 records, F7 stops, F5 plays, F8 rewinds, Ctrl+F5 loads and Ctrl+F6 saves
// a macro through the common file dialogs.
#include <windows.h>

class zun_file;
class pen_macro_recorder;

int macro_input_start(HWND window, zun_file* document);
void macro_input_stop();
// 1 when the key was a macro command.
int macro_input_key(HWND window, WPARAM key);
// Every timer tick (playback runs on timer 4).
void macro_input_timer(UINT_PTR timer);
// Input while a macro plays stops it; 1 when the event was consumed.
int macro_input_stop_on_input(int left_button);
// What the pen pipeline records through.
pen_macro_recorder* macro_input_recorder();
