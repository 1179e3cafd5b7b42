#pragma once
// The players that paint pen and eraser records: each owns one pen engine,
// made on first use, and paints through it exactly as the pen tools do.
#include <cstdint>

#include "macro/player.h"

class zun_pen_single_engine;

// What a player's engine takes from its maker: null clock and seed 0 mean
// the system clock, as for live painting (tools and tests fix both).
struct macro_engine_setup {
  uint32_t fixed_seed = 0;
  uint32_t (*clock)() = nullptr;
};

class zun_macro_penengine : public zun_macro_stroke_one {
 public:
  zun_macro_penengine(zun_macro_data* data, const macro_engine_setup& setup)
      : zun_macro_penengine(data, kMacroKindPen, setup) {}
  ~zun_macro_penengine() override;

  const char* name() const override { return "engine"; }
  int play_record(macro_stage& stage, const macro_record& r) override;

  zun_pen_single_engine* engine = nullptr;

 protected:
  zun_macro_penengine(zun_macro_data* data, uint8_t kind, const macro_engine_setup& setup)
      : zun_macro_stroke_one(data, kind), setup_(setup) {}
  // The rubber value the pen is selected with.
  virtual int rubber(const macro_record& r) const { return r.pen.erase ? 1 : 0; }

 private:
  int ensure_engine();
  macro_engine_setup setup_;
};

// The eraser: the same, always selected as a rubber (white, no paper).
class zun_macro_penrub : public zun_macro_penengine {
 public:
  zun_macro_penrub(zun_macro_data* data, const macro_engine_setup& setup)
      : zun_macro_penengine(data, kMacroKindRub, setup) {}
  const char* name() const override { return "rub"; }

 protected:
  int rubber(const macro_record&) const override { return 1; }
};
