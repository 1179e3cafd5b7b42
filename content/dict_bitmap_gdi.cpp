#include "content/dict_bitmap_gdi.h"

#include "base/dib_gdi.h"
#include "content/dict_bitmap.h"

int draw_centred(const zun_dict_bitmap& bitmap, HDC dc, const dib_rect& clip, int32_t cx,
                 int32_t cy) {
  if (!bitmap.initialised() || !dc || dib_rect_empty(clip)) return 0;
  // Composing on a copy of what is there keeps the white-is-transparent rule
  // and the companion's blending exact, which no single GDI raster operation does.
  dib_block* area =
      dib_grab(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top);
  if (!area) return 0;
  int ok = draw_centred(bitmap, area, cx - clip.left, cy - clip.top) &&
           dib_draw(dc, clip.left, clip.top, area);
  dib_free(area);
  return ok;
}
