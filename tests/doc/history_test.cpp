// The undo ring: capacity, the order of steps, what each kind restores, and
// that undo and redo swap rather than copy.
#include "doc/history.h"

#include <gtest/gtest.h>

#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class History : public LeakCheck {};

uint32_t mark(zun_file& f) { return px(f.surface()->colour, 0, 0); }
void paint(zun_file& f, uint32_t c) { surface_paint_pixel(f.surface(), 0, 0, c, 1.0f); }
}  // namespace

TEST(HistoryCapacity, FollowsPhysicalMemory) {
  EXPECT_EQ(history_capacity_for_mib(0), 8);
  EXPECT_EQ(history_capacity_for_mib(512), 8);
  EXPECT_EQ(history_capacity_for_mib(1280), 9);  // 768 / 128 + 3
  EXPECT_EQ(history_capacity_for_mib(2048), 15);
  EXPECT_EQ(history_capacity_for_mib(4096), 31);
  EXPECT_EQ(history_capacity_for_mib(4224), 32);
  EXPECT_EQ(history_capacity_for_mib(16384), 32);
  // Far beyond 16 bits of MiB: still the most, not a wrapped small count.
  EXPECT_EQ(history_capacity_for_mib(65536), 32);
  EXPECT_EQ(history_capacity_for_mib(1u << 20), 32);
  EXPECT_GT(physical_memory_mib(), 0u);
}

TEST_F(History, RingCapacityIsClamped) {
  history_ring* r = history_ring_new(1);
  EXPECT_EQ(r->capacity, 2);
  history_ring_free(r);
  r = history_ring_new(150);
  EXPECT_EQ(r->capacity, 99);
  EXPECT_FALSE(history_can_undo(r));
  EXPECT_FALSE(history_can_redo(r));
  history_ring_free(r);
}

TEST_F(History, NinePushesOnEightSlotsAllowEightUndos) {
  auto f = make_document(20, 10, 8);
  for (uint32_t i = 1; i <= 9; ++i) {
    ASSERT_TRUE(f->history_push(1));
    paint(*f, i);
  }
  for (uint32_t i = 8; i >= 1; --i) {
    ASSERT_TRUE(f->history_undo()) << i;
    EXPECT_EQ(mark(*f), i);
  }
  // The step before the first change fell out of the ring.
  EXPECT_FALSE(f->can_undo());
  EXPECT_FALSE(f->history_undo());
  EXPECT_EQ(mark(*f), 1u);
  // All eight come back, in order, and no further.
  for (uint32_t i = 2; i <= 9; ++i) {
    ASSERT_TRUE(f->history_redo());
    EXPECT_EQ(mark(*f), i);
  }
  EXPECT_FALSE(f->history_redo());
}

TEST_F(History, PushUndoRedoUndoReturnsEachState) {
  for (int kind = 0; kind <= 1; ++kind) {
    auto f = make_document(16, 16);
    paint(*f, 0x111111);
    ASSERT_TRUE(f->history_push(kind));
    paint(*f, 0x222222);
    ASSERT_TRUE(f->history_undo());
    EXPECT_EQ(mark(*f), 0x111111u) << kind;
    EXPECT_FALSE(f->can_undo());
    ASSERT_TRUE(f->history_redo());
    EXPECT_EQ(mark(*f), 0x222222u) << kind;
    EXPECT_FALSE(f->can_redo());
    ASSERT_TRUE(f->history_undo());
    EXPECT_EQ(mark(*f), 0x111111u) << kind;
    EXPECT_FALSE(f->history_undo());
  }
}

TEST_F(History, PushAfterUndoClearsRedo) {
  auto f = make_document(16, 16);
  f->history_push(1);
  paint(*f, 0x1);
  f->history_push(1);
  paint(*f, 0x2);
  ASSERT_TRUE(f->history_undo());
  EXPECT_TRUE(f->can_redo());
  f->history_push(1);
  paint(*f, 0x3);
  EXPECT_FALSE(f->can_redo());
  EXPECT_FALSE(f->history_redo());
  // The new branch undoes to the state it started from, then the first step.
  ASSERT_TRUE(f->history_undo());
  EXPECT_EQ(mark(*f), 0x1u);
  ASSERT_TRUE(f->history_undo());
  EXPECT_EQ(mark(*f), 0xFFFFFFu);
  EXPECT_FALSE(f->history_undo());
}

TEST_F(History, SurfaceStepLeavesTheBackgroundAlone) {
  auto f = make_document(16, 16);
  ASSERT_TRUE(f->history_push(1));
  paint(*f, 0x445566);
  ASSERT_TRUE(f->data->doc_toggle_background());  // not recorded
  ASSERT_TRUE(f->history_undo());
  EXPECT_EQ(mark(*f), 0xFFFFFFu);
  EXPECT_EQ(f->data->current_background()->shown, 0);
}

TEST_F(History, DocumentStepRestoresBackgroundAndPictures) {
  auto f = make_document(16, 16);
  ASSERT_TRUE(f->doc_toggle_background());
  EXPECT_EQ(f->data->current_background()->shown, 0);
  ASSERT_TRUE(f->history_undo());
  EXPECT_EQ(f->data->current_background()->shown, 1);
  ASSERT_TRUE(f->history_redo());
  EXPECT_EQ(f->data->current_background()->shown, 0);

  // No pictures: nothing to remove and no step recorded.
  auto g = make_document(16, 16);
  EXPECT_EQ(g->data->picture_count(), 0);
  EXPECT_FALSE(g->doc_remove_pictures());
  EXPECT_FALSE(g->can_undo());
}

TEST_F(History, UndoAndRedoSwapWithoutCopying) {
  auto f = make_document(64, 32);
  paint_surface* before = f->surface();
  ASSERT_TRUE(f->history_push(1));
  paint(*f, 0x1);
  const long blocks = alloc_count();
  const long long bytes = alloc_bytes();
  ASSERT_TRUE(f->history_undo());
  paint_surface* restored = f->surface();
  EXPECT_NE(restored, before);  // the slot's surface came in; the old one went to the slot
  ASSERT_TRUE(f->history_redo());
  EXPECT_EQ(f->surface(), before);
  ASSERT_TRUE(f->history_undo());
  EXPECT_EQ(f->surface(), restored);
  EXPECT_EQ(alloc_count(), blocks);
  EXPECT_EQ(alloc_bytes(), bytes);
}

TEST_F(History, RefillingAFullRingReusesItsBlocks) {
  auto f = make_document(64, 32, 2);
  f->history_push(1);
  f->history_push(1);
  const long blocks = alloc_count();
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(f->history_push(1));
    paint(*f, uint32_t(i));
  }
  EXPECT_EQ(alloc_count(), blocks);
  ASSERT_TRUE(f->history_undo());
  EXPECT_EQ(mark(*f), 3u);
}

TEST_F(History, StepsPostTheirKeysAndMarkModified) {
  Initialised on;
  auto f = make_document(16, 16);
  state_clear(app_changes());
  f->modified = 0;
  ASSERT_TRUE(f->history_push(1));
  EXPECT_TRUE(Initialised::pending(kStateHistory));
  EXPECT_FALSE(Initialised::pending(kStateModified));
  EXPECT_EQ(f->modified, 0);
  f->data->redraw_pending = 0;
  ASSERT_TRUE(f->history_undo());
  EXPECT_EQ(f->modified, 1);
  EXPECT_TRUE(Initialised::pending(kStateDocument512));
  EXPECT_TRUE(Initialised::pending(kStateModified));
  EXPECT_EQ(f->data->redraw_pending, 1);
  const dib_rect d = f->data->dirty;
  EXPECT_TRUE(d.left == 0 && d.top == 0 && d.right == 16 && d.bottom == 16);
}

TEST_F(History, NewDocumentStartsAnEmptyHistory) {
  auto f = make_document(16, 16);
  f->history_push(0);
  ASSERT_TRUE(f->can_undo());
  ASSERT_TRUE(f->doc_new(8, 8));
  EXPECT_FALSE(f->can_undo());
  EXPECT_FALSE(f->history_undo());
}
