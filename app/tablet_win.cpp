#include "app/tablet_win.h"

#include <cstring>
#include <new>

#include "base/os.h"

namespace {

struct tablet_connection {
  zz_tablet_context record;
  int initialised;
  int usable;
  int attached;
  char name[512];
};
tablet_connection g_tablet;

const tablet_api& api() { return *g_tablet_api; }

}  // namespace

void tablet_start() {
  std::memset(&g_tablet, 0, sizeof g_tablet);
  if (!g_tablet_api) return;
  g_tablet.initialised = 1;
  g_tablet.usable = api().init();
  if (g_tablet.usable) api().device_name(g_tablet.name);
}

void tablet_stop() {
  if (g_tablet.initialised) {
    // The context's packet array is the library's: give it back before unloading.
    if (g_tablet.attached) api().unattach(&g_tablet.record);
    api().quit();
  }
  std::memset(&g_tablet, 0, sizeof g_tablet);
}

void tablet_attach(HWND window) {
  if (!g_tablet.initialised || !g_tablet.usable || !window || !IsWindow(window)) return;
  RECT client;
  if (!GetClientRect(window, &client) || client.right <= client.left || client.bottom <= client.top)
    return;
  POINT origin = {0, 0};
  if (!ClientToScreen(window, &origin) || origin.x < 0 || origin.y < 0) return;
  if (g_tablet.attached) api().unattach(&g_tablet.record);
  g_tablet.attached = api().attach(&g_tablet.record, window, origin.x, origin.y);
  if (g_tablet.attached) api().focus(&g_tablet.record, 1);
}

void tablet_info_changed() {
  if (g_tablet.attached) api().info_changed(&g_tablet.record);
}

int tablet_attached() { return g_tablet.attached; }
int tablet_in_use() { return g_tablet.initialised && g_tablet.usable; }
zz_tablet_context* tablet_record() { return &g_tablet.record; }
const char* tablet_device_name() { return g_tablet.name; }

zun_pen_wacom::zun_pen_wacom(zz_tablet_context* record, int present)
    : tablet_present(present), simulator(new (std::nothrow) zun_pen_pressure), record_(record) {}

zun_pen_wacom::~zun_pen_wacom() { delete simulator; }

uint32_t zun_pen_wacom::now() const { return clock ? clock() : os_milliseconds(); }

int zun_pen_wacom::tablet_usable() const {
  return tablet_present && record_ && g_tablet_api && api().in_use();
}

void zun_pen_wacom::clear(int32_t x, int32_t y) {
  pressure_ = 1.0f;
  has_pressure_ = eraser_end_ = 0;
  x_ = x, y_ = y;
  packets_ = 0;
}

void zun_pen_wacom::press(int32_t x, int32_t y) {
  clear(x, y);
  if (!tablet_usable() || !api().when_press(record_)) return;
  has_pressure_ = 1;
  eraser_end_ = api().is_rubber(record_);
  pressure_ = record_->pressure;
}

void zun_pen_wacom::press_simulated(zun_pen_engine& pen) {
  pen_ = &pen;
  if (has_pressure_ || !simulator || !pen.simulate_flag()) return;
  simulator->reset_at(now());
  pressure_ = simulator->simulated_pressure(pen.size_fraction());
  has_pressure_ = 1;
}

void zun_pen_wacom::move(int32_t x, int32_t y) {
  clear(x, y);
  if (tablet_usable()) {
    has_pressure_ = api().when_move(record_);
    if (has_pressure_) {
      const uint32_t n = record_->packet_count;
      packets_ = n < kTabletMaxPackets ? static_cast<int>(n) : kTabletMaxPackets;
    }
  }
  if (has_pressure_ || !simulator || !pen_ || !pen_->simulate_flag()) return;
  simulator->sample_at(x, y, now());
  pressure_ = simulator->simulated_pressure(pen_->size_fraction());
  has_pressure_ = 1;
}

void zun_pen_wacom::release(int32_t x, int32_t y) {
  clear(x, y);
  pen_ = nullptr;
}

int32_t zun_pen_wacom::packet_x(int i) const {
  return i >= 0 && i < packets_ && record_->packets ? record_->packets[i].x : x_;
}

int32_t zun_pen_wacom::packet_y(int i) const {
  return i >= 0 && i < packets_ && record_->packets ? record_->packets[i].y : y_;
}

float zun_pen_wacom::packet_pressure(int i) const {
  return i >= 0 && i < packets_ && record_->packets ? record_->packets[i].pressure : pressure_;
}
