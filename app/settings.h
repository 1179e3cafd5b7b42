#pragma once
// The settings that outlive a run (registry values of the program's key).
#include <cstdint>

struct app_settings {
  int first_run = 1;
  int background = 0;  // 0..9 built-in desktop backgrounds, 10 the user's own
  // Run-time values found at start, not stored.
  int printer_available = 0;
  int multitouch_available = 0;
  uint32_t colours[2][16] = {};
  int colour_count[2] = {};
  uint32_t colour = 0xFFFFFF;
  float scale = 1.0f;
  int board_list = 0;
};

// "Para_BackGroundSeq": below 0 is 0, above 9 is 10 (the user's own picture).
int settings_background_index(const char* text);
// "Para_FirstRun": 1 unless the number is 0.
int settings_first_run(const char* text);
// The initial run-time values (colour lists red, green, blue; white; scale 1).
void settings_defaults(app_settings& s);
// The text of the open request a second instance sends: ".zws=" and the path.
// Receiving: path from 5 characters after the first ".zws" (at most size - 1).
int parse_open_request(const char* data, unsigned long size, char* path, unsigned long path_size);
