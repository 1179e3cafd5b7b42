#pragma once
// The TWAIN messages and records this library uses, 2-byte packed as the
// 32-bit source manager expects (no SDK header is available to the build).
#include <windows.h>

#include <cstdint>

namespace tw {

constexpr uint32_t kGroupControl = 1, kGroupImage = 2;
constexpr uint16_t kDatCapability = 1, kDatEvent = 2, kDatIdentity = 3, kDatParent = 4,
                   kDatPendingXfers = 5, kDatUserInterface = 9, kDatImageInfo = 0x101,
                   kDatImageNativeXfer = 0x104;
constexpr uint16_t kMsgGet = 1, kMsgSet = 6, kMsgReset = 7, kMsgXferReady = 0x101,
                   kMsgCloseDsReq = 0x102, kMsgCloseDsOk = 0x103, kMsgOpenDsm = 0x301,
                   kMsgCloseDsm = 0x302, kMsgOpenDs = 0x401, kMsgCloseDs = 0x402,
                   kMsgUserSelect = 0x403, kMsgDisableDs = 0x501, kMsgEnableDs = 0x502,
                   kMsgProcessEvent = 0x601, kMsgEndXfer = 0x701;
constexpr uint16_t kSuccess = 0, kFailure = 1, kCancel = 3, kDsEvent = 4, kNotDsEvent = 5,
                   kXferDone = 6;
constexpr uint16_t kCapXferCount = 1, kIcapXferMech = 0x103;
constexpr uint16_t kOneValue = 5, kTypeUint16 = 4;

#pragma pack(push, 2)
struct one_value {
  uint16_t item_type;
  uint32_t item;
};
struct capability {
  uint16_t cap;
  uint16_t container_type;
  HANDLE container;
};
struct user_interface {
  uint16_t show_ui;
  uint16_t modal_ui;
  HWND parent;
};
struct event {
  void* event;
  uint16_t message;
};
struct pending_xfers {
  uint16_t count;
  uint32_t reserved;
};
struct image_info {
  int32_t x_resolution, y_resolution;
  int32_t width, length;
  int16_t samples_per_pixel;
  int16_t bits_per_sample[8];
  int16_t bits_per_pixel;
  uint16_t planar;
  int16_t pixel_type;
  uint16_t compression;
};
#pragma pack(pop)
static_assert(sizeof(one_value) == 6);
static_assert(sizeof(capability) == 8);
static_assert(sizeof(user_interface) == 8);
static_assert(sizeof(event) == 6);
static_assert(sizeof(pending_xfers) == 6);
static_assert(sizeof(image_info) == 42);

}  // namespace tw
