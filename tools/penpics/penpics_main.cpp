// penpics ROOT: writes the pen pictures into the installation tree at ROOT.
#include <cstdio>
#include <string>

#include "tools/penpics/penpics.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: penpics INSTALLATION_ROOT\n");
    return 2;
  }
  std::string error;
  if (!penpics_write(argv[1], 0, &error)) {
    std::fprintf(stderr, "penpics: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
