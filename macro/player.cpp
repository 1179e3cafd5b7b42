#include "macro/player.h"

#include "macro/record_list.h"

// The search stays inside the run of this kind's records that holds index:
// were it to cross a record of another kind, that record would change the
// player again and seek back here, and a file that interleaves kinds would
// play forever. Recorded strokes never interleave, so they lose nothing.
int32_t zun_macro_stroke_one::find_start(const zun_macro_rec& records, int32_t index) {
  if (!records.items || index < 0) return index;
  for (int32_t i = index < records.count ? index : records.count - 1; i >= 0; --i) {
    const macro_record& r = records.items[i];
    if (r.record_kind != kind) break;
    if (r.phase == kMacroDown) return i;
  }
  return index;
}
