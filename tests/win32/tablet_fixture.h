#pragma once
// The tablet tests' fixture: the stand-in WINTAB32.DLL installed in the system
// folder for the suite, zz_device.dll loaded from the tree, a scripted default
// tablet and a context record per test.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "app/tablet_win.h"
#include "tests/win32/support/heap_watch.h"
#include "tests/win32/support/stub_install.h"
#include "tests/win32/support/tree_library.h"
#include "tests/win32/support/wintab_stub.h"

using RemoveFn = void(__cdecl*)(HANDLE*);

inline tablet_api g_api;
inline RemoveFn g_remove;

inline bool bind_exports(HMODULE m) {
  g_api.init = export_of<decltype(g_api.init)>(m, "WacomTabletInit");
  g_api.quit = export_of<decltype(g_api.quit)>(m, "WacomTabletQuit");
  g_api.in_use = export_of<decltype(g_api.in_use)>(m, "WacomTabletInUse");
  g_api.device_name = export_of<decltype(g_api.device_name)>(m, "WacomTabletDeviceName");
  g_api.attach = export_of<decltype(g_api.attach)>(m, "WacomTabletAttach");
  g_api.unattach = export_of<decltype(g_api.unattach)>(m, "WacomTabletUnAttach");
  g_api.when_press = export_of<decltype(g_api.when_press)>(m, "WacomTableInfoWhenPress");
  g_api.when_move = export_of<decltype(g_api.when_move)>(m, "WacomTableInfoWhenMove");
  g_api.is_rubber = export_of<decltype(g_api.is_rubber)>(m, "WacomTableIsRubber");
  g_api.focus = export_of<decltype(g_api.focus)>(m, "WacomTabletFocus");
  g_api.info_changed = export_of<decltype(g_api.info_changed)>(m, "WacomTabletInfoChanged");
  g_remove = export_of<RemoveFn>(m, "WacomTableRemoveEvent");
  return g_api.init && g_api.quit && g_api.in_use && g_api.device_name && g_api.attach &&
         g_api.unattach && g_api.when_press && g_api.when_move && g_api.is_rubber && g_api.focus &&
         g_api.info_changed && g_remove;
}

class Tablet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    install_ = new stub_install(system_folder_file("WINTAB32.DLL"), "wintab_stub.dll", "wintab32",
                                "native");
    if (!install_->ok()) return;
    // Held for the whole suite, so the script survives the library's FreeLibrary.
    stub_ = LoadLibraryA(install_->target().c_str());
    auto state = export_of<WintabStubStateFn>(stub_, "WintabStubState");
    log_ = state ? state() : nullptr;
    // Loaded once for the whole program: the heap hooks stay in its import table.
    if (!module_) {
      module_ = load_from_tree("zz_device.dll");
      bound_ = module_ && bind_exports(module_);
      watching_ = module_ && heap_watch_install(module_);
    }
    g_tablet_api = &g_api;
  }
  static void TearDownTestSuite() {
    g_tablet_api = nullptr;
    if (stub_) FreeLibrary(stub_);
    delete install_;
    install_ = nullptr;
    stub_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(install_->ok()) << "could not install the stand-in at " << install_->target();
    ASSERT_NE(log_, nullptr) << "the system folder's WINTAB32.DLL is not the stand-in";
    ASSERT_TRUE(bound_) << "zz_device.dll or one of its tablet exports is missing";
    ASSERT_TRUE(watching_) << "zz_device.dll does not import the C heap";
    heap_before_ = heap_watch_outstanding();
    std::memset(log_, 0, sizeof *log_);
    log_->devices = 1;
    log_->queue_limit = 1024;
    log_->device = 0;
    log_->axis_min = 0, log_->axis_max = 1000;
    for (int i = 0; i < 32; ++i) log_->button_map[i] = static_cast<uint8_t>(i);
    log_->marks[0] = 0, log_->marks[1] = 1000;
    std::strcpy(log_->cursor_names[0], "Puck");
    std::strcpy(log_->cursor_names[1], "Pressure Stylus");
    std::strcpy(log_->cursor_names[2], "Pressure ERASER");
    window_ = CreateWindowA("STATIC", "tablet", WS_POPUP, 100, 80, 320, 240, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    std::memset(&record_, 0, sizeof record_);
    ASSERT_EQ(g_api.init(), 1);
  }
  void TearDown() override {
    g_api.unattach(&record_);
    g_api.quit();
    EXPECT_EQ(heap_watch_outstanding(), heap_before_) << "zz_device kept heap blocks";
    if (window_) DestroyWindow(window_);
  }

  int attach(int x = 0, int y = 0) { return g_api.attach(&record_, window_, x, y); }

  inline static stub_install* install_;
  inline static HMODULE stub_, module_;
  inline static WintabStubLog* log_;
  inline static bool bound_, watching_;
  HWND window_ = nullptr;
  zz_tablet_context record_;
  long heap_before_ = 0;
};
