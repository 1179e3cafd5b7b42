#pragma once
// zwstool: converts documents and pictures and tells what a file holds, with
// the program's own reading and writing code.
//   zwstool convert IN OUT   open IN as the program opens it, write OUT as
//                            "save a copy" does (".zws", else an export)
//   zwstool info FILE        kind, size, sheets, pictures and changed areas
//   zwstool replay MACRO.zwm OUT [--canvas WxH] [--onto DOC]
//                            play a macro into a new white document (of the
//                            macro's canvas, or WxH) or onto DOC; write OUT
//   --root DIR               the installation tree (default: beside the tool)
// 0 on success; 1 with a one-line reason on err.
#include <cstdio>

int zwstool_run(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
