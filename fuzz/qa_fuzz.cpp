// ".qa" sprite caches from outside data: refused or read safely, and every
// frame of an accepted one draws without touching memory outside the blocks.
#include <cstdlib>

#include "base/alloc.h"
#include "base/dib.h"
#include "base/run_sprite.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const long blocks = alloc_count();
  run_sprite* s = run_sprite_parse(data, size);
  if (s) {
    // Colour sheets of at most 1 M pixels (each factor checked first: no overflow).
    const bool small = s->frame_width <= (1 << 20) && s->frame_height <= (1 << 20) &&
                       int64_t{s->frames} * s->frame_width * s->frame_height <= (1 << 20);
    if (small) {
      dib_block* colours = dib_create(s->frame_height, 1, s->frames * s->frame_width, 0x808080);
      dib_block* target = dib_create(48, 1, 64, 0xFFFFFF);
      for (int f = 0; f < s->frames; ++f) {
        run_sprite_draw(target, 0, 0, s, f, colours);
        run_sprite_draw(target, -7, 40, s, f, colours);
        run_sprite_draw_part(target, 3, -2, s, f, colours, dib_rect{1, 1, 9, 5});
      }
      dib_free(target);
      dib_free(colours);
    }
    run_sprite_free(s);
  }
  // The same bytes as an 8-bit sheet for the builder.
  if (size >= 3) {
    const int32_t w = 1 + data[0] % 64, frames = data[1] % 32;
    const int32_t h = static_cast<int32_t>((size - 2) / w);
    if (h > 0) {
      dib_block* sheet = dib_create(h, 0, w, 0);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) dib_pixel(sheet, x, y)[0] = data[2 + y * w + x];
      run_sprite* built = run_sprite_build(sheet, frames);
      if (built) {
        dib_block* colours = dib_create(h, 1, w, 0);
        dib_block* target = dib_create(16, 1, 16, 0xFFFFFF);
        for (int f = 0; f < built->frames; ++f) run_sprite_draw(target, -2, -2, built, f, colours);
        dib_free(target);
        dib_free(colours);
        run_sprite_free(built);
      }
      dib_free(sheet);
    }
  }
  if (alloc_count() != blocks) std::abort();
  return 0;
}
