// brush_time [TREE] [PEN...]: dabs per second of every brush pen (or those
// given) in the race of bench/brush_race.h, the best of three runs each (or
// QM_BRUSH_RUNS). A plain program, so that the Windows build can be measured
// under Wine beside the native one; QM_BRUSH_TIME=ours times ours alone.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/brush_race.h"

namespace {

int measure(const pen_desc& d, const std::string& folder, bool lib_too) {
  double lib = 0, ours = 0;
  long long dabs = 0;
  const char* reps = std::getenv("QM_BRUSH_RUNS");
  const int runs = reps ? std::atoi(reps) : 3;
  for (int r = 0; r < runs; ++r) {
    const brush_race::result x = brush_race::run(d, folder.c_str(), lib_too);
    if (!x.ok) {
      std::printf("%d %s: brush not found in %s\n", d.id, d.brush_name, folder.c_str());
      return 0;
    }
    if (lib_too && x.lib_dabs / x.lib_seconds > lib) lib = x.lib_dabs / x.lib_seconds;
    if (x.our_dabs / x.our_seconds > ours) ours = x.our_dabs / x.our_seconds;
    dabs = x.our_dabs;
  }
  if (lib_too)
    std::printf("%3d %-28s dabs %8lld  library %10.0f/s  ours %10.0f/s  ours/library %.2f\n", d.id,
                d.brush_name, dabs, lib, ours, ours / lib);
  else
    std::printf("%3d %-28s dabs %8lld  ours %10.0f/s\n", d.id, d.brush_name, dabs, ours);
  std::fflush(stdout);
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  const char* tree = argc > 1 ? argv[1] : std::getenv("QM_TREE");
  if (!tree) {
    std::fprintf(stderr, "usage: brush_time TREE [PEN...]\n");
    return 2;
  }
  const char* only = std::getenv("QM_BRUSH_TIME");
  const bool lib_too = !only || std::strcmp(only, "ours") != 0;
  const std::string folder = std::string(tree) + "\\GLIB\\penpat\\mp";
  for (int i = 0; i < kPenCount; ++i) {
    const pen_desc& d = pen_catalogue()[i];
    if (d.kind != kPenBrush) continue;
    bool wanted = argc <= 2;
    for (int a = 2; a < argc; ++a) wanted |= std::atoi(argv[a]) == d.id;
    if (wanted) measure(d, folder, lib_too);
  }
  return 0;
}
