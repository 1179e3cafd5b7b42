#pragma once
// zun_dict_bitmap: a content picture (24-bit) with its optional companion
// (alpha plane) at display size, for thumbnails and for drawing copybook models.
// A companion that is not a grey 8-bit plane becomes one by the grey level of
// its colours (a two-colour black and white mask: white opaque).
#include <cstdint>

#include "base/dib.h"

struct dict_blocks;

class zun_dict_bitmap {
 public:
  zun_dict_bitmap() = default;
  virtual ~zun_dict_bitmap();
  zun_dict_bitmap(const zun_dict_bitmap&) = delete;
  zun_dict_bitmap& operator=(const zun_dict_bitmap&) = delete;

  // With a display size s > 0, a picture whose larger side exceeds s is
  // scaled (bilinear, with its companion) to fit an s x s square; otherwise
  // the blocks keep their size. Each empties the object first; 0 leaves it empty.
  int from_file(const char* path, int32_t s = 0);  // the ".asd" replacement first
  int from_pair(const dib_block* picture, const dib_block* companion, int32_t s = 0);
  void reset();

  int initialised() const { return initialised_; }
  const dib_block* picture() const { return picture_; }
  const dib_block* companion() const { return companion_; }  // may be null

 private:
  int take(dict_blocks& blocks, int32_t s);

  int initialised_ = 0;
  dib_block* picture_ = nullptr;    // 24-bit
  dib_block* companion_ = nullptr;  // 8-bit coverage, grey table
};

// The size a w x h picture gets with display size s (each side at least 1).
void dict_display_size(int32_t w, int32_t h, int32_t s, int32_t* out_w, int32_t* out_h);

// Composites the picture into a 24-bit target, centred on (cx, cy) and clipped
// to it, at opacity 1: white (0x00FFFFFF) pixels are transparent and a
// companion of the picture's size gives each pixel its opacity (one of another
// size is not used). 0 when empty or the target is not 24-bit.
int draw_centred(const zun_dict_bitmap& bitmap, dib_block* target, int32_t cx, int32_t cy);
