// The stand-in source manager: one source, answers from the script.
#include "tests/win32/support/twain_stub.h"

#include <cstring>

namespace {

TwainStubLog g_log;
constexpr uint32_t kSourceId = 77;

uint16_t control(zz_tw_identity* origin, zz_tw_identity* dest, uint16_t dat, uint16_t msg,
                 void* data) {
  using namespace tw;
  if (dest && dest->id != kSourceId) ++g_log.wrong_source;
  switch (dat << 16 | msg) {
    case kDatParent << 16 | kMsgOpenDsm:
      ++g_log.open_dsm;
      g_log.parent = *static_cast<HWND*>(data);
      g_log.app = *origin;
      origin->id = 1;
      return kSuccess;
    case kDatParent << 16 | kMsgCloseDsm:
      ++g_log.close_dsm;
      return kSuccess;
    case kDatIdentity << 16 | kMsgUserSelect: {
      ++g_log.selects;
      if (g_log.select_fails) return kCancel;
      auto* id = static_cast<zz_tw_identity*>(data);
      std::memset(id, 0, sizeof *id);
      id->id = kSourceId;
      std::strcpy(id->product_name, "Stub Scanner");
      return kSuccess;
    }
    case kDatIdentity << 16 | kMsgOpenDs:
      ++g_log.open_ds;
      return g_log.open_fails ? kFailure : kSuccess;
    case kDatIdentity << 16 | kMsgCloseDs:
      ++g_log.close_ds;
      return kSuccess;
    case kDatCapability << 16 | kMsgSet: {
      auto* cap = static_cast<capability*>(data);
      const int i = g_log.cap_sets++;
      if (i < 4 && cap->container_type == kOneValue) {
        auto* one = static_cast<one_value*>(GlobalLock(cap->container));
        g_log.caps[i] = cap->cap;
        if (one) g_log.cap_values[i] = one->item, g_log.cap_types[i] = one->item_type;
        GlobalUnlock(cap->container);
      }
      return kSuccess;
    }
    case kDatUserInterface << 16 | kMsgEnableDs: {
      ++g_log.enables;
      auto* ui = static_cast<user_interface*>(data);
      g_log.show_ui = ui->show_ui, g_log.modal_ui = ui->modal_ui;
      return g_log.enable_fails ? kFailure : kSuccess;
    }
    case kDatUserInterface << 16 | kMsgDisableDs:
      ++g_log.disables;
      g_log.disable_show_ui = static_cast<user_interface*>(data)->show_ui;
      return kSuccess;
    case kDatEvent << 16 | kMsgProcessEvent: {
      ++g_log.events;
      auto* ev = static_cast<event*>(data);
      g_log.event_msg = ev->event;
      ev->message = g_log.event_message;
      g_log.event_message = 0;
      return ev->message ? kDsEvent : kNotDsEvent;
    }
    case kDatPendingXfers << 16 | kMsgEndXfer:
      ++g_log.end_xfers;
      return g_log.end_xfer_fails ? kFailure : kSuccess;
    case kDatPendingXfers << 16 | kMsgReset:
      ++g_log.resets;
      return kSuccess;
    default:
      return kFailure;
  }
}

}  // namespace

extern "C" __declspec(dllexport) TwainStubLog* __cdecl TwainStubState() { return &g_log; }

extern "C" uint16_t WINAPI DSM_Entry(zz_tw_identity* origin, zz_tw_identity* dest, uint32_t group,
                                     uint16_t dat, uint16_t msg, void* data) {
  if (!origin) return tw::kFailure;
  if (group == tw::kGroupControl) return control(origin, dest, dat, msg, data);
  if (group != tw::kGroupImage || !dest || dest->id != kSourceId) return tw::kFailure;
  if (dat == tw::kDatImageInfo && msg == tw::kMsgGet) {
    ++g_log.infos;
    if (g_log.info_failures < 0) return tw::kFailure;
    if (g_log.info_failures > 0) return --g_log.info_failures, tw::kFailure;
    static_cast<tw::image_info*>(data)->width = 8;
    return tw::kSuccess;
  }
  if (dat == tw::kDatImageNativeXfer && msg == tw::kMsgGet) {
    ++g_log.xfers;
    if (g_log.xfer_answer == tw::kXferDone) *static_cast<uint32_t*>(data) = g_log.image;
    return g_log.xfer_answer;
  }
  return tw::kFailure;
}
