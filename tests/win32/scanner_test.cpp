// zz_device.dll's scanner exports over a stand-in twain_32.dll installed in the
// Windows folder: start, a transfer, the end, and sources that misbehave.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "dll/device/twain_defs.h"
#include "tests/win32/support/iat_hook.h"
#include "tests/win32/support/stub_install.h"
#include "tests/win32/support/tree_library.h"
#include "tests/win32/support/twain_stub.h"

namespace {

using SupportFn = int(__cdecl*)();
using StartFn = int(__cdecl*)(zz_scanner_state*, HWND, int);
using ProcessFn = int(__cdecl*)(zz_scanner_state*, MSG*);
using EndFn = void(__cdecl*)(zz_scanner_state*);

int g_loads, g_frees;
std::string g_loaded;
decltype(&LoadLibraryA) g_real_load;
decltype(&FreeLibrary) g_real_free;

HMODULE WINAPI counting_load(LPCSTR name) {
  ++g_loads;
  g_loaded = name ? name : "";
  return g_real_load(name);
}
BOOL WINAPI counting_free(HMODULE module) {
  ++g_frees;
  return g_real_free(module);
}

class Scanner : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    install_ = new stub_install(windows_folder_file("twain_32.dll"), "twain_stub.dll", "twain_32",
                                "native");
    if (!install_->ok()) return;
    stub_ = LoadLibraryA(install_->target().c_str());
    auto state = export_of<TwainStubStateFn>(stub_, "TwainStubState");
    log_ = state ? state() : nullptr;
    module_ = load_from_tree("zz_device.dll");
    if (!module_) return;
    support_ = export_of<SupportFn>(module_, "TWScannerIsSupport");
    start_ = export_of<StartFn>(module_, "TWScannerStart");
    process_ = export_of<ProcessFn>(module_, "TWScannerProcess");
    end_ = export_of<EndFn>(module_, "TWScannerEnd");
    g_real_load = reinterpret_cast<decltype(&LoadLibraryA)>(
        iat_hook(module_, "kernel32.dll", "LoadLibraryA", reinterpret_cast<void*>(&counting_load)));
    g_real_free = reinterpret_cast<decltype(&FreeLibrary)>(
        iat_hook(module_, "kernel32.dll", "FreeLibrary", reinterpret_cast<void*>(&counting_free)));
  }
  static void TearDownTestSuite() {
    if (module_) FreeLibrary(module_);
    if (stub_) FreeLibrary(stub_);
    delete install_;
    install_ = nullptr;
    module_ = stub_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(install_->ok()) << "could not install the stand-in at " << install_->target();
    ASSERT_NE(log_, nullptr) << "the Windows folder's twain_32.dll is not the stand-in";
    ASSERT_TRUE(support_ && start_ && process_ && end_) << "a scanner export is missing";
    ASSERT_TRUE(g_real_load && g_real_free) << "zz_device.dll does not import the loader";
    std::memset(log_, 0, sizeof *log_);
    log_->xfer_answer = tw::kXferDone;
    log_->image = 0x4321;
    g_loads = g_frees = 0;
    window_ = CreateWindowA("STATIC", "scan", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    std::memset(&state_, 0xcd, sizeof state_);  // the library zeroes it
  }
  void TearDown() override {
    EXPECT_EQ(g_frees, g_loads) << "twain_32.dll left loaded";
    if (window_) DestroyWindow(window_);
  }

  // Everything closed and the record zeroed.
  void expect_ended() {
    const zz_scanner_state zero = {};
    EXPECT_EQ(std::memcmp(&state_, &zero, sizeof zero), 0);
    EXPECT_EQ(log_->close_ds, log_->open_ds - (log_->open_fails ? 1 : 0));
    EXPECT_EQ(log_->close_dsm, log_->open_dsm);
  }
  int process() {
    MSG m = {window_, WM_USER, 0, 0, 0, {0, 0}};
    return process_(&state_, &m);
  }

  static inline stub_install* install_;
  static inline HMODULE stub_, module_;
  static inline TwainStubLog* log_;
  static inline SupportFn support_;
  static inline StartFn start_;
  static inline ProcessFn process_;
  static inline EndFn end_;
  HWND window_ = nullptr;
  zz_scanner_state state_;
};

TEST_F(Scanner, StartTransferAndEnd) {
  EXPECT_EQ(support_(), 1);
  EXPECT_EQ(g_loads, 0) << "the support check only looks for the file";
  ASSERT_EQ(start_(&state_, window_, 1), 1);
  EXPECT_EQ(_stricmp(g_loaded.c_str(), install_->target().c_str()), 0) << g_loaded;
  EXPECT_EQ(state_.manager_open, 1);
  EXPECT_EQ(state_.source_open, 1);
  EXPECT_EQ(state_.parent, window_);
  EXPECT_NE(state_.module, nullptr);
  EXPECT_STREQ(state_.source.product_name, "Stub Scanner");

  EXPECT_EQ(log_->open_dsm, 1);
  EXPECT_EQ(log_->parent, window_);
  EXPECT_EQ(log_->app.version.major, 1);
  EXPECT_EQ(log_->app.version.minor, 703);
  EXPECT_EQ(log_->app.version.language, 13);
  EXPECT_EQ(log_->app.version.country, 1);
  // The text is longer than the field's 33 characters: cut, not run over.
  EXPECT_STREQ(log_->app.version.info, "TWAIN_32 Twacker 1.7.0.3  01/18/1");
  EXPECT_EQ(log_->app.protocol_major, 1);
  EXPECT_EQ(log_->app.protocol_minor, 8);
  EXPECT_EQ(log_->app.supported_groups, 3u);
  EXPECT_STREQ(log_->app.manufacturer, "TWAIN Working Group");
  EXPECT_STREQ(log_->app.product_family, "TWAIN Toolkit");
  EXPECT_STREQ(log_->app.product_name, "TWACKER_32");
  EXPECT_EQ(log_->selects, 1);
  EXPECT_EQ(log_->open_ds, 1);
  ASSERT_EQ(log_->cap_sets, 2);
  EXPECT_EQ(log_->caps[0], tw::kCapXferCount);
  EXPECT_EQ(log_->cap_values[0], 1u);
  EXPECT_EQ(log_->caps[1], tw::kIcapXferMech);
  EXPECT_EQ(log_->cap_values[1], 2u);
  EXPECT_EQ(log_->cap_types[0], 4);
  EXPECT_EQ(log_->cap_types[1], 4);
  EXPECT_EQ(log_->enables, 1);
  EXPECT_EQ(log_->show_ui, 1);
  EXPECT_EQ(log_->modal_ui, 1);
  EXPECT_EQ(log_->wrong_source, 0);

  EXPECT_EQ(process(), 0) << "not the source's message";
  EXPECT_NE(log_->event_msg, nullptr);
  log_->event_message = tw::kMsgXferReady;
  log_->info_failures = 3;  // the info request is repeated while it fails
  EXPECT_EQ(process(), 1);
  EXPECT_EQ(log_->infos, 4);
  EXPECT_EQ(log_->xfers, 1);
  EXPECT_EQ(state_.image, reinterpret_cast<HANDLE>(0x4321));
  EXPECT_EQ(log_->end_xfers, 1);
  EXPECT_EQ(log_->resets, 0);

  end_(&state_);
  EXPECT_EQ(log_->disables, 1);
  EXPECT_EQ(log_->disable_show_ui, 255);
  expect_ended();
  EXPECT_EQ(g_loads, 1);
  EXPECT_EQ(process(), 0) << "nothing open";
}

TEST_F(Scanner, StartUndoesWhatItDidWhenALaterStepFails) {
  log_->select_fails = 1;
  EXPECT_EQ(start_(&state_, window_, 0), 0);
  EXPECT_EQ(log_->open_ds, 0);
  expect_ended();

  log_->select_fails = 0;
  log_->open_fails = 1;
  EXPECT_EQ(start_(&state_, window_, 0), 0);
  EXPECT_EQ(log_->close_ds, 0) << "never opened";
  expect_ended();

  std::memset(log_, 0, sizeof *log_);
  log_->enable_fails = 1;
  EXPECT_EQ(start_(&state_, window_, 0), 0);
  EXPECT_EQ(log_->show_ui, 0);
  EXPECT_EQ(log_->close_ds, 1);
  EXPECT_EQ(log_->close_dsm, 1);
  const zz_scanner_state zero = {};
  EXPECT_EQ(std::memcmp(&state_, &zero, sizeof zero), 0);
}

TEST_F(Scanner, ASourceThatKeepsFailingEndsWithinTheBound) {
  ASSERT_EQ(start_(&state_, window_, 0), 1);
  log_->event_message = tw::kMsgXferReady;
  log_->info_failures = -1;
  EXPECT_EQ(process(), 1);
  EXPECT_GT(log_->infos, 1);
  EXPECT_LE(log_->infos, 64);
  EXPECT_EQ(log_->xfers, 0);
  EXPECT_EQ(log_->resets, 1) << "the pending transfers are dropped";

  // A transfer answer that is neither done, cancel nor failure is asked again, boundedly.
  log_->infos = log_->resets = 0;
  log_->info_failures = 0;
  log_->xfer_answer = 2;
  log_->event_message = tw::kMsgXferReady;
  EXPECT_EQ(process(), 1);
  EXPECT_GT(log_->xfers, 1);
  EXPECT_LE(log_->xfers, 64);
  EXPECT_EQ(log_->resets, 1);
  EXPECT_EQ(state_.image, nullptr);
  end_(&state_);
  expect_ended();
}

TEST_F(Scanner, CancelFailureAndCloseRequests) {
  ASSERT_EQ(start_(&state_, window_, 0), 1);
  log_->xfer_answer = tw::kCancel;
  log_->event_message = tw::kMsgXferReady;
  EXPECT_EQ(process(), 1);
  EXPECT_EQ(log_->end_xfers, 1);
  EXPECT_EQ(log_->resets, 0);
  EXPECT_EQ(state_.image, nullptr);

  log_->end_xfer_fails = 1;  // a failed end of transfer resets
  log_->event_message = tw::kMsgXferReady;
  EXPECT_EQ(process(), 1);
  EXPECT_EQ(log_->end_xfers, 2);
  EXPECT_EQ(log_->resets, 1);

  log_->xfer_answer = tw::kFailure;
  log_->event_message = tw::kMsgXferReady;
  EXPECT_EQ(process(), 1);
  EXPECT_EQ(log_->end_xfers, 2);
  EXPECT_EQ(log_->resets, 2);

  log_->event_message = tw::kMsgCloseDsReq;
  EXPECT_EQ(process(), 1);
  log_->event_message = tw::kMsgCloseDsOk;
  EXPECT_EQ(process(), 1);
  end_(&state_);
  expect_ended();
}

TEST_F(Scanner, NullArgumentsAreRefused) {
  EXPECT_EQ(start_(nullptr, window_, 0), 0);
  EXPECT_EQ(process_(nullptr, nullptr), 0);
  ASSERT_EQ(start_(&state_, window_, 0), 1);
  EXPECT_EQ(process_(&state_, nullptr), 0);
  end_(nullptr);
  end_(&state_);
  end_(&state_);  // twice is harmless
  expect_ended();
  EXPECT_EQ(log_->close_dsm, 1);
}

}  // namespace
