#pragma once
// Players replay one record kind each. The base plays nothing (kinds without
// a player); the stroke player knows how to find a stroke's start; the pen,
// eraser and text players that paint are made by the painting layer through
// macro_player_factory, so this folder stays free of pens and fonts.
#include <cstdint>

#include "base/dib.h"
#include "macro/record.h"

class zun_file;
class zun_macro_data;
class zun_macro_rec;

// The window a player invalidates after painting (window coordinates).
class macro_view {
 public:
  virtual ~macro_view() = default;
  virtual void invalidate(const dib_rect& window_rect) = 0;
};

// Where playback paints: the open document (null without one) and its window.
struct macro_stage {
  zun_file* document = nullptr;
  macro_view* view = nullptr;
};

class zun_macro_one {
 public:
  explicit zun_macro_one(zun_macro_data* data) : data(data) {}
  virtual ~zun_macro_one() = default;
  zun_macro_one(const zun_macro_one&) = delete;
  zun_macro_one& operator=(const zun_macro_one&) = delete;

  int32_t seek_start(const zun_macro_rec& records, int32_t index) { return find_start(records, index); }
  int play(macro_stage& stage, const macro_record& r) {
    current = &r;
    return play_record(stage, r);
  }
  virtual const char* name() const { return "default"; }
  virtual int32_t find_start(const zun_macro_rec& records, int32_t index) { return index; }
  // 1 when something was painted.
  virtual int play_record(macro_stage& stage, const macro_record& r) { return 0; }

  zun_macro_data* data;
  const macro_record* current = nullptr;
};

// Pen and eraser players: playback that lands inside a stroke starts again
// at the stroke's down record.
class zun_macro_stroke_one : public zun_macro_one {
 public:
  zun_macro_stroke_one(zun_macro_data* data, uint8_t kind) : zun_macro_one(data), kind(kind) {}
  int32_t find_start(const zun_macro_rec& records, int32_t index) override;

  uint8_t kind;
};

// Made by the painting layer: the player for a record kind (1 pen, 2 eraser,
// 3 text), or null when it has none, in which case the base player is used.
// Players are made with new; the macro deletes them when it drops them.
class macro_player_factory {
 public:
  virtual ~macro_player_factory() = default;
  virtual zun_macro_one* make_player(uint8_t kind, zun_macro_data* data) = 0;
};
