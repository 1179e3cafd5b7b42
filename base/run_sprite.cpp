#include "base/run_sprite.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/alloc.h"
#include "base/dib_pixel.h"
#include "base/dib_sample.h"
#include "base/os.h"

namespace {
constexpr int kTransparentMax = 20;  // sheet values up to this are not stored
constexpr std::size_t kQaFileLimit = 64u << 20;

int32_t i32_at(const unsigned char* p) {
  return static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24);
}
uint16_t u16_at(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

run_sprite* new_sprite() {
  auto* s = static_cast<run_sprite*>(mem_calloc(sizeof(run_sprite)));
  if (s) s->magic = kRunSpriteMagic;
  return s;
}

// Calls run(x, length, value) for each span of equal bytes above the threshold.
template <class F>
void scan_row(const unsigned char* row, int32_t width, F&& run) {
  int32_t x = 0;
  while (x < width) {
    int32_t end = x + 1;
    while (end < width && row[end] == row[x]) ++end;
    if (row[x] > kTransparentMax) run(x, end - x, row[x]);
    x = end;
  }
}
}  // namespace

void run_sprite_free(run_sprite* s) {
  if (!s) return;
  for (sprite_frame& f : s->frame) mem_free(f.runs);
  mem_free(s);
}

run_sprite* run_sprite_build(const dib_block* sheet, int frames) {
  dib_view v = dib_view_of(const_cast<dib_block*>(sheet));
  if (!v.pixels || v.bpp != 1 || frames < 1 || frames > kRunSpriteMaxFrames) return nullptr;
  const int32_t fw = v.width / frames, fh = v.height;
  if (fw <= 0 || fw > 0xFFFF || fh > 0xFFFF) return nullptr;
  run_sprite* s = new_sprite();
  if (!s) return nullptr;
  s->frame_width = fw;
  s->frame_height = fh;
  s->frames = frames;
  bool any = false;
  int32_t left = fw, top = fh, right = -1, bottom = -1;
  for (int f = 0; f < frames; ++f) {
    int32_t count = 0;
    for (int32_t y = 0; y < fh; ++y) {
      scan_row(v.row(y) + std::size_t(f) * fw, fw, [&](int32_t x, int32_t len, unsigned char) {
        ++count;
        any = true;
        left = std::min(left, x), right = std::max(right, x + len - 1);
        top = std::min(top, y), bottom = std::max(bottom, y);
      });
    }
    if (!count) continue;
    auto* runs = static_cast<sprite_run*>(mem_alloc(sizeof(sprite_run) * std::size_t(count)));
    if (!runs) {
      run_sprite_free(s);
      return nullptr;
    }
    s->frame[f] = sprite_frame{count, runs};
    int32_t k = 0;
    for (int32_t y = 0; y < fh; ++y) {
      scan_row(v.row(y) + std::size_t(f) * fw, fw, [&](int32_t x, int32_t len, unsigned char a) {
        runs[k++] = sprite_run{static_cast<uint16_t>(x), static_cast<uint16_t>(y),
                               static_cast<uint16_t>(len), a, 0};
        s->pixels += len;
      });
    }
  }
  if (any) s->left = left, s->top = top, s->right = right, s->bottom = bottom;
  return s;
}

run_sprite* run_sprite_parse(const unsigned char* data, std::size_t length) {
  if (!data || length < kRunSpriteHeaderSize || u16_at(data) != kRunSpriteMagic) return nullptr;
  const int32_t frames = i32_at(data + 36), fw = i32_at(data + 12), fh = i32_at(data + 16);
  if (frames < 1 || frames > kRunSpriteMaxFrames || fw <= 0 || fh <= 0) return nullptr;
  run_sprite* s = new_sprite();
  if (!s) return nullptr;
  s->offset_x = i32_at(data + 4);
  s->offset_y = i32_at(data + 8);
  s->frame_width = fw;
  s->frame_height = fh;
  s->left = i32_at(data + 20);
  s->top = i32_at(data + 24);
  s->right = i32_at(data + 28);
  s->bottom = i32_at(data + 32);
  s->frames = frames;
  s->pixels = i32_at(data + 40);
  std::size_t at = kRunSpriteHeaderSize;
  for (int f = 0; f < frames; ++f) {
    const int32_t count = i32_at(data + 44 + f * 8);
    if (count == 0) continue;
    // The table must be there whole: nothing is allocated beyond the data.
    if (count < 0 || uint64_t(count) * sizeof(sprite_run) > length - at) {
      run_sprite_free(s);
      return nullptr;
    }
    auto* runs = static_cast<sprite_run*>(mem_alloc(sizeof(sprite_run) * std::size_t(count)));
    if (!runs) {
      run_sprite_free(s);
      return nullptr;
    }
    s->frame[f] = sprite_frame{count, runs};
    for (int32_t k = 0; k < count; ++k, at += 8) {
      const unsigned char* p = data + at;
      sprite_run r{u16_at(p), u16_at(p + 2), u16_at(p + 4), p[6], p[7]};
      // Drawing copies whole runs unchecked: every run must lie in its frame.
      if (int32_t{r.x} + r.length > fw || r.y >= fh) {
        run_sprite_free(s);
        return nullptr;
      }
      runs[k] = r;
    }
  }
  return s;
}

run_sprite* run_sprite_load(const char* path, int frames, run_sprite_decoder decode) {
  if (!path || !*path) return nullptr;
  std::string qa = path;
  const std::size_t slash = qa.find_last_of("\\/");
  const std::size_t dot = qa.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) qa.resize(dot);
  qa += ".qa";
  std::string bytes;
  if (os_file_exists(qa.c_str())) {
    if (!os_read_file(qa.c_str(), bytes, kQaFileLimit)) return nullptr;
    return run_sprite_parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  }
  if (!decode || !os_read_file(path, bytes, kDibMaxBytes)) return nullptr;
  dib_block* sheet = decode(bytes.data(), bytes.size());
  run_sprite* s = run_sprite_build(sheet, frames);
  dib_free(sheet);
  return s;
}

namespace {
int draw(dib_block* target, int32_t x, int32_t y, const run_sprite* s, int frame,
         const dib_block* colours, const dib_rect* part) {
  if (!s || frame < 0 || frame >= s->frames || frame >= kRunSpriteMaxFrames) return 0;
  const sprite_frame& f = s->frame[frame];
  if (f.run_count <= 0 || !f.runs) return 0;
  dib_view t = dib_view_of(target), c = dib_view_of(const_cast<dib_block*>(colours));
  if (!t.pixels || t.bpp != 3 || !c.pixels || c.bpp != 3) return 0;
  if (int64_t{c.width} < int64_t{s->frames} * s->frame_width || c.height < s->frame_height)
    return 0;
  const int64_t bx = int64_t{x} + s->offset_x, by = int64_t{y} + s->offset_y;
  const bool whole = !part && bx >= 0 && by >= 0 && bx + s->frame_width <= t.width &&
                     by + s->frame_height <= t.height;
  const int32_t sheet_x = frame * s->frame_width;
  for (int32_t k = 0; k < f.run_count; ++k) {
    const sprite_run& r = f.runs[k];
    int32_t x0 = r.x, x1 = r.x + r.length;
    if (part) {
      if (r.y < part->top || r.y >= part->bottom) continue;
      x0 = std::max(x0, part->left), x1 = std::min(x1, part->right);
    }
    const int64_t ty = by + r.y;
    if (!whole) {  // clip the run to the target, in 64 bits: -bx may not fit 32
      if (ty < 0 || ty >= t.height) continue;
      const int64_t lo = std::max<int64_t>(x0, -bx), hi = std::min<int64_t>(x1, t.width - bx);
      if (lo >= hi) continue;
      x0 = static_cast<int32_t>(lo), x1 = static_cast<int32_t>(hi);  // now within the run
    }
    if (x0 >= x1) continue;
    unsigned char* q = t.at(static_cast<int32_t>(bx + x0), static_cast<int32_t>(ty));
    const unsigned char* p = c.at(sheet_x + x0, r.y);
    const std::size_t n = std::size_t(x1 - x0) * 3;
    if (r.alpha == 255) {
      std::memcpy(q, p, n);
    } else {
      for (std::size_t i = 0; i < n; ++i) q[i] = dib_blend256(q[i], p[i], r.alpha);
    }
  }
  return 1;
}
}  // namespace

int run_sprite_draw(dib_block* target, int32_t x, int32_t y, const run_sprite* s, int frame,
                    const dib_block* colours) {
  return draw(target, x, y, s, frame, colours, nullptr);
}

int run_sprite_draw_part(dib_block* target, int32_t x, int32_t y, const run_sprite* s, int frame,
                         const dib_block* colours, const dib_rect& part) {
  return draw(target, x, y, s, frame, colours, &part);
}
