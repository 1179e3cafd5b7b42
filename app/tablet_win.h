#pragma once
// The program's tablet: one connection to zz_device for the whole program
// (loaded at start, attached to the main window on every layout and
// activation) and, per pen panel, the pen_tablet the stroke pipeline reads.
#include <windows.h>

#include "dll/device/zz_device.h"
#include "paint/pen_panel.h"
#include "paint/pen_pressure.h"

// The zz_device tablet exports the program calls. The program uses its import
// library; tests fill the table from a loaded zz_device.dll.
struct tablet_api {
  int(__cdecl* init)();
  int(__cdecl* quit)();
  int(__cdecl* in_use)();
  int(__cdecl* device_name)(char*);
  int(__cdecl* attach)(zz_tablet_context*, HWND, int, int);
  void(__cdecl* unattach)(zz_tablet_context*);
  int(__cdecl* when_press)(zz_tablet_context*);
  int(__cdecl* when_move)(zz_tablet_context*);
  int(__cdecl* is_rubber)(zz_tablet_context*);
  void(__cdecl* focus)(zz_tablet_context*, int);
  void(__cdecl* info_changed)(zz_tablet_context*);
};
// Defined by the program (tablet_imports_win.cpp) or by a test.
extern const tablet_api* g_tablet_api;

// Program start and exit.
void tablet_start();
void tablet_stop();
// On every layout of the main window and on activation of the application.
void tablet_attach(HWND window);
// On the tablet's information-change message (0x7FF6).
void tablet_info_changed();
int tablet_attached();
int tablet_in_use();  // the tablet library is loaded
zz_tablet_context* tablet_record();
const char* tablet_device_name();
// 1 when a context is attached; otherwise tells the user there is no tablet.
int tablet_check(HWND window);

class zun_pen_wacom : public pen_tablet {
 public:
  // tablet_present: a context was attached when the pen panel opened.
  zun_pen_wacom(zz_tablet_context* record, int tablet_present);
  ~zun_pen_wacom() override;
  zun_pen_wacom(const zun_pen_wacom&) = delete;
  zun_pen_wacom& operator=(const zun_pen_wacom&) = delete;

  void press(int32_t x, int32_t y) override;
  void press_simulated(zun_pen_engine& pen) override;
  void move(int32_t x, int32_t y) override;
  void release(int32_t x, int32_t y) override;
  int has_pressure() const override { return has_pressure_; }
  float pressure() const override { return pressure_; }
  int eraser_end() const override { return eraser_end_; }
  int packets() const override { return packets_; }
  int32_t packet_x(int i) const override;
  int32_t packet_y(int i) const override;
  float packet_pressure(int i) const override;

  int tablet_present;
  zun_pen_pressure* simulator;  // owned
  // Tests: milliseconds for the simulator (null: the system clock).
  uint32_t (*clock)() = nullptr;

 private:
  void clear(int32_t x, int32_t y);
  int tablet_usable() const;
  uint32_t now() const;

  zz_tablet_context* record_;
  zun_pen_engine* pen_ = nullptr;  // the panel's, from the last pen-down
  int has_pressure_ = 0;
  int eraser_end_ = 0;
  float pressure_ = 1.0f;
  int32_t x_ = 0, y_ = 0;
  int packets_ = 0;
};
