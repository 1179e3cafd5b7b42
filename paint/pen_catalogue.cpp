#include "paint/pen_catalogue.h"

namespace {

constexpr float F = 0.0f, C = 1.0f;  // default pressure floor and ceiling

// id, min, max, kind, set, alpha, paper, colour, simulate, invert, floor,
// ceiling, brush flag, brush name, group, key
constexpr pen_desc kCatalogue[kPenCount] = {
    {0, 2, 16, 0, 1, 1, 0, 1, 1, 0, F, C, 0, "", "2-3", "old0"},
    {1, 2, 12, 0, 2, 1, 3, 1, 0, 0, F, C, 0, "", "1-1", "old1"},
    {2, 2, 40, 0, 3, 1, 0, 1, 0, 0, F, C, 0, "", "3-1", "old2"},
    {3, 2, 40, 0, 4, 1, 0, 1, 0, 0, F, C, 0, "", "old", "old3"},
    {4, 4, 36, 0, 5, 1, 4, 1, 0, 0, F, C, 0, "", "4-1", "old4"},
    {5, 8, 24, 0, 6, 1, 2, 1, 0, 0, F, C, 0, "", "5-1", "old5"},
    {6, 4, 24, 0, 7, 1, 0, 1, 0, 0, F, C, 0, "", "7-1", "old6"},
    {7, 8, 16, 0, 8, 1, 1, 1, 0, 0, F, C, 0, "", "6-1", "old7"},
    {8, 2, 12, 0, 9, 1, 0, 1, 0, 0, F, C, 0, "", "old", "old8"},
    {9, 2, 32, 0, 10, 1, 0, 1, 0, 0, F, C, 0, "", "5-2", "old9"},
    {10, 2, 32, 0, 11, 1, 0, 1, 0, 0, F, C, 0, "", "old", "old10"},
    {11, 2, 32, 0, 12, 1, 0, 0, 0, 0, F, C, 0, "", "old", "old12"},
    {12, 2, 48, 0, 13, 1, 0, 0, 0, 0, F, C, 0, "", "old", "old13"},
    {20, 0, 0, 1, 0, 1, 0, 1, 0, 0, F, C, 0, "", "9-1", "cust0"},
    {21, 0, 0, 1, 1, 1, 0, 1, 0, 0, F, C, 0, "", "9-2", "cust1"},
    {22, 0, 0, 1, 2, 1, 0, 1, 0, 0, F, C, 0, "", "9-3", "cust2"},
    {23, 0, 0, 1, 3, 1, 0, 1, 0, 0, F, C, 0, "", "9-4", "cust3"},
    {24, 0, 0, 1, 4, 1, 0, 1, 0, 0, F, C, 0, "", "9-5", "cust4"},
    {25, 0, 0, 1, 5, 1, 0, 1, 0, 0, F, C, 0, "", "9-6", "cust5"},
    {26, 0, 0, 1, 6, 1, 0, 1, 0, 0, F, C, 0, "", "9-7", "cust6"},
    {27, 0, 0, 1, 7, 1, 0, 1, 0, 0, F, C, 0, "", "9-8", "cust7"},
    {28, 0, 0, 1, 8, 1, 0, 1, 0, 0, F, C, 0, "", "9-9", "cust8"},
    {29, 0, 0, 1, 9, 1, 0, 1, 0, 0, F, C, 0, "", "9-10", "cust9"},
    {30, 0, 0, 1, 10, 1, 0, 1, 0, 0, F, C, 0, "", "9-11", "cust10"},
    {31, 0, 0, 1, 11, 1, 0, 1, 0, 0, F, C, 0, "", "9-12", "cust11"},
    {32, 0, 0, 1, 12, 1, 0, 1, 0, 0, F, C, 0, "", "9-13", "cust12"},
    {40, 1.4f, 2.4f, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "kelto$b-pencil", "1-2", "pencil_0"},
    {41, 1, 1.8f, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "kelto$2b_pencil", "1-3", "pencil_1"},
    {42, 1.5f, 2.6f, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "briv$pencil-8b", "1-4", "pencil_2"},
    {43, 0.4f, 2, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "experimental$pixel_hardink", "1-5", "pencil_3"},
    {44, 0.5f, 1.5f, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "classic$kabura", "2-1", "pen_0"},
    {45, 1.5f, 3.5f, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "classic$calligraphy", "2-2", "pen_1"},
    {46, 1.2f, 6, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "classic$coarse_bulk_1", "3-3", "gun_0"},
    {47, 1.2f, 10, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "experimental$speed_blot", "3-2", "gun_1"},
    {48, 4, 16, 2, 0, 1, 4, 1, 0, 0, F, C, 0, "oszan$watercolor1", "4-2", "water_0"},
    {49, 4, 10, 2, 0, 1, 4, 0, 0, 0, F, C, 0, "briv$acrylic-03-only-water", "4-3", "water_1"},
    {50, 1.2f, 6, 2, 0, 1, 0, 0, 0, 0, F, C, 0, "briv$water-02", "4-4", "water_2"},
    {51, 2, 18, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "oszan$flat", "4-5", "water_3"},
    {52, 1.6f, 8, 2, 0, 1, 5, 1, 0, 0, F, C, 1, "briv$oil-01-paint", "5-4", "brush_0"},
    {53, 2, 8, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "classic$imp_details", "5-3", "brush_1"},
    {54, 2, 8, 2, 0, 1, 0, 0, 0, 0, F, C, 0, "briv$oil-01-clean", "5-5", "brush_2"},
    {55, 2, 7, 2, 0, 1, 6, 0, 0, 0, F, C, 0, "kelto$knife", "5-6", "brush_3"},
    {56, 1.2f, 2.8f, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "briv$charcoal-04", "6-3", "crayon_0"},
    {57, 0.5f, 1.5f, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "oszan$chalk", "6-2", "crayon_1"},
    {58, 4, 12, 2, 0, 0.5f, 0, 1, 0, 0, F, C, 0, "classic$knife", "7-2", "mark_0"},
    {59, 1.2f, 2.5f, 2, 0, 0.2f, 0, 1, 0, 0, F, C, 0, "briv$marker-05", "7-3", "mark_1"},
    {60, 2, 7.5f, 2, 0, 0.2f, 0, 1, 0, 0, F, C, 0, "oszan$marker", "7-4", "mark_2"},
    {61, 3.5f, 10, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "oszan$pen", "8-1", "mao_0"},
    {62, 2.4f, 8, 2, 0, 1, 7, 1, 0, 0, F, C, 0, "experimental$subtle_pencil", "8-2", "mao_1"},
    {63, 3.5f, 16, 2, 0, 1, 7, 1, 0, 0, F, 0.75f, 0, "briv$watercolor-02-paint", "8-3", "mao_2"},
    {64, 2.8f, 10, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "briv$acrylic-03-paint", "8-4", "mao_3"},
    {65, 2, 12, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "experimental$soft", "mp", "mao_4"},
    {66, 12, 24, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "briv$texture-06", "9-14", "special_0"},
    {67, 1.2f, 6, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "experimental$fur", "9-15", "special_1"},
    {68, 5, 18, 2, 0, 1, 0, 1, 0, 1, F, C, 0, "classic$long_grass", "9-16", "special_2"},
    {69, 4, 20, 2, 0, 1, 0, 0, 0, 0, F, C, 0, "oszan$blending", "10-1", "soft_0"},
    {70, 4, 10, 2, 0, 1, 0, 0, 0, 0, F, C, 0, "kelto$grain", "10-2", "soft_1"},
    {71, 1.2f, 6, 2, 0, 1, 0, 1, 0, 0, F, C, 0, "classic$kabura", "2-1", "pen_0"},
};

constexpr pen_slot kSlotDefaults[kPenSlots] = {
    {0, 63, 0.5f, 0, 0}, {0, 71, 0.5f, 0, 0}, {0, 44, 0.5f, 0, 0},
    {0, 5, 0.5f, 0, 0},  {0, 0, 0.5f, 0, 0},
};

pen_slot g_slots[kPenSlots] = {kSlotDefaults[0], kSlotDefaults[1], kSlotDefaults[2],
                               kSlotDefaults[3], kSlotDefaults[4]};

bool slot_ok(int slot) { return slot >= 0 && slot < kPenSlots; }

}  // namespace

const pen_desc* pen_catalogue() { return kCatalogue; }

int pen_index(int32_t id) {
  for (int i = 0; i < kPenCount; ++i)
    if (kCatalogue[i].id == id) return i;
  return -1;
}

const pen_desc* pen_find(int32_t id) {
  const int i = pen_index(id);
  return i < 0 ? nullptr : &kCatalogue[i];
}

pen_slot* pen_slots() { return g_slots; }

void pen_slots_restore_defaults() {
  for (int i = 0; i < kPenSlots; ++i) g_slots[i] = kSlotDefaults[i];
}

void pen_slot_open(int slot) {
  if (!slot_ok(slot)) return;
  g_slots[slot].initialised = 1;
  g_slots[slot].size = 0.5f;
}

void pen_slot_reset(int slot) {
  if (!slot_ok(slot)) return;
  pen_slot_open(slot);
  g_slots[slot].reserved = 0;
  g_slots[slot].eraser_mode = 0;
}

int32_t pen_slot_pen(int slot) {
  if (!slot_ok(slot)) return -1;
  if (slot == kEraserSlot) return g_slots[slot].eraser_mode ? 11 : 2;
  return g_slots[slot].pen_id;
}
