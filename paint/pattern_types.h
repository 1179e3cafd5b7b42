#pragma once
// The thirteen pattern types: tip size, mode, spacing and the rest of the
// parameters each pattern pen is built from, in one table.
#include <cstdint>

// How a mode-0 tip is passed through the transfer table.
enum pattern_transfer_use : int32_t {
  kTransferNone = 0,
  kTransferFirst = 1,  // first map only
  kTransferBoth = 2,   // first map then second
  kTransferDrop11 = 3, // first map, random dropout 2 in 11, second map
  kTransferDrop13 = 4, // first map, random dropout 2 in 13, second map
};

enum pattern_profile : int32_t {
  kProfileNone = 0,
  kProfileSmooth,
  kProfileEdge,     // smooth, samples on the radius count a quarter
  kProfileSpeckle,  // random holes, linear fall-off
  kProfileSparse,   // random holes, smooth
};

struct pattern_params {
  int32_t type = 0;
  const char* code = "";
  int32_t size = 0;  // tip edge d
  int32_t mode = 0;
  double spacing = 0;  // spacing factor
  double min_strength = 0;
  double gain = 1;
  double radius = 1;
  double profile = 1;
  double intensity = 1;
  int32_t threshold = 0;
  double curve_a = 0, curve_b = 1;
  double sphere_radius = 1;
  int32_t eraser = 0;
  int32_t transfer_use = kTransferNone;
  int32_t profile_kind = kProfileNone;
  int32_t transfer_variant = 6;  // 6: the table is not generated
  int32_t uses_paper = 1;        // types 12 and 13 never use one
};

// 1 and the parameters for type 1..13 at pen size s (at least 2 is used).
int pattern_params_for(int32_t type, int32_t size, int32_t eraser, pattern_params* out);
// Number of tips of the mode: 100, 1, or min(d, 100).
int32_t pattern_tip_count(int32_t mode, int32_t size);
