// The main window and its procedure: every message goes to the desktop first,
// then the state-change queue is flushed.
#include "app/app_win.h"  // windows.h first

#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "app/commands_win.h"
#include "app/copybook_win.h"
#include "app/desktop_win.h"
#include "app/macro_input_win.h"
#include "app/tablet_win.h"
#include "base/os.h"
#include "dll/device/zz_device.h"

namespace {

int g_first_paint_pending = 0;
constexpr UINT_PTR kTimerPanels = 1, kTimerSlides = 2, kTimerSecond = 3, kTimerMacro = 4;

void release_cursor_clip() { ClipCursor(nullptr); }

void desktop_start(HWND w) {
  g_app.main_window = w;
  g_app.screen = 1;
  SetTimer(w, kTimerSlides, 50, nullptr);
  SetTimer(w, kTimerSecond, 1000, nullptr);
  SetTimer(w, kTimerMacro, 10, nullptr);
  if (g_desktop) {
    g_desktop->start(w, g_document);
    g_settings.background = g_desktop->set_background(g_settings.background);
  }
  g_first_paint_pending = 1;
}

void desktop_second_phase(HWND w) {
  refresh_title(w);
  if (g_config.startup_document[0]) {
    char path[kPathSize];
    std::memcpy(path, g_config.startup_document, kPathSize);
    g_config.startup_document[0] = 0;
    cmd_open_path(w, path);
    InvalidateRect(w, nullptr, FALSE);
  }
}

// The document shortcuts until the menu exists.
int document_shortcut(HWND w, WPARAM key) {
  if (GetKeyState(VK_CONTROL) >= 0 || g_app.modal || g_app.tool_operation) return 0;
  switch (key) {
    case 'N': return (GetKeyState(VK_SHIFT) < 0 ? cmd_new_from_template(w) : cmd_new(w)), 1;
    case 'O': return cmd_open(w), 1;
    case 'S': return (GetKeyState(VK_SHIFT) < 0 ? cmd_save_copy(w) : cmd_save(w)), 1;
    case 'T': return cmd_copybook(w), 1;
    default: return 0;
  }
}

// 1 when the window may close. wParam 1 closes without a question.
int close_query(HWND w, WPARAM wp) {
  if (wp == 0) {
    char text[512] = {}, title[128] = {};
    config_text("msg", "exit", text, sizeof text);
    config_text("app", "appname", title, sizeof title);
    g_app.modal = 1;
    int answer = MessageBoxA(w, text[0] ? text : "?", title, MB_YESNO | MB_ICONQUESTION);
    g_app.modal = 0;
    if (answer != IDYES) return 0;
    // Then save or discard; a cancelled or failed save keeps the window open.
    if (!cmd_prompt_save_on_exit(w)) return 0;
  }
  KillTimer(w, kTimerSlides);
  KillTimer(w, kTimerSecond);
  KillTimer(w, kTimerMacro);
  g_app.main_window = nullptr;
  return 1;
}

void after_input(HWND w, int changed) {
  flush_state_queue();
  if (changed) UpdateWindow(w);
}

LRESULT CALLBACK main_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      SetTimer(w, kTimerPanels, 50, nullptr);
      tablet_start();
      desktop_start(w);
      DragAcceptFiles(w, TRUE);
      return 0;
    case WM_DESTROY:
      DragAcceptFiles(w, FALSE);
      tablet_stop();
      PostQuitMessage(0);
      return 0;
    case WM_ACTIVATE:
      g_config.window_active = LOWORD(wp) != WA_INACTIVE;
      if (!g_config.cursor_visible) {
        ShowCursor(TRUE);
        g_config.cursor_visible = 1;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      if (g_desktop) g_desktop->paint(dc, ps.rcPaint);
      EndPaint(w, &ps);
      if (g_first_paint_pending) {
        g_first_paint_pending = 0;
        PostMessageA(w, kMsgDesktopStart, 0, 0);
      }
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the desktop paints every pixel
    case WM_CLOSE:
      if (close_query(w, wp)) {
        KillTimer(w, kTimerPanels);
        DestroyWindow(w);
      }
      return 0;
    case WM_ACTIVATEAPP:
      g_config.app_active = wp != 0;
      if (g_app.screen == 1) release_cursor_clip();
      sndPlaySoundA(nullptr, 0);
      if (wp) tablet_attach(w);
      if (!wp && !g_config.cursor_visible) {
        ShowCursor(TRUE);
        g_config.cursor_visible = 1;
      }
      break;
    case WM_COPYDATA: {
      auto* cd = reinterpret_cast<COPYDATASTRUCT*>(lp);
      char path[kPathSize];
      if (cd && parse_open_request(static_cast<const char*>(cd->lpData), cd->cbData, path, sizeof path))
        open_dropped_file(path);
      break;
    }
    case WM_DISPLAYCHANGE: {
      RECT r;
      GetClientRect(w, &r);
      if (r.right <= r.left || r.bottom <= r.top) ShowWindow(w, SW_SHOWMAXIMIZED);
      PostMessageA(w, kMsgRelayout, 0, 0);
      break;
    }
    case WM_KEYDOWN:
      if (document_shortcut(w, wp)) {
        after_input(w, 1);
        return 0;
      }
      after_input(w, g_desktop ? g_desktop->on_key(msg, wp) : 0);
      return 0;
    case WM_KEYUP:
    case WM_CHAR:
      after_input(w, g_desktop ? g_desktop->on_key(msg, wp) : 0);
      return 0;
    case WM_SYSKEYDOWN:
      if (GetKeyState(VK_MENU) < 0) after_input(w, g_desktop ? g_desktop->on_key(WM_KEYDOWN, wp) : 0);
      break;
    case WM_SYSKEYUP:
      if (wp == VK_MENU || GetKeyState(VK_MENU) < 0)
        after_input(w, g_desktop ? g_desktop->on_key(WM_KEYUP, wp) : 0);
      break;
    case WM_TIMER:
      if (g_config.app_active) {
        if (g_config.window_active) macro_input_timer(wp);
        flush_state_queue();
      }
      return 0;
    case WM_CTLCOLOREDIT:
      SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
      SetTextColor(reinterpret_cast<HDC>(wp), RGB(48, 48, 48));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_LBUTTONUP:
      release_cursor_clip();
      [[fallthrough]];
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      g_app.mouse_x = static_cast<short>(LOWORD(lp));
      g_app.mouse_y = static_cast<short>(HIWORD(lp));
      after_input(w, g_desktop ? g_desktop->on_mouse(msg, g_app.mouse_x, g_app.mouse_y, wp) : 0);
      return 0;
    case WM_MOUSEWHEEL:
      after_input(w, g_desktop ? g_desktop->on_wheel(static_cast<short>(HIWORD(wp))) : 0);
      return 0;
    case WM_DROPFILES: {
      char path[kPathSize] = {};
      HDROP drop = reinterpret_cast<HDROP>(wp);
      DragQueryFileA(drop, 0, path, sizeof path);
      DragFinish(drop);
      open_dropped_file(path);
      break;
    }
    case kMsgDesktopStart:
      desktop_second_phase(w);
      flush_state_queue();
      return 0;
    case kMsgRelayout: {
      RECT r;
      GetClientRect(w, &r);
      if (r.right > r.left && r.bottom > r.top) {
        if (g_desktop) g_desktop->layout();
        tablet_attach(w);
        state_post(app_changes(), kStateRelayout, 0);
        flush_state_queue();
        InvalidateRect(w, nullptr, FALSE);
        UpdateWindow(w);
      }
      return 0;
    }
    case kMsgTabletInfoChange:
      tablet_info_changed();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int register_main_class(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = main_proc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, "ICON");
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = kMainClass;
  return RegisterClassA(&wc) != 0;
}

HWND create_main_window(HINSTANCE instance) {
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  int width = sw, height = sh;
  if (!g_config.full_screen) {
    width = g_config.preferred_width < sw ? g_config.preferred_width : sw;
    height = g_config.preferred_height < sh ? g_config.preferred_height : sh;
  }
  int x = (sw - width) / 2, y = (sh - height) / 2;
  int bx = GetSystemMetrics(SM_CXBORDER), by = GetSystemMetrics(SM_CYBORDER);
  char title[128] = {};
  config_text("app", "appname", title, sizeof title);
  if (x < bx || y < by)
    return CreateWindowExA(0, kMainClass, title, 0x92000000, x, y, width, height, nullptr, nullptr,
                           instance, nullptr);
  return CreateWindowExA(0, kMainClass, title, 0x92800000, x - bx, y - by, width + 2 * bx,
                         height + 2 * by, nullptr, nullptr, instance, nullptr);
}

void set_window_title(HWND window) {
  char title[128] = {};
  config_text("app", "appname", title, sizeof title);
  if (window) SetWindowTextA(window, title);
}

void flush_state_queue() {
  uint32_t index;
  if (state_pending(app_changes(), kStateModified, nullptr) ||
      state_pending(app_changes(), kStateView4096, nullptr))
    refresh_title(g_app.main_window);
  if (state_pending(app_changes(), kStateBackground, &index) && g_desktop) {
    g_settings.background = g_desktop->set_background(static_cast<int>(index));
    if (g_app.main_window) InvalidateRect(g_app.main_window, nullptr, FALSE);
  }
  state_clear(app_changes());
}

void open_dropped_file(const char* path) {
  if (!path || !path[0] || !os_file_exists(path)) return;
  if (!g_app.main_window) {
    std::snprintf(g_config.startup_document, kPathSize, "%s", path);
    return;
  }
  if (!g_app.initialised || g_app.tool_operation || g_app.modal) return;
  cmd_open_path(g_app.main_window, path);
  InvalidateRect(g_app.main_window, nullptr, FALSE);
  flush_state_queue();
}
