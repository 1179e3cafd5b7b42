#pragma once
// Writes a small uncompressed AVI clip (one 32-bit RGB video stream, no audio),
// enough for the system's MCI video driver to open and play.
#include <string>

struct AviClipSpec {
  int width = 32;
  int height = 24;
  int frames = 10;
  int fps = 10;
};

// Frame f, column x: blue 25 f, green 8 x, red 255 - 25 f. Returns false on any write failure.
bool write_test_avi(const std::string& path, const AviClipSpec& clip);
