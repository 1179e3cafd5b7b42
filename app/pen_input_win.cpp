#include "app/pen_input_win.h"

#include <new>
#include <string>

#include "app/app_win.h"
#include "paint/pen_panel.h"
#include "paint/pen_resources.h"

namespace {

// Without a tablet every pen paints at the pressures the pen rule gives a mouse.
class mouse_tablet : public pen_tablet {
 public:
  void press(int32_t, int32_t) override {}
  void press_simulated(zun_pen_engine&) override {}
  void move(int32_t, int32_t) override {}
  void release(int32_t, int32_t) override {}
  int has_pressure() const override { return 0; }
  float pressure() const override { return 1.0f; }
  int eraser_end() const override { return 0; }
  int packets() const override { return 0; }
  int32_t packet_x(int) const override { return 0; }
  int32_t packet_y(int) const override { return 0; }
  float packet_pressure(int) const override { return 1.0f; }
};

class window_repaint : public pen_window {
 public:
  HWND window = nullptr;
  void invalidate(const dib_rect& r) override {
    RECT rc = {r.left, r.top, r.right, r.bottom};
    if (window) InvalidateRect(window, &rc, FALSE);
  }
};

int resolve(const char* name, std::string* out) {
  char path[kPathSize];
  if (!config_resource_path(name, nullptr, path)) return 0;
  *out = path;
  return 1;
}

mouse_tablet g_tablet;
window_repaint g_repaint;
zun_enum_pen_engine* g_pen = nullptr;

}  // namespace

int pen_input_start(HWND window, zun_file* document) {
  pen_set_resolver(resolve);
  g_repaint.window = window;
  delete g_pen;
  g_pen = new (std::nothrow) zun_enum_pen_engine(0, document, &g_tablet, &g_repaint);
  if (!g_pen) return 0;
  return g_pen->open();
}

void pen_input_stop() {
  if (g_pen) g_pen->close();
  delete g_pen;
  g_pen = nullptr;
  pen_set_resolver(nullptr);
}

int pen_input_busy() { return g_pen && g_pen->in_stroke(); }

int pen_input_mouse(UINT message, int x, int y) {
  if (!g_pen) return 0;
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
}
