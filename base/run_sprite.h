#pragma once
// Run-length alpha sprites for multi-state skin images: up to 30 frames side
// by side in one sheet, each frame kept as runs of equal alpha. The ".qa" cache
// file has the same layout: a 284-byte header, then the runs of every frame
// whose run count is non-zero (8 bytes each).
#include <cstddef>
#include <cstdint>

#include "base/dib.h"

inline constexpr uint16_t kRunSpriteMagic = 550;
inline constexpr int kRunSpriteMaxFrames = 30;
inline constexpr std::size_t kRunSpriteHeaderSize = 284;

struct sprite_run {
  uint16_t x, y, length;  // within the frame
  uint8_t alpha, reserved;
};
static_assert(sizeof(sprite_run) == 8);

struct sprite_frame {
  int32_t run_count;
  sprite_run* runs;  // counted block of run_count runs, or null
};

struct run_sprite {
  uint16_t magic;
  int32_t offset_x, offset_y;  // added to the drawing position
  int32_t frame_width, frame_height;
  int32_t left, top, right, bottom;  // box of all visible pixels (inclusive)
  int32_t frames;
  int32_t pixels;  // total covered by runs
  sprite_frame frame[kRunSpriteMaxFrames];
};

// From an 8-bit sheet of `frames` frames side by side: values of 20 or less are
// transparent. Null for a 24-bit sheet or frames outside 1..30.
run_sprite* run_sprite_build(const dib_block* sheet, int frames);
// The ".qa" form in memory; null unless it is whole and every run lies inside its frame.
run_sprite* run_sprite_parse(const unsigned char* data, std::size_t length);
// A picture decoder over a whole file's bytes (the BMP reader of the picture
// formats has this form). base cannot depend on the picture formats, so the
// caller hands it in.
using run_sprite_decoder = dib_block* (*)(const void* data, std::size_t size);
// Reads the path with its extension replaced by ".qa" when that file exists
// (a damaged cache fails the load); else decodes the picture at the path and
// builds the sprite from it. Without a decoder that second path fails.
run_sprite* run_sprite_load(const char* path, int frames, run_sprite_decoder decode = nullptr);
void run_sprite_free(run_sprite* s);

// Draws a frame at (x, y) + the offset, colours from a 24-bit sheet of
// frames x frame width by frame height. The part form draws only the frame's
// pixels inside part (frame coordinates), at the same places.
int run_sprite_draw(dib_block* target, int32_t x, int32_t y, const run_sprite* s, int frame,
                    const dib_block* colours);
int run_sprite_draw_part(dib_block* target, int32_t x, int32_t y, const run_sprite* s, int frame,
                         const dib_block* colours, const dib_rect& part);
