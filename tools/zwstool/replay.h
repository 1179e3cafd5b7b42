#pragma once
// zwstool replay: a macro played headless, record by record, through the
// program's players and canvas mapping, into a new white document (or one
// given), written out as "save a copy" writes.
#include <cstdint>
#include <cstdio>
#include <string>

struct replay_options {
  const char* macro = nullptr;
  const char* out = nullptr;
  int32_t width = 0, height = 0;  // --canvas; 0: the macro's own canvas
  const char* onto = nullptr;     // --onto DOC
  uint32_t seed = 1;              // random pen tips; fixed, so two runs agree
};

// "WxH" with both sides in 1..limit; 0 otherwise.
int replay_parse_canvas(const char* text, int32_t* width, int32_t* height);
int zwstool_replay(const replay_options& o, std::FILE* out, std::FILE* err);
