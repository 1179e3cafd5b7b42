#include "paint/pattern_types.h"

#include <algorithm>

namespace {

struct type_row {
  const char* code;
  int32_t size_mult;  // d = s * this
  int32_t mode;
  int32_t transfer_use;
  int32_t profile_kind;
  int32_t variant;
};

constexpr type_row kTypes[13] = {
    {"fl", 1, 0, kTransferFirst, kProfileSmooth, 0},
    {"pe", 1, 0, kTransferBoth, kProfileEdge, 1},
    {"g0", 4, 1, kTransferNone, kProfileNone, 6},
    {"g1", 4, 0, kTransferDrop11, kProfileSpeckle, 2},
    {"wa", 1, 2, kTransferNone, kProfileNone, 6},
    {"br", 2, 2, kTransferNone, kProfileNone, 6},
    {"ma", 1, 0, kTransferBoth, kProfileSmooth, 3},
    {"cr", 1, 0, kTransferBoth, kProfileSmooth, 4},
    {"ch", 1, 0, kTransferDrop13, kProfileSparse, 5},
    {"to", 2, 1, kTransferNone, kProfileNone, 6},
    {"ca", 2, 2, kTransferNone, kProfileNone, 6},
    {"hr", 1, 1, kTransferNone, kProfileNone, 6},
    {"sr", 1, 0, kTransferBoth, kProfileSmooth, 4},
};

// Below a: a; at or above b: b.
double clamped(double v, double a, double b) { return v < a ? a : v >= b ? b : v; }

}  // namespace

int32_t pattern_tip_count(int32_t mode, int32_t size) {
  if (mode == 0) return 100;
  if (mode == 1) return 1;
  return std::min(size, 100);
}

int pattern_params_for(int32_t type, int32_t s, int32_t eraser, pattern_params* out) {
  if (!out || type < 1 || type > 13) return 0;
  s = std::max(s, 2);
  const type_row& row = kTypes[type - 1];
  pattern_params p;
  p.type = type;
  p.code = row.code;
  p.size = s * row.size_mult;
  p.mode = row.mode;
  p.eraser = eraser;
  p.transfer_use = row.transfer_use;
  p.profile_kind = row.profile_kind;
  p.transfer_variant = row.variant;
  const double d = p.size;
  switch (type) {
    case 1:
      p.spacing = std::min(1 / d, 0.1), p.radius = 0.9, p.profile = 1.2;
      break;
    case 2:
      p.spacing = std::min(1 / d, 0.1), p.min_strength = 0.1, p.radius = 0.8, p.profile = 1.2;
      break;
    case 3:
      p.spacing = clamped(2 / d, 0.15, 0.4), p.min_strength = 0.2, p.radius = 1.0;
      p.profile = 1.2, p.intensity = 0.5;
      break;
    case 4:
      p.spacing = clamped(2.5 / d, 0.2, 0.4), p.min_strength = 0.2, p.radius = 0.5;
      break;
    case 5:
      p.spacing = std::min(1 / d, 0.1), p.min_strength = 0.1, p.threshold = 160;
      break;
    case 6:
      p.spacing = std::min(2 / d, 0.1), p.min_strength = 0.1;
      break;
    case 7:
      p.spacing = clamped(2.5 / d, 0.1, 0.25), p.min_strength = 0.5, p.gain = 5;
      p.curve_a = 0.8, p.curve_b = 5, p.radius = 1.0, p.profile = 1.2, p.intensity = 0.25;
      break;
    case 8:
      p.spacing = clamped(2.5 / d, 0.2, 0.4), p.curve_a = 0.5, p.curve_b = 3;
      break;
    case 9:
      p.spacing = clamped(2.5 / d, 0.2, 0.5), p.min_strength = 0.1, p.profile = 1.2;
      break;
    case 10: {
      p.spacing = clamped(2.5 / d, 0.1, 0.25), p.min_strength = 0.1;
      p.curve_a = 0.5, p.curve_b = 7, p.profile = 1.2, p.intensity = 0.25;
      const int32_t k = std::max((p.size - 2) / 2, 2);
      p.sphere_radius = k - 1;
      break;
    }
    case 11:
      p.spacing = std::min(1 / d, 0.1), p.min_strength = 0.1;
      break;
    case 12:
      p.spacing = clamped(2.5 / d, 0.1, 0.25), p.min_strength = 0.3, p.uses_paper = 0;
      break;
    case 13:
      p.spacing = clamped(2.5 / d, 0.1, 0.25), p.min_strength = 0.5;
      p.curve_a = 0.99, p.curve_b = 7, p.uses_paper = 0;
      break;
  }
  *out = p;
  return 1;
}
