#pragma once
// Where a recorded point plays: recorded canvas coordinates are shifted by
// half the difference of the canvas sizes, so a macro recorded on a smaller
// canvas plays centred on a larger one. And how a player shows what it painted.
#include <cstdint>

#include "base/dib.h"
#include "doc/canvas.h"
#include "macro/record.h"

class zun_file;
struct macro_stage;

// width x height: the open document's canvas (0 x 0 without one).
canvas_point macro_play_point(const macro_record& r, int32_t width, int32_t height);
canvas_point macro_play_point(const macro_record& r, const zun_file* document);

// A rectangle a player painted (document pixels): marked changed in the
// document, mapped through the view and invalidated in the window.
// 0 when there is no document or nothing to show.
int macro_show_change(macro_stage& stage, const dib_rect& doc_rect);
