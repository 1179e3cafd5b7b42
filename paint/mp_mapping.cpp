// Setting and input names of the text brush format.
#include "paint/mp_mapping.h"

#include <cstring>

const char* const kMpInputNames[kMpInputCount] = {
    "pressure", "speed1",           "speed2",         "random", "stroke",
    "direction", "tilt_declination", "tilt_ascension", "custom"};

const char* const kMpSettingNames[kMpSettingCount] = {
    "opaque",           "opaque_multiply",
    "opaque_linearize", "radius_logarithmic",
    "hardness",         "dabs_per_basic_radius",
    "dabs_per_actual_radius", "dabs_per_second",
    "radius_by_random", "speed1_slowness",
    "speed2_slowness",  "speed1_gamma",
    "speed2_gamma",     "offset_by_random",
    "offset_by_speed",  "offset_by_speed_slowness",
    "slow_tracking",    "slow_tracking_per_dab",
    "tracking_noise",   "color_h",
    "color_s",          "color_v",
    "change_color_h",   "change_color_l",
    "change_color_hsl_s", "change_color_v",
    "change_color_hsv_s", "smudge",
    "smudge_length",    "smudge_radius_log",
    "eraser",           "stroke_threshold",
    "stroke_duration_logarithmic", "stroke_holdtime",
    "custom_input",     "custom_input_slowness",
    "elliptical_dab_ratio", "elliptical_dab_angle",
    "direction_filter"};

int mp_mapping::add(float px, float py) {
  if (count >= kMpMaxPoints) return 0;
  x[count] = px;
  y[count] = py;
  ++count;
  return 1;
}

void mp_setting::clear() {
  base = 0.0f;
  for (mp_mapping& m : inputs) m.clear();
}

namespace {
int same_name(const char* table_name, const char* name, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (!table_name[i]) return 0;
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (table_name[i] != c) return 0;
  }
  return table_name[length] == 0;
}

int find(const char* const* names, int count, const char* name, std::size_t length) {
  if (!name) return -1;
  for (int i = 0; i < count; ++i)
    if (same_name(names[i], name, length)) return i;
  return -1;
}
}  // namespace

int mp_setting_index(const char* name, std::size_t length) {
  return find(kMpSettingNames, kMpSettingCount, name, length);
}

int mp_input_index(const char* name, std::size_t length) {
  return find(kMpInputNames, kMpInputCount, name, length);
}
