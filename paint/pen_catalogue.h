#pragma once
// The pen catalogue (58 fixed pens, searched by id) and the five pen slots.
// The table lives in pen_catalogue.cpp and nowhere else.
#include <cstdint>

enum pen_kind : int32_t { kPenPattern = 0, kPenTexture = 1, kPenBrush = 2 };

struct pen_desc {
  int32_t id;
  float size_min;
  float size_max;  // texture pens: set at selection from the stamp files found
  int32_t kind;
  int32_t set;  // pattern number 1-13 or stamp set 0-12; 0 for brush pens
  float alpha_factor;
  int32_t paper;  // paper texture number, 0 for none
  int32_t uses_colour;
  int32_t simulate;
  int32_t invert;
  float pressure_floor;
  float pressure_ceiling;
  int32_t brush_flag;
  char brush_name[64];
  char group[64];
  char key[64];
};

inline constexpr int kPenCount = 58;

// The catalogue in its fixed order.
const pen_desc* pen_catalogue();
// Position of the pen in the catalogue, or -1.
int pen_index(int32_t id);
// The record of the pen, or null.
const pen_desc* pen_find(int32_t id);

// Pen slots: four painting slots and the eraser slot 4.
inline constexpr int kPenSlots = 5;
inline constexpr int kEraserSlot = 4;

struct pen_slot {
  int32_t initialised;
  int32_t pen_id;
  float size;  // slider position 0..1
  int32_t reserved;
  int32_t eraser_mode;  // eraser slot only
};

// The program's slot table (initial values until changed).
pen_slot* pen_slots();
void pen_slots_restore_defaults();
// First opening of a slot's panel: initialised and size 0.5.
void pen_slot_open(int slot);
// Reset: as opening, and reserved and eraser_mode cleared.
void pen_slot_reset(int slot);
// The pen a slot paints with: the eraser slot ignores pen_id.
int32_t pen_slot_pen(int slot);
