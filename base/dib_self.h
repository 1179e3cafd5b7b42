#pragma once
// app_self_dib: holds a picture block and an optional companion block (its
// mask or alpha plane). Filling it from ".asd" files and picture files is done
// by the content and picture-format code, through adopt().
#include <cstdint>

#include "base/dib.h"

class app_self_dib {
 public:
  app_self_dib() = default;
  virtual ~app_self_dib();
  app_self_dib(const app_self_dib&) = delete;
  app_self_dib& operator=(const app_self_dib&) = delete;

  // Takes both blocks (mask may be null); the size comes from the image unless
  // given (".asd" headers carry their own). 0, taking nothing, without an image.
  int adopt(dib_block* image, dib_block* mask, int32_t width = -1, int32_t height = -1);
  void reset();  // frees both blocks

  int loaded() const { return loaded_; }
  const char* tag() const { return ".asd"; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  dib_block* image() const { return image_; }
  dib_block* mask() const { return mask_; }

 private:
  int loaded_ = 0;
  int32_t width_ = 0, height_ = 0;
  dib_block* image_ = nullptr;
  dib_block* mask_ = nullptr;
};
