#pragma once
// Fixtures and ImageMagick's own decoding of them (binary PPM / PAM), with
// pixel-by-pixel comparisons that name the first differing pixel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

struct dib_block;

std::string fixture(const std::string& name);  // path of tests/image/fixtures/<name>

struct netpbm {
  int width = 0, height = 0, channels = 0;  // 3 (PPM) or 4 (PAM with alpha)
  std::vector<unsigned char> px;            // top row first, red-green-blue(-alpha)
  const unsigned char* at(int x, int y) const { return &px[(std::size_t(y) * width + x) * channels]; }
};
bool read_netpbm(const std::string& path, netpbm& out);

// A 24-bit block against the expected picture: every pixel within tolerance;
// with only_opaque, pixels whose expected alpha is not 255 are not compared.
::testing::AssertionResult same_pixels(const dib_block* b, const netpbm& want, int tolerance = 0,
                                       bool only_opaque = false);
// An 8-bit alpha plane against the fourth channel of a PAM.
::testing::AssertionResult same_alpha(const dib_block* alpha, const netpbm& want);
// The whole file as bytes (for writing malformed variants).
std::vector<unsigned char> file_bytes(const std::string& path);
bool write_bytes(const std::string& path, const std::vector<unsigned char>& bytes);
