#include "tests/image/image_oracle.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "base/dib.h"

std::string fixture(const std::string& name) { return std::string(QM_IMAGE_FIXTURES) + "/" + name; }

std::vector<unsigned char> file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

bool write_bytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

namespace {
// Header tokens separated by white space, "#" comments skipped.
bool token(const std::vector<unsigned char>& b, std::size_t& pos, std::string& out) {
  out.clear();
  while (pos < b.size()) {
    if (b[pos] == '#') {
      while (pos < b.size() && b[pos] != '\n') ++pos;
    } else if (std::isspace(b[pos])) {
      ++pos;
    } else {
      break;
    }
  }
  while (pos < b.size() && !std::isspace(b[pos])) out += static_cast<char>(b[pos++]);
  return !out.empty();
}
}  // namespace

bool read_netpbm(const std::string& path, netpbm& out) {
  std::vector<unsigned char> b = file_bytes(path);
  std::size_t pos = 0;
  std::string t;
  if (!token(b, pos, t)) return false;
  int maxval = 0;
  if (t == "P6") {
    std::string w, h, m;
    if (!token(b, pos, w) || !token(b, pos, h) || !token(b, pos, m)) return false;
    out.width = std::atoi(w.c_str());
    out.height = std::atoi(h.c_str());
    out.channels = 3;
    maxval = std::atoi(m.c_str());
  } else if (t == "P7") {
    for (;;) {
      if (!token(b, pos, t)) return false;
      if (t == "ENDHDR") break;
      std::string v;
      if (!token(b, pos, v)) return false;
      if (t == "WIDTH") out.width = std::atoi(v.c_str());
      if (t == "HEIGHT") out.height = std::atoi(v.c_str());
      if (t == "DEPTH") out.channels = std::atoi(v.c_str());
      if (t == "MAXVAL") maxval = std::atoi(v.c_str());
    }
  } else {
    return false;
  }
  ++pos;  // the single white-space byte before the samples
  std::size_t n = std::size_t(out.width) * out.height * out.channels;
  if (maxval != 255 || out.width <= 0 || out.height <= 0 || b.size() < pos + n) return false;
  out.px.assign(b.begin() + static_cast<std::ptrdiff_t>(pos), b.begin() + static_cast<std::ptrdiff_t>(pos + n));
  return true;
}

::testing::AssertionResult same_pixels(const dib_block* b, const netpbm& want, int tolerance,
                                       bool only_opaque) {
  if (!b) return ::testing::AssertionFailure() << "no block";
  if (dib_bits(b) != 24) return ::testing::AssertionFailure() << "bits " << dib_bits(b);
  if (dib_width(b) != want.width || dib_height(b) != want.height)
    return ::testing::AssertionFailure() << "size " << dib_width(b) << "x" << dib_height(b)
                                         << ", expected " << want.width << "x" << want.height;
  long bad = 0;
  std::ostringstream first;
  for (int y = 0; y < want.height; ++y)
    for (int x = 0; x < want.width; ++x) {
      const unsigned char* w = want.at(x, y);
      if (only_opaque && want.channels == 4 && w[3] != 255) continue;
      const unsigned char* p = dib_pixel(b, x, y);
      // Block pixels are blue, green, red.
      if (std::abs(p[2] - w[0]) > tolerance || std::abs(p[1] - w[1]) > tolerance ||
          std::abs(p[0] - w[2]) > tolerance) {
        if (!bad++)
          first << "(" << x << "," << y << ") rgb " << int(p[2]) << "," << int(p[1]) << ","
                << int(p[0]) << " expected " << int(w[0]) << "," << int(w[1]) << "," << int(w[2]);
      }
    }
  if (bad) return ::testing::AssertionFailure() << bad << " pixels differ, first " << first.str();
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult same_alpha(const dib_block* alpha, const netpbm& want) {
  if (!alpha) return ::testing::AssertionFailure() << "no alpha plane";
  if (want.channels != 4) return ::testing::AssertionFailure() << "expected picture has no alpha";
  if (dib_bits(alpha) != 8 || dib_width(alpha) != want.width || dib_height(alpha) != want.height)
    return ::testing::AssertionFailure() << "alpha plane of bits " << dib_bits(alpha) << " size "
                                         << dib_width(alpha) << "x" << dib_height(alpha);
  long bad = 0;
  std::ostringstream first;
  for (int y = 0; y < want.height; ++y)
    for (int x = 0; x < want.width; ++x) {
      int a = *dib_pixel(alpha, x, y), w = want.at(x, y)[3];
      if (a != w && !bad++) first << "(" << x << "," << y << ") " << a << " expected " << w;
    }
  if (bad) return ::testing::AssertionFailure() << bad << " alpha values differ, first " << first.str();
  return ::testing::AssertionSuccess();
}
