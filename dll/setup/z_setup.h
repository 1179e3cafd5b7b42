#pragma once
// z_setup.dll: what the installer calls. Both exports are stdcall with
// undecorated names ("xml_insert", "win_move").
#include <windows.h>

#ifdef Z_SETUP_BUILD
#define Z_SETUP_API extern "C" __declspec(dllexport)
#else
#define Z_SETUP_API extern "C" __declspec(dllimport)
#endif

// Merges every key of source into target and rewrites target; encoding names the
// declaration line ("" for none). Nothing is written when either file is unreadable.
Z_SETUP_API void WINAPI xml_insert(char* target, char* source, const char* encoding);
// Moves a window's top-left corner to (30, 180); 0 when it is not a window.
Z_SETUP_API BOOL WINAPI win_move(HWND window);

typedef void(WINAPI* z_setup_xml_insert_fn)(char*, char*, const char*);
typedef BOOL(WINAPI* z_setup_win_move_fn)(HWND);
