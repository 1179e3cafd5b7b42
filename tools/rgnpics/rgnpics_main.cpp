// rgnpics ROOT: the floating selection's handle pictures "RES\enum\rgn\op0.jpg"
// to "op8.jpg" and their shared mask "opa.bmp", plain placeholders drawn in
// code until the skin has its own.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/dib.h"
#include "image/image.h"

namespace {
constexpr int kSize = 15;

void dot(dib_block* b, int x, int y, uint32_t c) {
  if (unsigned char* p = dib_pixel(b, x, y)) p[0] = dib_blue(c), p[1] = dib_green(c), p[2] = dib_red(c);
}

void line(dib_block* b, int x0, int y0, int x1, int y1, uint32_t c) {
  const int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
  for (int k = 0; k <= n; ++k)
    dot(b, x0 + (x1 - x0) * k / std::max(n, 1), y0 + (y1 - y0) * k / std::max(n, 1), c);
}

void arrow_head(dib_block* b, int x, int y, int dx, int dy, uint32_t c) {
  // Two strokes back from the tip, at right angles to each other.
  line(b, x, y, x - 3 * dx + 3 * dy, y - 3 * dy - 3 * dx, c);
  line(b, x, y, x - 3 * dx - 3 * dy, y - 3 * dy + 3 * dx, c);
}

// One glyph per handle, in the order of the handle numbers.
void glyph(dib_block* b, int handle) {
  const uint32_t ink = dib_colour(30, 60, 120), red = dib_colour(170, 30, 30);
  const int c = kSize / 2, lo = 3, hi = kSize - 4;
  switch (handle) {
    case 0:  // scale: a diagonal double arrow
      line(b, lo, hi, hi, lo, ink), arrow_head(b, hi, lo, 1, -1, ink), arrow_head(b, lo, hi, -1, 1, ink);
      break;
    case 1:  // move: a cross of arrows
      line(b, lo, c, hi, c, ink), line(b, c, lo, c, hi, ink);
      arrow_head(b, hi, c, 1, 0, ink), arrow_head(b, lo, c, -1, 0, ink);
      arrow_head(b, c, lo, 0, -1, ink), arrow_head(b, c, hi, 0, 1, ink);
      break;
    case 2:  // flip top to bottom
      line(b, c, lo, c, hi, ink), arrow_head(b, c, lo, 0, -1, ink), arrow_head(b, c, hi, 0, 1, ink);
      line(b, lo, c, hi, c, red);
      break;
    case 3:  // mirror left to right
      line(b, lo, c, hi, c, ink), arrow_head(b, lo, c, -1, 0, ink), arrow_head(b, hi, c, 1, 0, ink);
      line(b, c, lo, c, hi, red);
      break;
    case 4:  // quarter turn: three quarters of a circle with an arrow
    case 5:  // free rotation: a whole circle
      for (int a = 0; a < (handle == 4 ? 270 : 360); a += 3) {
        const double r = a * 3.14159265 / 180.0;
        dot(b, c + int(std::lround(4.5 * std::cos(r))), c - int(std::lround(4.5 * std::sin(r))), ink);
      }
      if (handle == 4) arrow_head(b, c, c + 4, 1, 0, ink);
      if (handle == 5) line(b, c, c, c + 4, c - 2, red);
      break;
    case 6:  // commit: a tick
      line(b, lo, c, c - 1, hi - 1, dib_colour(20, 130, 40));
      line(b, c - 1, hi - 1, hi, lo, dib_colour(20, 130, 40));
      break;
    case 7:  // cancel: a cross
      line(b, lo, lo, hi, hi, red), line(b, lo, hi, hi, lo, red);
      break;
    default:  // discard: a bin
      line(b, lo, lo + 1, hi, lo + 1, ink), line(b, lo + 1, lo + 1, lo + 2, hi, ink);
      line(b, hi - 1, lo + 1, hi - 2, hi, ink), line(b, lo + 2, hi, hi - 2, hi, ink);
      line(b, c, lo + 3, c, hi - 2, ink);
      break;
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rgnpics INSTALLATION_ROOT\n");
    return 2;
  }
  const std::filesystem::path dir = std::filesystem::path(argv[1]) / "RES" / "enum" / "rgn";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  int ok = 1;
  for (int k = 0; k < 9; ++k) {
    dib_block* b = dib_create(kSize, 1, kSize, dib_colour(245, 245, 240));
    if (!b) return 1;
    // A frame, so the handle reads as a button on any picture.
    for (int i = 0; i < kSize; ++i) {
      const uint32_t f = dib_colour(90, 90, 90);
      dot(b, i, 0, f), dot(b, i, kSize - 1, f), dot(b, 0, i, f), dot(b, kSize - 1, i, f);
    }
    glyph(b, k);
    const std::string path = (dir / ("op" + std::to_string(k) + ".jpg")).string();
    ok &= jpeg_write(path.c_str(), b);
    dib_free(b);
  }
  // The mask: opaque (white) inside a square with cut corners.
  dib_block* m = dib_create(kSize, 1, kSize, 0);
  if (!m) return 1;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const int dx = std::min(x, kSize - 1 - x), dy = std::min(y, kSize - 1 - y);
      if (dx + dy >= 2) dot(m, x, y, 0xffffff);
    }
  ok &= bmp_write((dir / "opa.bmp").string().c_str(), m);
  dib_free(m);
  if (!ok) std::fprintf(stderr, "rgnpics: a picture could not be written under %s\n", dir.string().c_str());
  return ok ? 0 : 1;
}
