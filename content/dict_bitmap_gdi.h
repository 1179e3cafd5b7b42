#pragma once
// Drawing a content picture straight into a device context.
#include <windows.h>

#include "base/dib.h"

class zun_dict_bitmap;

// draw_centred into the context: the pixels of clip are read back, the
// picture composited over them centred on (cx, cy) (context coordinates) and
// the result drawn in place, so nothing outside clip changes. 0 when empty,
// the clip is empty or the context cannot be read.
int draw_centred(const zun_dict_bitmap& bitmap, HDC dc, const dib_rect& clip, int32_t cx,
                 int32_t cy);
