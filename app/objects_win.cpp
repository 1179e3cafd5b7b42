// The process-wide objects, made in a fixed order and released in reverse groups.
#include <objbase.h>

#include <cstring>
#include <new>

#include "app/app_win.h"
#include "app/desktop_win.h"
#include "base/alloc.h"
#include "base/state_queue.h"
#include "doc/zun_file.h"

app_state g_app;
zun_desktop* g_desktop = nullptr;
zun_file* g_document = nullptr;

// A fresh document's size while no template is chosen.
constexpr int32_t kDefaultWidth = 1600, kDefaultHeight = 1200;

namespace {
int g_gdiplus_refs = 0;
ULONG_PTR g_gdiplus_token = 0;

// GDI+ is started through its flat entry points so that no C++ GDI+ headers are
// needed; the macro player draws its text with it.
struct gdiplus_input {
  UINT32 version = 1;
  void* callback = nullptr;
  BOOL no_thread = FALSE;
  BOOL no_codecs = FALSE;
};
using startup_fn = int(WINAPI*)(ULONG_PTR*, const gdiplus_input*, void*);
using shutdown_fn = void(WINAPI*)(ULONG_PTR);
HMODULE g_gdiplus = nullptr;

void gdiplus_start() {
  if (g_gdiplus_refs++ > 0) return;
  char path[MAX_PATH];
  UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n == 0 || n > MAX_PATH - 16) return;
  std::strcat(path, "\\gdiplus.dll");
  g_gdiplus = LoadLibraryA(path);
  auto start = g_gdiplus ? reinterpret_cast<startup_fn>(
                               reinterpret_cast<void*>(GetProcAddress(g_gdiplus, "GdiplusStartup")))
                         : nullptr;
  gdiplus_input in;
  if (!start || start(&g_gdiplus_token, &in, nullptr) != 0) g_gdiplus_token = 0;
}

void gdiplus_stop() {
  if (g_gdiplus_refs == 0 || --g_gdiplus_refs > 0) return;
  if (g_gdiplus && g_gdiplus_token) {
    auto stop = reinterpret_cast<shutdown_fn>(
        reinterpret_cast<void*>(GetProcAddress(g_gdiplus, "GdiplusShutdown")));
    if (stop) stop(g_gdiplus_token);
  }
  if (g_gdiplus) FreeLibrary(g_gdiplus);
  g_gdiplus = nullptr;
  g_gdiplus_token = 0;
}

void clear_state() {
  float* table = g_app.alpha_table;
  g_app = app_state{};
  g_app.alpha_table = table;
}

int fail() {
  splash_close();
  delete g_document;
  g_document = nullptr;
  delete g_desktop;
  g_desktop = nullptr;
  clear_state();
  state_clear(app_changes());
  gdiplus_stop();
  CoUninitialize();
  mem_free(g_app.alpha_table);
  g_app.alpha_table = nullptr;
  return 0;
}

}  // namespace

int create_app_objects() {
  clear_state();
  g_app.alpha_table = static_cast<float*>(mem_alloc(256 * sizeof(float)));
  if (!g_app.alpha_table) return 0;
  for (int i = 0; i < 256; ++i) g_app.alpha_table[i] = i / 255.0f;
  gdiplus_start();
  CoInitialize(nullptr);
  splash_show(g_config.instance);
  load_settings();
  state_clear(app_changes());
  g_app.screen = 1;
  g_desktop = new (std::nothrow) zun_desktop;
  if (!g_desktop) return fail();
  config_text("win", "return", g_desktop->caption, 128);
  g_document = new (std::nothrow) zun_file;
  if (!g_document) return fail();
  g_document->template_width = kDefaultWidth;
  g_document->template_height = kDefaultHeight;
  if (!g_document->zun_file_init()) return fail();
  g_app.initialised = 1;
  set_app_initialised(1);
  splash_close();
  return 1;
}

void release_app_objects() {
  if (!g_app.initialised) return;
  g_app.initialised = 0;
  set_app_initialised(0);
  delete g_document;
  g_document = nullptr;
  delete g_desktop;
  g_desktop = nullptr;
  clear_state();
  state_clear(app_changes());
  save_settings();
  gdiplus_stop();
  CoUninitialize();
  mem_free(g_app.alpha_table);
  g_app.alpha_table = nullptr;
}
