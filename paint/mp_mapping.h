#pragma once
// The brush text's settings and inputs by name, and the mapping curve that an
// input gives a setting. The names and their order are those of the older
// text brush format; brush.cpp turns them into the library's identifiers.
#include <cstddef>

inline constexpr int kMpInputCount = 9;
inline constexpr int kMpSettingCount = 39;
inline constexpr int kMpMaxPoints = 8;

// Up to 8 control points (x, y); fewer than 2 make the mapping inactive.
struct mp_mapping {
  int count = 0;
  float x[kMpMaxPoints] = {};
  float y[kMpMaxPoints] = {};

  void clear() { count = 0; }
  int active() const { return count >= 2; }
  int add(float px, float py);  // 0 when full
};

// A setting: its base value and one mapping per input.
struct mp_setting {
  float base = 0.0f;
  mp_mapping inputs[kMpInputCount];

  void clear();
};

extern const char* const kMpInputNames[kMpInputCount];
extern const char* const kMpSettingNames[kMpSettingCount];

// Index of a name among the 39 settings or the 9 inputs, compared without
// regard to case; -1 when unknown.
int mp_setting_index(const char* name, std::size_t length);
int mp_input_index(const char* name, std::size_t length);
