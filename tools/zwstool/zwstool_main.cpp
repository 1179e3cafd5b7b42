#include <cstdio>

#include "tools/zwstool/zwstool.h"

int main(int argc, char** argv) { return zwstool_run(argc, argv, stdout, stderr); }
