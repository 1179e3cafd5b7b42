#include <new>

#include "macro/macro_data.h"

namespace {
zun_macro_one* make_player(zun_macro_data& macro, uint8_t kind) {
  zun_macro_one* p = nullptr;
  if (macro.players && kind >= kMacroKindPen && kind <= kMacroKindText)
    p = macro.players->make_player(kind, &macro);
  return p ? p : new (std::nothrow) zun_macro_one(&macro);
}
}  // namespace

// A new player starts at its stroke's beginning: seeking into the middle of a
// stroke replays the stroke from its down record.
int zun_macro_data::play_current(macro_stage& stage) {
  if (!records || position < 0 || position >= records->count) return 0;
  const uint8_t kind = records->items[position].record_kind;
  // Also when there is no player yet: kind 0 equals "no player" otherwise.
  if (kind != player_kind || !player) {
    drop_player();
    player = make_player(*this, kind);
    if (!player) return 0;
    const int32_t start = player->seek_start(*records, position);
    if (start >= 0 && start < records->count) position = start;
  }
  const macro_record& r = records->items[position];
  player_kind = r.record_kind;
  return player->play(stage, r);
}
