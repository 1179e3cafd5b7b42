#include "base/state_queue.h"

int state_post(app_state_queue& q, uint32_t key, uint32_t value) {
  for (int i = 0; i < q.count; ++i)
    if (q.key[i] == key) return 0;
  if (q.count >= app_state_queue::kCapacity) return 0;
  q.key[q.count] = key;
  q.value[q.count] = value;
  ++q.count;
  return 1;
}

int state_pending(const app_state_queue& q, uint32_t key, uint32_t* value) {
  for (int i = 0; i < q.count; ++i)
    if (q.key[i] == key) {
      if (value) *value = q.value[i];
      return 1;
    }
  return 0;
}

void state_clear(app_state_queue& q) { q = app_state_queue{}; }

namespace {
app_state_queue g_queue;
int g_initialised = 0;
}  // namespace

app_state_queue& app_changes() { return g_queue; }
int post_change(uint32_t key, uint32_t value) { return state_post(g_queue, key, value); }
int app_initialised() { return g_initialised; }
void set_app_initialised(int on) { g_initialised = on; }
