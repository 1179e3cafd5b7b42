#pragma once
// The brush: the 39 settings of the text format with their mappings, kept
// here and written into a libmypaint brush, whose stroke state it owns.
#include <cstddef>

#include "paint/mp_mapping.h"

typedef struct MyPaintBrush MyPaintBrush;

// Parses a brush text (need not be zero-terminated) into settings: all 39
// are cleared first. Returns the number of lines that named a known setting.
int mp_parse_brush_text(const char* text, std::size_t length, mp_setting settings[kMpSettingCount]);

class mp_brush {
 public:
  mp_brush() = default;
  ~mp_brush();
  mp_brush(const mp_brush&) = delete;
  mp_brush& operator=(const mp_brush&) = delete;

  // The library brush: its own defaults for the settings beyond the 39, the
  // 39 at base 0 without mappings. 0 when the library has no such setting.
  int create();
  // Replaces all 39 settings; base values are limited to the library's range.
  int apply(const mp_setting settings[kMpSettingCount]);
  // Writes a base value only when it differs from the stored one.
  void set_base(int index, float value);
  float base(int index) const { return settings_[index].base; }
  const mp_setting& setting(int index) const { return settings_[index]; }

  MyPaintBrush* handle() { return brush_; }

 private:
  void write_setting(int index);

  MyPaintBrush* brush_ = nullptr;
  mp_setting settings_[kMpSettingCount];
};

// Index of a setting name in the text format's order (for callers that set
// base values by name, such as set_paint).
enum mp_setting_id {
  kMpOpaque = 0,
  kMpRadiusLogarithmic = 3,
  kMpHardness = 4,
  kMpColorH = 19,
  kMpColorS = 20,
  kMpColorV = 21,
  kMpSmudge = 27,
  kMpEraser = 30,
};
