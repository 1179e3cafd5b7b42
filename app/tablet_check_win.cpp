// Telling the user that a tablet-only action needs a tablet.
#include "app/app_win.h"  // windows.h first
#include "app/tablet_win.h"

int tablet_check(HWND window) {
  if (tablet_attached()) return 1;
  char text[512] = {}, title[128] = {};
  config_text("msg", "nowacom", text, sizeof text);
  config_text("app", "appname", title, sizeof title);
  g_app.modal = 1;
  MessageBoxA(window, text[0] ? text : "?", title, MB_OK | MB_ICONINFORMATION);
  g_app.modal = 0;
  return 0;
}
