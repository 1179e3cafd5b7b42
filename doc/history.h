#pragma once
// The undo history: a ring of snapshots. A step is a swap: the slot holds the
// state from before the change until undone, and the state from after it once
// undone, so no separate redo copy exists.
#include <cstdint>

#include "doc/sheet.h"

class zun_file_data;

inline constexpr int kHistorySlots = 100;

struct history_slot {
  uint16_t kind;  // 0 whole document, 1 current surface only
  int32_t sheet_count;
  int32_t current_index;
  doc_sheet* sheets;  // kind 1: one node holding only a surface
};

struct history_ring {
  uint16_t capacity;  // 2 to 99
  int32_t oldest;     // -1: nothing to undo
  int32_t newest;
  int32_t redo_limit;  // -1: nothing to redo
  history_slot slots[kHistorySlots];
};

// Slots for a machine of the given physical memory in MiB.
int history_capacity_for_mib(uint64_t mib);
// The machine's physical memory in MiB (bytes / 1048576 + 0.2, truncated); 0 when unknown.
uint64_t physical_memory_mib();

history_ring* history_ring_new(int capacity);
void history_ring_free(history_ring* ring);

int history_push(history_ring* ring, zun_file_data& data, int kind);
int history_undo(history_ring* ring, zun_file_data& data);
int history_redo(history_ring* ring, zun_file_data& data);
int history_can_undo(const history_ring* ring);
int history_can_redo(const history_ring* ring);
