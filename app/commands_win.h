#pragma once
// The document commands of the main window until the menu exists: new, open,
// save, the question before a document is replaced, and the window title.
#include <windows.h>

// A new document of a chosen size, paper, texture and colour, or from a
// ready-made one; each asks to save the old document once the choice is made.
int cmd_new(HWND window);
int cmd_new_from_template(HWND window);
int cmd_open(HWND window);
int cmd_save(HWND window);
int cmd_save_copy(HWND window);
// Opens a file given on the command line, dropped or forwarded; asks to save first.
int cmd_open_path(HWND window, const char* path);
// A copybook picture as a new document of its size (mode 1 faded for tracing); asks to save first.
int cmd_open_model(HWND window, const char* picture, int mode);
// The close question's second half: 1 when the window may close (saved, or the
// user chose not to save).
int cmd_prompt_save_on_exit(HWND window);
void refresh_title(HWND window);
// A message of section "msg" in a plain message box.
void show_message(HWND window, const char* key);
