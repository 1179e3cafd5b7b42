#include "base/dib_self.h"

app_self_dib::~app_self_dib() { reset(); }

void app_self_dib::reset() {
  dib_free(image_);
  dib_free(mask_);
  image_ = mask_ = nullptr;
  loaded_ = 0;
  width_ = height_ = 0;
}

int app_self_dib::adopt(dib_block* image, dib_block* mask, int32_t width, int32_t height) {
  if (!dib_valid(image)) return 0;
  // Adopting a block it already holds must not free it.
  if (image_ != image && image_ != mask) dib_free(image_);
  if (mask_ != mask && mask_ != image) dib_free(mask_);
  image_ = image;
  mask_ = mask;
  width_ = width >= 0 ? width : dib_width(image);
  height_ = height >= 0 ? height : dib_height(image);
  loaded_ = 1;
  return 1;
}
