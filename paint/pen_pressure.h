#pragma once
// Pressure for pointers that have none, derived from the pointer's speed and
// turning: speeding up thins the line, slowing down thickens it.
#include <cstdint>

class zun_pen_pressure {
 public:
  // Back to the start of a stroke (pressure 0.5); start_tick = now.
  void reset();
  void reset_at(uint32_t now);
  // One pointer position without tablet pressure.
  void simulator_sample(int32_t x, int32_t y);
  void sample_at(int32_t x, int32_t y, uint32_t now);
  // The pressure after the last sample for a pen of size fraction s.
  float simulated_pressure(float s);

  float pressure = 0.5f;
  int32_t last_x = 0, last_y = 0;
  int samples = 0;
  int window = 3;
  int updates = 0;
  float distance = 0;
  float prev_speed = 0, speed = 0;
  int prev_direction = 0, direction = 0;
  float total_speed = 0;
  float step = 0;
  float ratio = 1.0f;
  uint32_t start_tick = 0, last_tick = 0;
  int fresh = 0;
};

// A simulated pressure kept between the pen's floor (0.1 below half size,
// else 0.05) and 1.
float limit(float p, float s);
