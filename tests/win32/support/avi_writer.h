#pragma once
// Writes a small uncompressed AVI clip (one 24-bit video stream, no audio),
// enough for the system's MCI video driver to open and play.
#include <string>

struct AviClipSpec {
  int width = 32;
  int height = 24;
  int frames = 10;
  int fps = 10;
};

// Frame i is filled with one colour that changes with i. Returns false on any write failure.
bool write_test_avi(const std::string& path, const AviClipSpec& spec);
