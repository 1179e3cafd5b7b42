// The splash: shown while the objects are made, for at least 1500 ms. Its
// thread only waits on an event and touches nothing else.
#include <process.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "app/app_win.h"
#include "app/sync_win.h"

namespace {

constexpr DWORD kMinimumMs = 1500;

class dlg_logo_class {
 public:
  HWND window = nullptr;
};

struct splash {
  dlg_logo_class* logo = nullptr;
  app_event* event = nullptr;
  app_thread* thread = nullptr;
  DWORD shown_at = 0;
  HINSTANCE instance = nullptr;
  int active = 0;
} g_splash;

unsigned __stdcall splash_thread(void* param) {
  auto* ev = static_cast<app_event*>(param);
  while (!ev->lock(100)) {
  }
  return 0;
}

LRESULT CALLBACK logo_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT r;
    GetClientRect(w, &r);
    HBRUSH b = CreateSolidBrush(RGB(250, 247, 238));
    FillRect(dc, &r, b);
    DeleteObject(b);
    RECT band = r;
    band.bottom = band.top + 6;
    HBRUSH red = CreateSolidBrush(RGB(168, 38, 30));
    FillRect(dc, &band, red);
    DeleteObject(red);
    char title[128] = {};
    config_text("app", "appname", title, sizeof title);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(40, 36, 32));
    HFONT old = static_cast<HFONT>(SelectObject(dc, g_config.fonts[8] ? g_config.fonts[8] : GetStockObject(DEFAULT_GUI_FONT)));
    DrawTextA(dc, title, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (g_config.version_text[0]) {
      RECT v = r;
      v.top = v.bottom - 28;
      SelectObject(dc, g_config.fonts[0] ? g_config.fonts[0] : GetStockObject(DEFAULT_GUI_FONT));
      DrawTextA(dc, g_config.version_text, -1, &v, DT_CENTER | DT_SINGLELINE);
    }
    SelectObject(dc, old);
    EndPaint(w, &ps);
    return 0;
  }
  if (msg == WM_INITDIALOG) return TRUE;
  return DefDlgProcA(w, msg, wp, lp);
}

}  // namespace

void splash_show(HINSTANCE instance) {
  g_splash = splash{};
  g_splash.instance = instance;
  WNDCLASSA wc = {};
  wc.style = CS_VREDRAW | CS_HREDRAW;
  wc.lpfnWndProc = logo_proc;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = kLogoClass;
  RegisterClassA(&wc);
  g_splash.logo = new (std::nothrow) dlg_logo_class;
  if (g_splash.logo) {
    g_splash.logo->window = CreateDialogParamA(instance, MAKEINTRESOURCEA(1), nullptr, nullptr, 0);
    if (g_splash.logo->window) {
      ShowWindow(g_splash.logo->window, SW_SHOW);
      UpdateWindow(g_splash.logo->window);
    }
  }
  g_splash.shown_at = GetTickCount();
  g_splash.active = 1;
  g_splash.event = new (std::nothrow) app_event;
  g_splash.thread = new (std::nothrow) app_thread;
  if (g_splash.event && g_splash.event->ok() && g_splash.thread) {
    std::snprintf(g_splash.thread->name, sizeof g_splash.thread->name, "thread_logo");
    uintptr_t h = _beginthreadex(nullptr, 0, splash_thread, g_splash.event, 0, &g_splash.thread->id);
    g_splash.thread->handle = reinterpret_cast<HANDLE>(h);
  }
  if (!g_splash.thread || !g_splash.thread->handle) splash_close();
}

void splash_close() {
  if (!g_splash.active) return;
  g_splash.active = 0;
  DWORD elapsed = GetTickCount() - g_splash.shown_at;
  if (elapsed < kMinimumMs) Sleep(kMinimumMs - elapsed);
  if (g_splash.event) g_splash.event->signal();
  if (g_splash.thread && g_splash.thread->handle) {
    WaitForSingleObject(g_splash.thread->handle, INFINITE);
    CloseHandle(g_splash.thread->handle);
  }
  delete g_splash.thread;
  delete g_splash.event;
  if (g_splash.logo) {
    if (g_splash.logo->window) DestroyWindow(g_splash.logo->window);
    delete g_splash.logo;
  }
  UnregisterClassA(kLogoClass, g_splash.instance);
  g_splash = splash{};
}
