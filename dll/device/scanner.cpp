// The scanner: a source chosen through the TWAIN source manager of the Windows
// folder, one native image per scan.
#define ZZ_DEVICE_BUILD
#include <cstdio>
#include <cstring>

#include "dll/device/twain_defs.h"
#include "dll/device/zz_device.h"

namespace {

int manager_path(char* path) {
  UINT n = GetWindowsDirectoryA(path, MAX_PATH);
  if (n == 0 || n + 14 > MAX_PATH) return 0;
  std::snprintf(path + n, MAX_PATH - n, "\\twain_32.dll");
  return 1;
}

void copy(char* to, const char* from) { std::snprintf(to, 34, "%s", from); }

void fill_identity(zz_tw_identity* id) {
  std::memset(id, 0, sizeof *id);
  id->version.major = 1;
  id->version.minor = 703;
  id->version.language = 13;
  id->version.country = 1;
  copy(id->version.info, "TWAIN_32 Twacker 1.7.0.3  01/18/1999");
  id->protocol_major = 1;
  id->protocol_minor = 8;
  id->supported_groups = tw::kGroupControl | tw::kGroupImage;
  copy(id->manufacturer, "TWAIN Working Group");
  copy(id->product_family, "TWAIN Toolkit");
  copy(id->product_name, "TWACKER_32");
}

uint16_t to_source(zz_scanner_state* s, uint32_t group, uint16_t data, uint16_t message,
                   void* payload) {
  return s->entry(&s->app, &s->source, group, data, message, payload);
}

uint16_t to_manager(zz_scanner_state* s, uint16_t data, uint16_t message, void* payload) {
  return s->entry(&s->app, nullptr, tw::kGroupControl, data, message, payload);
}

int set_one_value(zz_scanner_state* s, uint16_t cap, uint32_t value) {
  HGLOBAL block = GlobalAlloc(GHND, sizeof(tw::one_value));
  if (!block) return 0;
  auto* one = static_cast<tw::one_value*>(GlobalLock(block));
  if (!one) {
    GlobalFree(block);
    return 0;
  }
  one->item_type = tw::kTypeUint16;
  one->item = value;
  GlobalUnlock(block);
  tw::capability c = {cap, tw::kOneValue, block};
  const uint16_t rc = to_source(s, tw::kGroupControl, tw::kDatCapability, tw::kMsgSet, &c);
  GlobalFree(block);
  return rc == tw::kSuccess;
}

void end_transfer(zz_scanner_state* s) {
  tw::pending_xfers pending = {};
  if (to_source(s, tw::kGroupControl, tw::kDatPendingXfers, tw::kMsgEndXfer, &pending) !=
      tw::kSuccess)
    to_source(s, tw::kGroupControl, tw::kDatPendingXfers, tw::kMsgReset, &pending);
}

void reset_transfers(zz_scanner_state* s) {
  tw::pending_xfers pending = {};
  to_source(s, tw::kGroupControl, tw::kDatPendingXfers, tw::kMsgReset, &pending);
}

// A source that keeps failing its requests gets this many tries, then the
// pending transfers are dropped.
constexpr int kMaxTries = 16;

void transfer(zz_scanner_state* s) {
  for (int tries = 0; tries < kMaxTries; ++tries) {
    tw::image_info info = {};
    int got_info = 0;
    for (int i = 0; i < kMaxTries && !got_info; ++i)
      got_info =
          to_source(s, tw::kGroupImage, tw::kDatImageInfo, tw::kMsgGet, &info) == tw::kSuccess;
    if (!got_info) break;
    uint32_t handle = 0;
    switch (to_source(s, tw::kGroupImage, tw::kDatImageNativeXfer, tw::kMsgGet, &handle)) {
      case tw::kXferDone:
        s->image = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle));
        end_transfer(s);
        return;
      case tw::kCancel:
        end_transfer(s);
        return;
      case tw::kFailure:
        reset_transfers(s);
        return;
      default:
        break;  // asked again
    }
  }
  reset_transfers(s);
}

}  // namespace

int __cdecl TWScannerIsSupport() {
  char path[MAX_PATH];
  return manager_path(path) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int __cdecl TWScannerStart(zz_scanner_state* s, HWND parent, int show_interface) {
  if (!s) return 0;
  std::memset(s, 0, sizeof *s);
  fill_identity(&s->app);
  s->parent = parent;
  char path[MAX_PATH];
  if (!manager_path(path) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return 0;
  s->module = LoadLibraryA(path);
  if (!s->module) return 0;
  s->entry = reinterpret_cast<zz_dsm_entry>(
      reinterpret_cast<void*>(GetProcAddress(s->module, MAKEINTRESOURCEA(1))));
  if (!s->entry) return TWScannerEnd(s), 0;

  HWND window = parent;
  if (to_manager(s, tw::kDatParent, tw::kMsgOpenDsm, &window) != tw::kSuccess)
    return TWScannerEnd(s), 0;
  s->manager_open = 1;
  if (to_manager(s, tw::kDatIdentity, tw::kMsgUserSelect, &s->source) != tw::kSuccess ||
      to_manager(s, tw::kDatIdentity, tw::kMsgOpenDs, &s->source) != tw::kSuccess)
    return TWScannerEnd(s), 0;
  s->source_open = 1;
  // A source that keeps its own defaults for these still scans.
  set_one_value(s, tw::kCapXferCount, 1);
  set_one_value(s, tw::kIcapXferMech, 2);

  tw::user_interface ui = {static_cast<uint16_t>(show_interface ? 1 : 0), 1, parent};
  if (to_source(s, tw::kGroupControl, tw::kDatUserInterface, tw::kMsgEnableDs, &ui) != tw::kSuccess)
    return TWScannerEnd(s), 0;
  s->source_enabled = 1;
  return 1;
}

int __cdecl TWScannerProcess(zz_scanner_state* s, MSG* message) {
  if (!s || !message || !s->entry || !s->source_open) return 0;
  tw::event ev = {message, 0};
  const uint16_t rc = to_source(s, tw::kGroupControl, tw::kDatEvent, tw::kMsgProcessEvent, &ev);
  if (rc != tw::kDsEvent && rc != tw::kNotDsEvent) return 0;
  switch (ev.message) {
    case tw::kMsgXferReady:
      transfer(s);
      return 1;
    case tw::kMsgCloseDsReq:
    case tw::kMsgCloseDsOk:
      return 1;
    default:
      return 0;
  }
}

void __cdecl TWScannerEnd(zz_scanner_state* s) {
  if (!s) return;
  if (s->entry && s->source_open) {
    tw::user_interface ui = {255, 0, s->parent};
    to_source(s, tw::kGroupControl, tw::kDatUserInterface, tw::kMsgDisableDs, &ui);
    to_manager(s, tw::kDatIdentity, tw::kMsgCloseDs, &s->source);
  }
  if (s->entry && s->manager_open) {
    HWND window = s->parent;
    to_manager(s, tw::kDatParent, tw::kMsgCloseDsm, &window);
  }
  if (s->module) FreeLibrary(s->module);
  std::memset(s, 0, sizeof *s);
}
