#pragma once
// The players of the program: pen, eraser and text records each get their
// own; macro.players points here.
#include "macro/pen_players.h"

class zun_macro_players : public macro_player_factory {
 public:
  zun_macro_players() = default;
  explicit zun_macro_players(const macro_engine_setup& setup) : setup(setup) {}
  zun_macro_one* make_player(uint8_t kind, zun_macro_data* data) override;

  macro_engine_setup setup;
};
