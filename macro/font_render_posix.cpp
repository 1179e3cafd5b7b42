// Outside Windows the program has no text renderer: text records play as
// nothing (and macro_text_available says so, for tools to report).
#include "macro/font_player.h"

int macro_text_available() { return 0; }

int macro_text_render(const macro_record&, macro_text_mask* mask) {
  if (mask) *mask = macro_text_mask{};
  return 0;
}
