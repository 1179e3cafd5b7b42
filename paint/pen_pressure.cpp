#include "paint/pen_pressure.h"

#include <cmath>

#include "base/os.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

float limit(float p, float s) {
  const float floor = s < 0.5f ? 0.1f : 0.05f;
  const float r = p > floor ? p : floor;
  return r < 1.0f ? r : 1.0f;
}

void zun_pen_pressure::reset() { reset_at(os_milliseconds()); }

void zun_pen_pressure::reset_at(uint32_t now) {
  *this = zun_pen_pressure{};
  start_tick = now;
}

void zun_pen_pressure::simulator_sample(int32_t x, int32_t y) {
  sample_at(x, y, os_milliseconds());
}

void zun_pen_pressure::sample_at(int32_t x, int32_t y, uint32_t now) {
  if (last_tick == 0) {
    last_x = x, last_y = y;
    // A clock reading of 0 must still mark the first sample as taken.
    last_tick = now ? now : 1;
    samples = 1;
    return;
  }
  fresh = 0;
  if (x == last_x && y == last_y) return;
  const double dx = double(x) - last_x, dy = double(y) - last_y;
  const float d = static_cast<float>(std::sqrt(dx * dx + dy * dy));
  samples += 1;
  distance += d;
  if (!(d > 10.0f || (window > 0 && samples % window == 0))) return;

  fresh = 1;
  step = distance / samples;
  updates += 1;
  samples = 0;
  prev_direction = direction;
  int deg = static_cast<int>(std::atan2(double(y) - last_y, double(last_x) - x) * 180.0 / kPi);
  direction = ((deg % 360) + 360) % 360;
  prev_speed = speed;
  if (now != last_tick) speed = step * 1000.0f / static_cast<float>(now - last_tick);
  total_speed += speed;
  last_x = x, last_y = y;
  last_tick = now ? now : 1;
  distance = 0;
}

float zun_pen_pressure::simulated_pressure(float s) {
  const float p = pressure;
  if (!fresh) return p;
  if (s < 0.01f) s = 0.01f;
  if (std::fabs(prev_speed) <= 0.01f || std::fabs(speed) <= 0.01f) return p;
  const float r = speed / prev_speed;

  const int turn = std::abs(prev_direction - direction);
  const int t = turn < std::abs(360 - turn) ? turn : std::abs(360 - turn);
  if (step >= 5.0f && t >= 45 && ratio < 0.8f) {
    prev_direction = direction;
    ratio = std::sqrt(ratio);
    pressure = limit(p * ratio, s);
    return pressure;
  }

  // The ratio follows the speed change, by at most a factor of 6 per update.
  if (ratio > r)
    ratio = ratio / 6 > r ? ratio / 6 : r;
  else
    ratio = ratio * 6 < r ? ratio * 6 : r;
  if (std::fabs(ratio - 1.0f) <= 0.01f) return p;

  float h = std::pow(ratio, 0.66f);
  const float g = std::sqrt(1.0f + s * 0.25f);
  h = h >= 1.0f ? h * g : h / g;
  pressure = limit(p / h, s);
  return pressure;
}
