#include "app/plain_dialog_win.h"

#include <cstring>

#include "app/app_win.h"
#include "base/dib_gdi.h"

namespace {
LRESULT CALLBACK plain_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* d = static_cast<plain_dialog*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(d));
    return DefWindowProcA(w, msg, wp, lp);
  }
  auto* d = reinterpret_cast<plain_dialog*>(GetWindowLongPtrA(w, GWLP_USERDATA));
  if (!d) return DefWindowProcA(w, msg, wp, lp);
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK)
        d->key(VK_RETURN);
      else if (LOWORD(wp) == IDCANCEL)
        d->key(VK_ESCAPE);
      else
        d->command(LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      d->paint(dc);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_CLOSE:
      d->key(VK_ESCAPE);
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}
}  // namespace

HWND plain_dialog_create(HWND owner, const char* class_name, const char* title, int width,
                         int height, plain_dialog& d) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA known;
  if (!GetClassInfoA(instance, class_name, &known)) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = plain_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = class_name;
    if (!RegisterClassA(&wc)) return nullptr;
  }
  RECT frame = {0, 0, width, height};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  AdjustWindowRect(&frame, style, FALSE);
  RECT owner_rect;
  GetWindowRect(owner, &owner_rect);
  const int fw = frame.right - frame.left, fh = frame.bottom - frame.top;
  d.window = CreateWindowExA(WS_EX_DLGMODALFRAME, class_name, title, style,
                             owner_rect.left + (owner_rect.right - owner_rect.left - fw) / 2,
                             owner_rect.top + (owner_rect.bottom - owner_rect.top - fh) / 2, fw, fh,
                             owner, nullptr, instance, &d);
  return d.window;
}

HWND plain_control(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w,
                   int h, int id) {
  static HFONT font = nullptr;
  if (!font) font = font_by_name("normal");
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const bool framed = std::strcmp(cls, "EDIT") == 0 || std::strcmp(cls, "LISTBOX") == 0;
  HWND c = CreateWindowExA(framed ? WS_EX_CLIENTEDGE : 0, cls, text,
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  if (c) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

void plain_draw_fitted(HDC dc, const RECT& box, const dib_block* picture) {
  if (!picture) return;
  const int tw = dib_width(picture), th = dib_height(picture);
  const int bw = box.right - box.left, bh = box.bottom - box.top;
  if (tw <= 0 || th <= 0 || bw <= 0 || bh <= 0) return;
  int dw = bw, dh = th * bw / tw;
  if (dh > bh) dh = bh, dw = tw * bh / th;
  const dib_rect dst{box.left + (bw - dw) / 2, box.top + (bh - dh) / 2,
                     box.left + (bw - dw) / 2 + dw, box.top + (bh - dh) / 2 + dh};
  SetStretchBltMode(dc, HALFTONE);
  dib_draw(dc, dst, picture, dib_rect{0, 0, tw, th});
}

namespace {
struct drop_search {
  bool dropped = false;
};
BOOL CALLBACK find_dropped(HWND child, LPARAM lp) {
  char cls[16] = {};
  GetClassNameA(child, cls, sizeof cls);
  if (_stricmp(cls, "ComboBox") == 0 && SendMessageA(child, CB_GETDROPPEDSTATE, 0, 0))
    reinterpret_cast<drop_search*>(lp)->dropped = true;
  return TRUE;
}
}  // namespace

void plain_dialog_run(plain_dialog& d, HWND owner, HWND focus) {
  HWND window = d.window;
  g_app.modal = 1;
  EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  SetFocus(focus ? focus : window);
  MSG m = {};
  while (!d.done && GetMessageA(&m, nullptr, 0, 0) > 0) {
    if (m.message == WM_KEYDOWN && (m.wParam == VK_RETURN || m.wParam == VK_ESCAPE)) {
      drop_search open;  // an open drop-down list takes its own Enter and Esc
      EnumChildWindows(window, find_dropped, reinterpret_cast<LPARAM>(&open));
      if (!open.dropped) {
        d.key(m.wParam);
        continue;
      }
    }
    if (!IsDialogMessageA(window, &m)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
  if (m.message == WM_QUIT) PostQuitMessage(static_cast<int>(m.wParam));
  EnableWindow(owner, TRUE);
  DestroyWindow(window);
  g_app.modal = 0;
  SetForegroundWindow(owner);
  RedrawWindow(owner, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}
