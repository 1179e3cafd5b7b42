#include "app/pen_input_win.h"

#include <cstdio>
#include <new>
#include <string>

#include "app/app_win.h"
#include "app/macro_input_win.h"
#include "app/tablet_win.h"
#include "paint/pen_panel.h"
#include "paint/pen_resources.h"
#include "paint/rgn_lasso.h"
#include "base/state_queue.h"

namespace {

class window_repaint : public pen_window {
 public:
  HWND window = nullptr;
  void invalidate(const dib_rect& r) override {
    RECT rc = {r.left, r.top, r.right, r.bottom};
    if (window) InvalidateRect(window, &rc, FALSE);
  }
};

// The lasso's view of the window: repaints and interaction mode 1 while a
// selection floats.
class lasso_window : public rgn_window {
 public:
  HWND window = nullptr;
  void invalidate(const dib_rect& r) override {
    RECT rc = {r.left, r.top, r.right, r.bottom};
    if (window) InvalidateRect(window, &rc, FALSE);
  }
  void selection_mode(int active) override {
    int mode = active ? 1 : 0;
    if (g_app.interaction_mode == mode) return;
    g_app.interaction_mode = mode;
    ClipCursor(nullptr);
    post_change(kStateInteractionMode, static_cast<uint32_t>(mode));
    if (window) InvalidateRect(window, nullptr, FALSE);
  }
};

int resolve_path(const char* name, char* out, int size) {
  char path[kPathSize];
  if (!config_resource_path(name, nullptr, path)) return 0;
  std::snprintf(out, size, "%s", path);
  return 1;
}

zun_pen_wacom* g_tablet = nullptr;
window_repaint g_repaint;
lasso_window g_lasso_window;
zun_enum_pen_engine* g_pen = nullptr;
zun_enum_rgn_polygon* g_lasso = nullptr;
rgn_handle_pictures g_handles;
int g_lasso_mode = 0;

}  // namespace

int pen_input_start(HWND window, zun_file* document) {
  pen_set_resolver(config_resolve);
  g_repaint.window = window;
  g_lasso_window.window = window;
  delete g_pen;
  delete g_tablet;
  // The panel lives as long as the desktop while the context comes and goes
  // with layouts: every read checks for a context itself.
  g_tablet = new (std::nothrow) zun_pen_wacom(tablet_record(), tablet_in_use());
  g_pen = g_tablet ? new (std::nothrow) zun_enum_pen_engine(0, document, g_tablet, &g_repaint) : nullptr;
  delete g_lasso;
  g_lasso = new (std::nothrow) zun_enum_rgn_polygon(document, &g_lasso_window);
  rgn_handles_load(g_handles, resolve_path);
  if (g_lasso) g_lasso->pictures = &g_handles;
  g_lasso_mode = 0;
  if (!g_pen) return 0;
  g_pen->recorder = macro_input_recorder();  // keeps what the macro records while it records
  if (!g_pen->open()) return 0;
  // Brushes take their speed from the time between events: the time each
  // pointer message was made, not when a busy window got round to it.
  if (g_pen->pen) g_pen->pen->clock = [] { return static_cast<uint32_t>(GetMessageTime()); };
  return 1;
}

void pen_input_stop() {
  if (g_lasso) g_lasso->close();
  delete g_lasso;
  g_lasso = nullptr;
  rgn_handles_free(g_handles);
  if (g_pen) g_pen->close();
  delete g_pen;
  g_pen = nullptr;
  delete g_tablet;
  g_tablet = nullptr;
  pen_set_resolver(nullptr);
}

int pen_input_busy() {
  return (g_pen && g_pen->in_stroke()) || (g_lasso && g_lasso_mode && g_lasso->state != 0);
}

int pen_input_lasso() { return g_lasso_mode; }

int pen_input_key(UINT message, WPARAM key) {
  if (message == WM_KEYDOWN && key == 'L' && GetKeyState(VK_CONTROL) >= 0 &&
      GetKeyState(VK_MENU) >= 0 && !(g_pen && g_pen->in_stroke())) {
    // Leaving the lasso commits a floating selection.
    if (g_lasso_mode && g_lasso) g_lasso->close();
    g_lasso_mode = !g_lasso_mode;
    if (g_lasso_mode && g_lasso) g_lasso->open();
    if (g_repaint.window) InvalidateRect(g_repaint.window, nullptr, FALSE);
    return 1;
  }
  if (!g_lasso_mode || !g_lasso) return 0;
  int code = static_cast<int>(key);
  return message == WM_KEYDOWN ? g_lasso->key_down(code) : g_lasso->key_up(code);
}

int pen_input_overlay(dib_block* desktop) {
  return g_lasso_mode && g_lasso && g_lasso->state != 0 && g_lasso->draw(desktop);
}

int pen_input_mouse(UINT message, int x, int y) {
  if (g_lasso_mode && g_lasso) {
    int r = 0;
    if (message == WM_LBUTTONDOWN) {
      r = g_lasso->pen_down(x, y);
      if (r) SetCapture(g_repaint.window);
    } else if (message == WM_MOUSEMOVE) {
      r = g_lasso->pen_move(x, y);
    } else if (message == WM_LBUTTONUP) {
      r = g_lasso->pen_up(x, y);
      ReleaseCapture();
    }
    return r;
  }
  if (!g_pen || g_app.interaction_mode != 0) return 0;
  switch (message) {
    case WM_LBUTTONDOWN:
      if (!g_pen->pen_down(x, y)) return 0;
      SetCapture(g_repaint.window);
      g_app.tool_operation = 1;
      return 1;
    case WM_MOUSEMOVE:
      return g_pen->in_stroke() ? g_pen->pen_move(x, y) : 0;
    case WM_LBUTTONUP:
      if (!g_pen->in_stroke()) return 0;
      g_pen->pen_up(x, y);
      ReleaseCapture();
      g_app.tool_operation = 0;
      return 1;
    default:
      return 0;
  }
}

void pen_input_layers_replaced() {
  if (g_pen) g_pen->notify(kNotifyLayersReplaced);
  if (g_lasso) g_lasso->notify(kNotifyLayersReplaced);
}
