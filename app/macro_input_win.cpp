#include "app/macro_input_win.h"

#include <commdlg.h>

#include <cstdio>
#include <new>

#include "app/app_win.h"
#include "base/state_queue.h"
#include "macro/control.h"
#include "macro/font_player.h"
#include "macro/pen_recorder.h"
#include "macro/players.h"

namespace {

class macro_window : public macro_shell, public macro_view {
 public:
  HWND window = nullptr;
  void set_interaction_mode(int mode) override {
    if (g_app.interaction_mode == mode) return;
    g_app.interaction_mode = mode;
    ClipCursor(nullptr);
    post_change(kStateInteractionMode, static_cast<uint32_t>(mode));
    if (window) InvalidateRect(window, nullptr, FALSE);
  }
  void info_changed() override { show_state(); }
  void invalidate(const dib_rect& r) override {
    RECT rc = {r.left, r.top, r.right, r.bottom};
    if (window) InvalidateRect(window, &rc, FALSE);
  }
  // Without the panel the state shows in the title's place of the info line.
  void show_state();
};

zun_macro_control* g_control = nullptr;
zun_macro_players* g_players = nullptr;
macro_pen_recorder* g_recorder = nullptr;
macro_window g_window;
char g_folder[kPathSize] = {};

std::string text(const char* key) {
  char buf[128] = {};
  config_text("hotspot", key, buf, sizeof buf);
  return buf;
}

void macro_window::show_state() {
  if (!window || !g_control) return;
  char title[512] = {}, app[128] = {};
  config_text("app", "appname", app, sizeof app);
  std::snprintf(title, sizeof title, "%s - %s [%s]", g_control->name_line().c_str(), app,
                g_control->info_line().c_str());
  if (g_control->state != kMacroIdle || g_control->macro.count() > 0) SetWindowTextA(window, title);
}

int macro_dialog(HWND owner, bool save, char* out) {
  char file[512] = {}, title[128] = {};
  config_text("dlg", save ? "save" : "open", title, sizeof title);
  if (!g_folder[0]) config_build_path("HWmacro", nullptr, g_folder);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = "ZWM(*.zwm)\0*.zwm\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = 511;
  ofn.lpstrInitialDir = g_folder;
  ofn.lpstrTitle = title[0] ? title : nullptr;
  ofn.lpstrDefExt = "zwm";
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
              (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  g_app.modal = 1;
  BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  g_app.modal = 0;
  if (!ok) return 0;
  std::snprintf(out, kPathSize, "%s", file);
  return 1;
}

}  // namespace

int macro_input_start(HWND window, zun_file* document) {
  macro_input_stop();
  g_window.window = window;
  g_control = new (std::nothrow) zun_macro_control;
  g_players = new (std::nothrow) zun_macro_players;
  if (!g_control || !g_players) {
    macro_input_stop();
    return 0;
  }
  macro_texts texts;
  for (int i = 0; i < 3; ++i) {
    char key[32];
    std::snprintf(key, sizeof key, "macro_status%d", i);
    texts.status[i] = text(key);
  }
  texts.info_format = text("macro_info");
  if (!g_control->create(texts, &g_window)) {
    macro_input_stop();
    return 0;
  }
  g_control->macro.players = g_players;
  g_control->set_stage(document, &g_window);
  g_recorder = new (std::nothrow) macro_pen_recorder(&g_control->macro);
  if (g_config.normal_face[0]) macro_set_default_face(g_config.normal_face);
  return 1;
}

void macro_input_stop() {
  if (g_control) g_control->stop();
  delete g_recorder;
  delete g_control;
  delete g_players;
  g_recorder = nullptr;
  g_control = nullptr;
  g_players = nullptr;
}

pen_macro_recorder* macro_input_recorder() { return g_recorder; }

int macro_input_key(HWND window, WPARAM key) {
  if (!g_control || g_app.tool_operation) return 0;
  bool ctrl = GetKeyState(VK_CONTROL) < 0;
  char path[kPathSize];
  int done = 0;
  switch (key) {
    case VK_F5:
      if (ctrl) {
        done = 1;
        if (macro_dialog(window, false, path) && !g_control->load(path)) {
          char msg[512] = {};
          config_text("msg", "noopen", msg, sizeof msg);
          MessageBoxA(window, msg, nullptr, MB_OK | MB_ICONINFORMATION);
        }
      } else {
        done = g_control->play() || 1;
      }
      break;
    case VK_F6:
      if (ctrl) {
        done = 1;
        if (macro_dialog(window, true, path) && !g_control->save(path)) {
          char msg[512] = {};
          config_text("msg", "nosave", msg, sizeof msg);
          MessageBoxA(window, msg, nullptr, MB_OK | MB_ICONINFORMATION);
        }
      } else {
        done = g_control->record() || 1;
      }
      break;
    case VK_F7: done = g_control->stop() || 1; break;
    case VK_F8: done = g_control->home() || 1; break;
    default: return 0;
  }
  g_window.show_state();
  return done;
}

void macro_input_timer(UINT_PTR timer) {
  if (g_control) g_control->timer_step(static_cast<uint32_t>(timer));
}

int macro_input_stop_on_input(int left_button) {
  return g_control && g_control->state == kMacroPlaying ? g_control->stop_on_input(left_button) : 0;
}
