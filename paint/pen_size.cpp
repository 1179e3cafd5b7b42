#include "paint/pen_size.h"

#include <cmath>

void zun_pen_size::create(float stored_size) {
  exists_ = 1;
  hidden_ = 0;
  // A stored size outside 0..1 (or not a number) still lands on the slider.
  const float p = std::isnan(stored_size) ? 0.0f : std::round(stored_size * 100.0f);
  set_position(p < 0 ? 0 : p > 100 ? 100 : static_cast<int>(p));
}

float zun_pen_size::value() const {
  if (!exists_) return 1.0f;
  if (hidden_) return 0.0f;
  return position_ / 100.0f;
}

void zun_pen_size::set_position(int position) {
  position_ = position < 0 ? 0 : position > 100 ? 100 : position;
}

int zun_pen_size::key_press(int code, int alt, int pointer_confined) {
  if (!exists_ || alt || pointer_confined) return 0;
  if (code == 91 || code == 219)
    set_position(position_ - 1);
  else if (code == 93 || code == 221)
    set_position(position_ + 1);
  else
    return 0;
  return 1;
}
