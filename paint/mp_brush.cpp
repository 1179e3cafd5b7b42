// The brush over libmypaint: the library's identifiers are looked up by the
// text format's names once, and every setting is written through them.
#include "paint/mp_brush.h"

#include <mypaint-brush-settings.h>
#include <mypaint-brush.h>

#include <cmath>

namespace {
struct library_ids {
  int ok = 0;
  MyPaintBrushSetting setting[kMpSettingCount];
  MyPaintBrushInput input[kMpInputCount];
  float min[kMpSettingCount], max[kMpSettingCount];
};

const library_ids& ids() {
  static const library_ids table = [] {
    library_ids t;
    t.ok = 1;
    for (int i = 0; i < kMpSettingCount; ++i) {
      int id = mypaint_brush_setting_from_cname(kMpSettingNames[i]);
      if (id < 0 || id >= MYPAINT_BRUSH_SETTINGS_COUNT) {
        t.ok = 0;
        continue;
      }
      t.setting[i] = MyPaintBrushSetting(id);
      const MyPaintBrushSettingInfo* info = mypaint_brush_setting_info(t.setting[i]);
      t.min[i] = info ? info->min : -1e30f;
      t.max[i] = info ? info->max : 1e30f;
    }
    for (int i = 0; i < kMpInputCount; ++i) {
      int id = mypaint_brush_input_from_cname(kMpInputNames[i]);
      if (id < 0 || id >= MYPAINT_BRUSH_INPUTS_COUNT) {
        t.ok = 0;
        continue;
      }
      t.input[i] = MyPaintBrushInput(id);
    }
    return t;
  }();
  return table;
}

float limit(int index, float v) {
  const library_ids& t = ids();
  if (std::isnan(v)) return 0.0f;
  if (v < t.min[index]) return t.min[index];
  if (v > t.max[index]) return t.max[index];
  return v;
}
}  // namespace

mp_brush::~mp_brush() {
  if (brush_) mypaint_brush_unref(brush_);
}

int mp_brush::create() {
  if (brush_) return 1;
  if (!ids().ok) return 0;
  brush_ = mypaint_brush_new();
  if (!brush_) return 0;
  mypaint_brush_from_defaults(brush_);
  for (int i = 0; i < kMpSettingCount; ++i) {
    settings_[i].clear();
    write_setting(i);
  }
  return 1;
}

int mp_brush::apply(const mp_setting settings[kMpSettingCount]) {
  if (!brush_) return 0;
  for (int i = 0; i < kMpSettingCount; ++i) {
    settings_[i] = settings[i];
    settings_[i].base = limit(i, settings[i].base);
    write_setting(i);
  }
  return 1;
}

void mp_brush::set_base(int index, float value) {
  if (!brush_ || index < 0 || index >= kMpSettingCount) return;
  value = limit(index, value);
  if (settings_[index].base == value) return;
  settings_[index].base = value;
  mypaint_brush_set_base_value(brush_, ids().setting[index], value);
}

void mp_brush::write_setting(int index) {
  const library_ids& t = ids();
  const mp_setting& s = settings_[index];
  const MyPaintBrushSetting id = t.setting[index];
  mypaint_brush_set_base_value(brush_, id, s.base);
  for (int j = 0; j < kMpInputCount; ++j) {
    const mp_mapping& m = s.inputs[j];
    const int n = m.active() ? m.count : 0;
    mypaint_brush_set_mapping_n(brush_, id, t.input[j], n);
    for (int k = 0; k < n; ++k) mypaint_brush_set_mapping_point(brush_, id, t.input[j], k, m.x[k], m.y[k]);
  }
}
