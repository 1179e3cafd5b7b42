// Entry of zwsmain: command line, single instance, objects, window, loop.
#include <cstdio>
#include <cstring>

#include "app/app_win.h"
#include "app/cmdline.h"
#include "base/os.h"
#include "dll/avi/zz_avi.h"

namespace {

// The clip library is bound at load time, as installations expect; the desktop
// itself plays no clips yet, so only this reference makes the import.
int (*volatile g_clip_library)() = &Avi_Init;

HWND find_main_window() { return FindWindowA(kMainClass, nullptr); }

void program_path(char* out, char* dir) {
  GetModuleFileNameA(nullptr, out, kPathSize - 1);
  std::snprintf(dir, kPathSize, "%s", out);
  char* slash = std::strrchr(dir, '\\');
  if (slash) slash[1] = 0;
}

// Handles the command line; returns -1 to go on starting, else the exit code.
int run_command_line(const char* line, char* document) {
  char path[kPathSize];
  app_command cmd = parse_command_line(line, path, sizeof path);
  switch (cmd) {
    case app_command::install: {
      char exe[kPathSize], dir[kPathSize], icon[kPathSize + 16];
      program_path(exe, dir);
      std::snprintf(icon, sizeof icon, "%sfile.ico", dir);
      register_document_type(icon, exe);
      return 0;
    }
    case app_command::uninstall:
      unregister_document_type();
      if (HWND w = find_main_window()) SendMessageA(w, WM_CLOSE, 1, 0);
      return 0;
    case app_command::check:
      return find_main_window() ? 1 : 0;
    case app_command::close:
      if (HWND w = find_main_window()) SendMessageA(w, WM_CLOSE, 1, 0);
      return 0;
    case app_command::document:
      if (!path[0] || !os_file_exists(path)) return -1;
      if (HWND w = find_main_window()) {
        char text[kPathSize + 8];
        std::snprintf(text, sizeof text, "%s=%s", ".zws", path);
        COPYDATASTRUCT cd = {};
        cd.dwData = 0;
        cd.lpData = text;
        cd.cbData = static_cast<DWORD>(std::strlen(text) + 1);
        SendMessageA(w, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd));
        return 0;
      }
      std::snprintf(document, kPathSize, "%s", path);
      return -1;
    case app_command::normal:
      return -1;
  }
  return -1;
}

int message_loop() {
  MSG msg;
  for (;;) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else {
      WaitMessage();
    }
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR line, int) {
  char document[kPathSize] = {};
  int code = run_command_line(line, document);
  if (code >= 0) return code;

  HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
  if (!mutex) return 0;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return 0;
  }
  register_main_class(instance);
  if (!load_configuration(instance, document)) {
    CloseHandle(mutex);
    return 0;
  }
  if (!create_app_objects()) {
    release_configuration();
    CloseHandle(mutex);
    return 0;
  }
  HWND w = create_main_window(instance);
  if (!w) {
    release_app_objects();
    release_configuration();
    CloseHandle(mutex);
    return 0;
  }
  ShowWindow(w, SW_SHOW);
  UpdateWindow(w);
  message_loop();
  release_app_objects();
  release_configuration();
  CloseHandle(mutex);
  return 0;
}
