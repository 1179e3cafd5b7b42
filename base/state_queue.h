#pragma once
// Pending global changes (key, value), posted by any part of the program and
// flushed to the panels after every message. One entry per key: the first value wins.
// Also the application-initialised flag that lower layers consult before they
// post changes or mark documents modified.
#include <cstdint>

struct app_state_queue {
  static constexpr int kCapacity = 40;
  uint32_t key[kCapacity] = {};
  uint32_t value[kCapacity] = {};
  uint16_t count = 0;
};

// 1 when queued; 0 when the key is already pending (the first value stays) or the queue is full.
int state_post(app_state_queue& q, uint32_t key, uint32_t value);
// 1 and the value when the key is pending.
int state_pending(const app_state_queue& q, uint32_t key, uint32_t* value);
void state_clear(app_state_queue& q);

// The process-wide queue (the UI thread's) and its shorthand.
app_state_queue& app_changes();
int post_change(uint32_t key, uint32_t value = 0);

// 1 while all application objects exist (set and cleared by start-up).
int app_initialised();
void set_app_initialised(int on);

// Keys named across the program.
enum : uint32_t {
  kStateRelayout = 1,
  kStateInteractionMode = 2,
  kStateResetPenSlot = 4,
  kStateOpacity = 64,
  kStateDocument256 = 256,
  kStateDocument512 = 512,
  kStateModified = 1024,
  kStateView4096 = 4096,
  kStateView = 8192,
  kStateHistory = 0x4000,
  kStateRegionEnded = 0x10000,
  kStateBackground = 0x100000,
  kStateTitle = 0x1000000,
};
