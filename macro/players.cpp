#include "macro/players.h"

#include <new>

#include "macro/font_player.h"

zun_macro_one* zun_macro_players::make_player(uint8_t kind, zun_macro_data* data) {
  switch (kind) {
    case kMacroKindPen:
      return new (std::nothrow) zun_macro_penengine(data, setup);
    case kMacroKindRub:
      return new (std::nothrow) zun_macro_penrub(data, setup);
    case kMacroKindText:
      return new (std::nothrow) zun_macro_font(data);
  }
  return nullptr;
}
