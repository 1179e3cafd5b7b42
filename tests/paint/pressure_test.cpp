// Simulated pressure from pointer speed and turning: the start, when updates
// happen, the floors, sharp turns, and the direction of the response.
#include <gtest/gtest.h>

#include <cmath>

#include "paint/pen_pressure.h"

namespace {

// A pointer that moves along a line, one sample every dt milliseconds.
struct pointer {
  zun_pen_pressure sim;
  int32_t x = 100, y = 100;
  uint32_t now = 5000;

  // Placed, then one update at 1000 px/s so that later updates have a speed
  // to compare with.
  pointer(float s = 0.5f) {
    sim.reset_at(now);
    sim.sample_at(x, y, now);
    go(20, 0, 10, s);
  }
  // One sample dx, dy away after dt ms; returns the pressure for size s.
  float go(int32_t dx, int32_t dy, uint32_t dt, float s = 0.5f) {
    x += dx, y += dy, now += dt;
    sim.sample_at(x, y, now);
    return sim.simulated_pressure(s);
  }
};

TEST(Pressure, StartsAtHalfAndTheFirstUpdateNeedsTwoSamples) {
  zun_pen_pressure sim;
  sim.reset_at(1000);
  EXPECT_FLOAT_EQ(sim.simulated_pressure(0.5f), 0.5f);
  sim.sample_at(0, 0, 1000);  // the first sample only places the pointer
  EXPECT_EQ(sim.updates, 0);
  EXPECT_EQ(sim.fresh, 0);
  sim.sample_at(3, 0, 1010);  // short step, 2 samples: no update yet
  EXPECT_EQ(sim.updates, 0);
  EXPECT_EQ(sim.fresh, 0);
  sim.sample_at(6, 0, 1020);  // the third sample completes the window
  EXPECT_EQ(sim.updates, 1);
  EXPECT_EQ(sim.fresh, 1);
  // Distances are measured from the last update's position: (3 + 6) / 3.
  EXPECT_FLOAT_EQ(sim.step, 3.0f);
  EXPECT_FLOAT_EQ(sim.speed, 150.0f);  // 3 px in 20 ms
  // Nothing to compare the first speed with: the pressure stays.
  EXPECT_FLOAT_EQ(sim.simulated_pressure(0.5f), 0.5f);

  // A long step updates on the second sample already.
  zun_pen_pressure jump;
  jump.reset_at(1000);
  jump.sample_at(0, 0, 1000);
  jump.sample_at(20, 0, 1010);
  EXPECT_EQ(jump.updates, 1);
  EXPECT_FLOAT_EQ(jump.step, 10.0f);  // the first sample counts in the mean
}

TEST(Pressure, AClockAtZeroStillStartsTheStroke) {
  zun_pen_pressure sim;
  sim.reset_at(0);
  sim.sample_at(0, 0, 0);
  sim.sample_at(20, 0, 10);
  EXPECT_EQ(sim.updates, 1) << "the second sample must not be taken for a first one";
}

TEST(Pressure, SteadySpeedKeepsThePressure) {
  pointer p;
  for (int i = 0; i < 10; ++i) EXPECT_FLOAT_EQ(p.go(12, 0, 12), 0.5f) << "sample " << i;
  EXPECT_EQ(p.sim.updates, 11);
}

TEST(Pressure, ARepeatedPositionChangesNothing) {
  pointer p;
  p.go(24, 0, 12);  // speed doubled: the pressure moved
  const zun_pen_pressure before = p.sim;
  ASSERT_NE(before.pressure, 0.5f);
  p.go(0, 0, 10);
  EXPECT_EQ(p.sim.fresh, 0);
  EXPECT_EQ(p.sim.samples, before.samples);
  EXPECT_EQ(p.sim.updates, before.updates);
  EXPECT_FLOAT_EQ(p.sim.distance, before.distance);
  EXPECT_EQ(p.sim.last_tick, before.last_tick);
  EXPECT_FLOAT_EQ(p.sim.ratio, before.ratio);
  EXPECT_FLOAT_EQ(p.sim.simulated_pressure(0.5f), before.pressure);
  // A sample that does not update returns the previous pressure too.
  p.go(1, 0, 10);
  EXPECT_EQ(p.sim.fresh, 0);
  EXPECT_FLOAT_EQ(p.sim.pressure, before.pressure);
}

TEST(Pressure, DirectionsInWholeDegrees) {
  pointer p;
  p.go(20, 0, 10);
  EXPECT_EQ(p.sim.direction, 180);  // rightwards
  p.go(0, 20, 10);
  EXPECT_EQ(p.sim.direction, 90);  // downwards on the screen
  p.go(-20, 0, 10);
  EXPECT_EQ(p.sim.direction, 0);
  p.go(0, -20, 10);
  EXPECT_EQ(p.sim.direction, 270);
  p.go(20, 20, 10);
  EXPECT_EQ(p.sim.direction, 135);
}

TEST(Pressure, LimitFloorsAndCeiling) {
  EXPECT_FLOAT_EQ(limit(0.0f, 0.49f), 0.1f);
  EXPECT_FLOAT_EQ(limit(0.0f, 0.5f), 0.05f);
  EXPECT_FLOAT_EQ(limit(0.07f, 0.2f), 0.1f);
  EXPECT_FLOAT_EQ(limit(0.07f, 0.8f), 0.07f);
  EXPECT_FLOAT_EQ(limit(1.7f, 0.3f), 1.0f);
  EXPECT_FLOAT_EQ(limit(0.42f, 0.3f), 0.42f);
}

// Speed doubling on every sample drives the pressure down to the pen's floor.
float floor_after_acceleration(float s) {
  pointer p(s);
  int32_t d = 22;
  float last = 1;
  for (int i = 0; i < 12; ++i, d *= 2) {
    const float now = p.go(d, 0, 10, s);
    EXPECT_LE(now, last + 1e-6f);
    last = now;
  }
  return last;
}

TEST(Pressure, AcceleratingStopsAtTheFloors) {
  EXPECT_FLOAT_EQ(floor_after_acceleration(0.8f), 0.05f);
  EXPECT_FLOAT_EQ(floor_after_acceleration(0.5f), 0.05f);
  EXPECT_FLOAT_EQ(floor_after_acceleration(0.3f), 0.1f);
  EXPECT_FLOAT_EQ(floor_after_acceleration(0.0f), 0.1f);  // size 0 counts as 0.01
}

TEST(Pressure, SlowingDownStopsAtOne) {
  pointer p;
  float last = 0;
  for (uint32_t dt = 22; dt < 100000; dt *= 2) last = p.go(11, 0, dt);
  EXPECT_FLOAT_EQ(last, 1.0f);
}

TEST(Pressure, AcceleratingThinsAndSlowingThickens) {
  pointer fast, slow;
  const float thinner = fast.go(24, 0, 12);  // 2000 px/s
  const float thicker = slow.go(12, 0, 24);  // 500 px/s
  EXPECT_LT(thinner, 0.5f);
  EXPECT_GT(thicker, 0.5f);
  // Speed doubled: 0.5 / (2^0.66 * sqrt(1 + 0.5 / 4)).
  EXPECT_NEAR(thinner, 0.5f / (std::pow(2.0f, 0.66f) * std::sqrt(1.125f)), 1e-5f);

  // Bigger pens react more strongly.
  pointer small(0.1f), big(0.9f);
  EXPECT_GT(small.go(24, 0, 12, 0.1f), big.go(24, 0, 12, 0.9f));
  pointer small2(0.1f), big2(0.9f);
  EXPECT_LT(small2.go(12, 0, 24, 0.1f), big2.go(12, 0, 24, 0.9f));
}

TEST(Pressure, TheRatioMovesAtMostSixfoldPerUpdate) {
  pointer p;
  p.go(11, 0, 1);  // 11000 px/s after 1000
  EXPECT_FLOAT_EQ(p.sim.ratio, 6.0f);
  p.go(11, 0, 110);  // back to 100 px/s: r = 1/110, ratio only to 1
  EXPECT_FLOAT_EQ(p.sim.ratio, 1.0f);
}

TEST(Pressure, ASharpTurnAfterSlowingThins) {
  pointer p;
  const float thick = p.go(20, 0, 40);  // half the speed: ratio 0.5
  ASSERT_GT(thick, 0.5f);
  ASSERT_FLOAT_EQ(p.sim.ratio, 0.5f);
  const float turned = p.go(0, 20, 40);  // a right angle at a step of 20 pixels
  EXPECT_NEAR(turned, thick * std::sqrt(0.5f), 1e-5f);
  EXPECT_NEAR(p.sim.ratio, std::sqrt(0.5f), 1e-6f);
  EXPECT_EQ(p.sim.prev_direction, p.sim.direction);

  // Turning while speeding up is an ordinary speed change.
  pointer q;
  q.go(40, 0, 10);  // ratio 2
  const float before = q.sim.pressure;
  const float after = q.go(0, 40, 10);  // same speed: r = 1, ratio goes to 1
  EXPECT_FLOAT_EQ(after, before);
  EXPECT_FLOAT_EQ(q.sim.ratio, 1.0f);
  // A sharp turn with a short step is not one either.
  pointer r;
  r.go(20, 0, 40);
  const float slowed = r.sim.pressure;
  r.go(0, 1, 4);  // 1 px steps: no update until the third sample
  r.go(0, 1, 4);
  r.go(0, 1, 4);  // step (1 + 2 + 3) / 3 = 2 at a third of the speed
  ASSERT_EQ(r.sim.fresh, 1);
  EXPECT_NE(r.sim.prev_direction, r.sim.direction);
  EXPECT_GT(r.sim.pressure, slowed) << "slowing down again, not a turn";
}

TEST(Pressure, ResetStartsOver) {
  pointer p;
  p.go(12, 0, 10);
  p.go(40, 0, 10);
  p.sim.reset_at(9000);
  EXPECT_FLOAT_EQ(p.sim.pressure, 0.5f);
  EXPECT_EQ(p.sim.start_tick, 9000u);
  EXPECT_EQ(p.sim.last_tick, 0u);
  EXPECT_EQ(p.sim.updates, 0);
  EXPECT_FLOAT_EQ(p.sim.ratio, 1.0f);
}

}  // namespace
