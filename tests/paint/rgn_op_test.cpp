// The lasso and the floating selection on a real document: lifting, the
// handle actions, commit, cancel, discard, keys and drawing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "base/dib.h"
#include "base/state_queue.h"
#include "base/surface.h"
#include "paint/rgn_lasso.h"
#include "paint/rgn_op.h"
#include "paint/rgn_ops.h"
#include "rgn_test_util.h"
#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"

namespace {
struct recording_window : rgn_window {
  void invalidate(const dib_rect& r) override { ++invalidations, last = r; }
  int covered(int32_t x, int32_t y) override { return x < cover_right; }
  void selection_mode(int on) override { mode = on; }
  void tag_canvas(const char* t) override { tag = t; }
  int invalidations = 0;
  dib_rect last{};
  int cover_right = -1;
  int mode = 0;
  std::string tag;
};

// Layer pixel by value: blue, green, red, coverage.
uint32_t layer_px(const paint_surface* s, int32_t x, int32_t y) {
  unsigned char p[4];
  if (!surface_read_pixel(s, x, y, p)) return 0xdeadbeef;
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool same_layer(const paint_surface* a, const paint_surface* b) {
  if (a->width != b->width || a->height != b->height) return false;
  for (int32_t y = 0; y < a->height; ++y)
    if (std::memcmp(dib_row(a->colour, y), dib_row(b->colour, y), size_t(a->width) * 3) ||
        std::memcmp(dib_row(a->coverage, y), dib_row(b->coverage, y), size_t(a->width)))
      return false;
  return true;
}

class RgnSelection : public LeakCheck {
 protected:
  void SetUp() override {
    LeakCheck::SetUp();
    doc = make_document(160, 120, 8, 700, 500);
    ASSERT_TRUE(doc);
    // A known view: area at (10, 5) of the window, 1:1, document at (40, 30) of the area.
    auto* v = doc->canvas;
    v->area_x = 10, v->area_y = 5;
    v->scale_step = 1, v->angle = 0, v->offset_x = 40, v->offset_y = 30;
    paint_surface* s = doc->surface();
    // Every pixel its own colour; coverage varies too (the odd columns are half painted).
    for (int32_t y = 0; y < s->height; ++y)
      for (int32_t x = 0; x < s->width; ++x) surface_paint_pixel(s, x, y, tag_of(x, y), x % 2 ? 0.5f : 1.0f);
    original = surface_clone(s);
    lasso = std::make_unique<zun_enum_rgn_polygon>(doc.get(), &window);
    lasso->open();
  }
  void TearDown() override {
    lasso.reset();
    surface_free(original);
    doc.reset();
    LeakCheck::TearDown();
  }
  // Window position of a document pixel at this view.
  int32_t wx(int32_t doc_x) const { return doc_x + 40 + 10; }
  int32_t wy(int32_t doc_y) const { return doc_y + 30 + 5; }
  // Draws an outline given in document pixels with the pen.
  void draw_outline(const std::vector<rgn_point>& p) {
    ASSERT_EQ(lasso->pen_down(wx(p[0].x), wy(p[0].y)), 1);
    for (size_t k = 1; k < p.size(); ++k) lasso->pen_move(wx(p[k].x), wy(p[k].y));
    lasso->pen_up(wx(p.back().x), wy(p.back().y));
  }
  void select_rect(int32_t l, int32_t t, int32_t r, int32_t b) {
    draw_outline({{l, t}, {r, t}, {r, b}, {l, b}});
    ASSERT_EQ(lasso->state, 2);
    ASSERT_TRUE(lasso->selection);
  }
  void click(int handle) {
    const dib_rect r = lasso->selection->handle_rect(handle);
    const int32_t x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    ASSERT_EQ(lasso->selection->handle_at(x, y), handle);
    lasso->pen_down(x, y);
    lasso->pen_up(x, y);
  }
  void drag(int handle, int32_t dx, int32_t dy) {
    const dib_rect r = lasso->selection->handle_rect(handle);
    const int32_t x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    ASSERT_EQ(lasso->selection->handle_at(x, y), handle);
    lasso->pen_down(x, y);
    lasso->pen_move(x + dx / 2, y + dy / 2);
    lasso->pen_move(x + dx, y + dy);
    lasso->pen_up(x + dx, y + dy);
  }
  // What the shell does with the posted notification.
  void deliver_end() {
    ASSERT_TRUE(lasso->selection && lasso->selection->finished);
    lasso->notify(kStateRegionEnded);
    EXPECT_EQ(lasso->selection, nullptr);
    EXPECT_EQ(lasso->state, 0);
  }
  paint_surface* layer() { return doc->surface(); }

  std::unique_ptr<zun_file> doc;
  recording_window window;
  std::unique_ptr<zun_enum_rgn_polygon> lasso;
  paint_surface* original = nullptr;
};

TEST_F(RgnSelection, SmallOrMisplacedOutlinesMakeNoSelection) {
  EXPECT_EQ(window.tag, kLassoCanvasTag);
  // Five pixels wide (or tall) or less: nothing happens.
  draw_outline({{20, 20}, {24, 20}, {24, 90}, {20, 90}});
  EXPECT_EQ(lasso->state, 0);
  EXPECT_EQ(lasso->selection, nullptr);
  draw_outline({{20, 20}, {90, 20}, {90, 24}, {20, 24}});
  EXPECT_EQ(lasso->selection, nullptr);
  EXPECT_EQ(lasso->points.count(), 0);
  EXPECT_TRUE(same_layer(layer(), original));
  EXPECT_FALSE(doc->can_undo());
  // Six both ways starts one.
  draw_outline({{20, 20}, {25, 20}, {25, 25}, {20, 25}});
  EXPECT_EQ(lasso->state, 2);
  ASSERT_TRUE(lasso->selection);
  EXPECT_EQ(window.mode, 1);
  lasso->reset();
  // Outside the document, or under a floating panel, the pen does not start.
  EXPECT_EQ(lasso->pen_down(wx(-5), wy(10)), 0);
  EXPECT_EQ(lasso->state, 0);
  window.cover_right = 1000;
  EXPECT_EQ(lasso->pen_down(wx(10), wy(10)), 0);
}

TEST_F(RgnSelection, LiftingCutsTheRegionAndCancelRestoresTheLayerExactly) {
  // A figure eight: both loops are lifted, the middle above the crossing is not.
  draw_outline({{10, 10}, {90, 50}, {90, 10}, {10, 50}});
  ASSERT_EQ(lasso->state, 2);
  zun_rgn_op* op = lasso->selection;
  EXPECT_EQ(op->move_only, 1);
  EXPECT_TRUE(doc->can_undo());
  EXPECT_EQ(layer_px(layer(), 20, 30), 0x00ffffffu);  // left loop: white, coverage 0
  EXPECT_EQ(layer_px(layer(), 80, 30), 0x00ffffffu);  // right loop
  EXPECT_EQ(layer_px(layer(), 50, 15), layer_px(original, 50, 15));
  EXPECT_EQ(layer_px(layer(), 5, 5), layer_px(original, 5, 5));
  // The lifted pixels are the layer's under the box, at view scale (1:1 here).
  ASSERT_EQ(dib_width(op->lifted_colour), 81);
  EXPECT_EQ(px(op->lifted_colour, 10, 20), tag_of(20, 30));
  EXPECT_EQ(px(op->lifted_coverage, 11, 20), layer_px(original, 21, 30) >> 24);
  EXPECT_LT(px(op->lifted_coverage, 11, 20), 255u);  // the half-painted odd column
  // Transforms do not matter to a cancel.
  click(kHandleTurn);
  drag(kHandleMove, 13, -4);
  ASSERT_EQ(lasso->key_down(kKeyEscape), 1);
  EXPECT_TRUE(same_layer(layer(), original));
  EXPECT_EQ(window.mode, 0);
  deliver_end();
}

TEST_F(RgnSelection, DiscardLeavesWhiteAndTheRestAlone) {
  select_rect(30, 20, 60, 50);
  click(kHandleDiscard);
  ASSERT_TRUE(lasso->selection->finished);
  for (int32_t y = 0; y < 120; ++y) {
    for (int32_t x = 0; x < 160; ++x) {
      const bool in = x >= 30 && x <= 60 && y >= 20 && y <= 50;
      ASSERT_EQ(layer_px(layer(), x, y), in ? 0x00ffffffu : layer_px(original, x, y)) << x << "," << y;
    }
  }
  deliver_end();
  // The cut is one history step: undo brings the pixels back.
  ASSERT_TRUE(doc->history_undo());
  EXPECT_TRUE(same_layer(layer(), original));
}

TEST_F(RgnSelection, SeveralMovesThenCommitKeepExactPixels) {
  Initialised app;
  select_rect(30, 20, 60, 50);
  drag(kHandleMove, 7, 3);
  drag(kHandleMove, 5, -2);
  drag(kHandleMove, -1, 10);
  zun_rgn_op* op = lasso->selection;
  EXPECT_EQ(op->move_only, 1);
  EXPECT_EQ(op->offset_x, 11);
  EXPECT_EQ(op->offset_y, 11);
  EXPECT_EQ(op->box.left, 30 + 40 + 11);
  click(kHandleCommit);  // pressing commit itself must not spoil the exact copy
  ASSERT_TRUE(op->finished);
  EXPECT_TRUE(Initialised::pending(kStateRegionEnded));
  for (int32_t y = 0; y < 120; ++y) {
    for (int32_t x = 0; x < 160; ++x) {
      const bool moved = x >= 41 && x <= 71 && y >= 31 && y <= 61;
      const bool cut = x >= 30 && x <= 60 && y >= 20 && y <= 50;
      const uint32_t want = moved ? layer_px(original, x - 11, y - 11)
                            : cut ? 0x00ffffffu
                                  : layer_px(original, x, y);
      ASSERT_EQ(layer_px(layer(), x, y), want) << x << "," << y;
    }
  }
  deliver_end();
}

TEST_F(RgnSelection, MovesAtAZoomedViewStayExact) {
  doc->canvas->scale_step = 2;  // two screen pixels per document pixel
  doc->canvas->offset_x = doc->canvas->offset_y = 0;
  auto w = [&](int32_t d) { return 2 * d + 10; };
  auto h = [&](int32_t d) { return 2 * d + 5; };
  ASSERT_EQ(lasso->pen_down(w(20), h(20)), 1);
  lasso->pen_move(w(40), h(20));
  lasso->pen_move(w(40), h(40));
  lasso->pen_move(w(20), h(40));
  lasso->pen_up(w(20), h(40));
  ASSERT_EQ(lasso->state, 2);
  drag(kHandleMove, 10, 6);
  drag(kHandleMove, 4, 8);
  ASSERT_EQ(lasso->key_down(kKeyEnter), 1);
  // 14 x 14 screen pixels are 7 x 7 document pixels.
  for (int32_t y = 20; y <= 40; ++y)
    for (int32_t x = 20; x <= 40; ++x) ASSERT_EQ(layer_px(layer(), x + 7, y + 7), layer_px(original, x, y));
  deliver_end();
}

TEST_F(RgnSelection, CtrlKeepsTheAspectRatioWhileScaling) {
  select_rect(20, 20, 79, 39);  // a box of 60 x 20
  zun_rgn_op* op = lasso->selection;
  ASSERT_EQ(op->box.right - op->box.left, 60);
  ASSERT_EQ(op->box.bottom - op->box.top, 20);
  ASSERT_EQ(lasso->key_down(kKeyControl), 1);
  EXPECT_EQ(op->keep_ratio, 1);
  drag(kHandleScale, 15, -20);  // asks for 90 x 60
  EXPECT_EQ(op->move_only, 0);
  EXPECT_EQ(op->box.right - op->box.left, 90);
  EXPECT_EQ(op->box.bottom - op->box.top, 30);
  EXPECT_EQ(dib_width(op->lifted_colour), 90);
  EXPECT_EQ(dib_height(op->lifted_coverage), 30);
  lasso->key_up(kKeyControl);
  EXPECT_EQ(op->keep_ratio, 0);
  drag(kHandleScale, -10, -10);  // 70 x 50, the ratio is free now
  EXPECT_EQ(op->box.right - op->box.left, 70);
  EXPECT_EQ(op->box.bottom - op->box.top, 50);
  // Shrinking to nothing does nothing.
  drag(kHandleScale, -40, 0);
  EXPECT_EQ(op->box.right - op->box.left, 70);
  EXPECT_EQ(dib_width(op->lifted_colour), 70);
  // The scaled pixels land in the layer on commit.
  ASSERT_EQ(lasso->key_down(kKeyEnter), 1);
  // The box is now 70 x 50 about the same centre: document rows 5 to 54.
  EXPECT_NE(layer_px(layer(), 49, 50), layer_px(original, 49, 50));
  EXPECT_EQ(layer_px(layer(), 49, 58), layer_px(original, 49, 58));
  deliver_end();
}

TEST_F(RgnSelection, QuarterTurnOfTheCellsMatchesTheLiftedBitmaps) {
  // An L shape, so that the sense of the turn shows.
  draw_outline({{20, 20}, {50, 20}, {50, 28}, {28, 28}, {28, 60}, {20, 60}});
  zun_rgn_op* op = lasso->selection;
  ASSERT_TRUE(op);
  const int32_t w = op->box.right - op->box.left, h = op->box.bottom - op->box.top;
  rgn_ptr before{rgn_copy(op->working_region)};
  dib_block* colour_before = dib_clone(op->lifted_colour);
  click(kHandleTurn);
  ASSERT_EQ(op->box.right - op->box.left, h);
  ASSERT_EQ(op->box.bottom - op->box.top, w);
  // Each turned cell holds the lifted pixel that the bitmap's turn put there,
  // and the turned region is inside exactly where the source was.
  const rgn_record* r = op->working_region;
  int inside = 0;
  for (int32_t j = 0; j < r->height; ++j) {
    for (int32_t i = 0; i < r->width; ++i) {
      const int32_t si = w - 1 - j, sj = i;  // dib_rotate90's source of (i, j)
      ASSERT_EQ(r->cells[j * r->width + i] != 0, before->cells[sj * w + si] != 0) << i << "," << j;
      ASSERT_EQ(px(op->lifted_colour, i, j), px(colour_before, si, sj));
      inside += r->cells[j * r->width + i] != 0;
    }
  }
  EXPECT_GT(inside, 400);
  // Committed: every document pixel of the turned region got its source pixel.
  ASSERT_EQ(lasso->key_down(kKeyEnter), 1);
  for (int32_t j = 0; j < r->height; ++j) {
    for (int32_t i = 0; i < r->width; ++i) {
      if (!r->cells[j * r->width + i]) continue;
      const int32_t si = w - 1 - j, sj = i;
      const int32_t dx = r->x + i - 40, dy = r->y + j - 30;  // screen to document
      const int32_t ox = before->x + si - 40, oy = before->y + sj - 30;
      ASSERT_EQ(layer_px(layer(), dx, dy), layer_px(original, ox, oy)) << dx << "," << dy;
    }
  }
  dib_free(colour_before);
  deliver_end();
}

TEST_F(RgnSelection, FlipMirrorAndRotateHandles) {
  select_rect(40, 40, 69, 59);  // 30 x 20
  zun_rgn_op* op = lasso->selection;
  const uint32_t top_left = px(op->lifted_colour, 0, 0);
  click(kHandleFlip);
  EXPECT_EQ(px(op->lifted_colour, 0, 19), top_left);
  click(kHandleMirror);
  EXPECT_EQ(px(op->lifted_colour, 29, 19), top_left);
  EXPECT_EQ(op->move_only, 0);
  // A quarter of a turn dragged on the rotate handle is a quarter turn.
  rgn_ptr turned{rgn_copy(op->working_region)};
  ASSERT_TRUE(rgn_quarter_turn(turned.get()));
  const dib_rect r5 = op->handle_rect(kHandleRotate);
  ASSERT_EQ((op->box.left + op->box.right) % 2, 0);
  ASSERT_EQ((op->box.top + op->box.bottom) % 2, 0);
  const int32_t cx = 10 + (op->box.left + op->box.right) / 2, cy = 5 + (op->box.top + op->box.bottom) / 2;
  const int32_t sx = (r5.left + r5.right) / 2, sy = cy;  // on the handle, level with the centre
  ASSERT_EQ(op->handle_at(sx, sy), kHandleRotate);
  lasso->pen_down(sx, sy);
  lasso->pen_move(cx, cy - (sx - cx));
  lasso->pen_up(cx, cy - (sx - cx));  // straight up from the centre: +90 degrees
  EXPECT_EQ(op->box.right - op->box.left, 20);
  EXPECT_EQ(rgn_picture(op->working_region), rgn_picture(turned.get()));
  EXPECT_EQ(px(op->lifted_colour, 19, 0), top_left);
  // An odd angle makes a larger box; the corners take the background.
  const dib_rect r5b = op->handle_rect(kHandleRotate);
  const int32_t bx = (r5b.left + r5b.right) / 2, by = (r5b.top + r5b.bottom) / 2;
  lasso->pen_down(bx, by);
  lasso->pen_up(bx, by - (bx - cx));  // 45 degrees
  EXPECT_GT(op->box.right - op->box.left, 30);
  EXPECT_EQ(dib_width(op->lifted_colour), op->box.right - op->box.left);
  EXPECT_EQ(op->working_region->width, dib_width(op->lifted_coverage));
  ASSERT_EQ(lasso->key_down(kKeyDelete), 1);  // discard
  deliver_end();
}

TEST_F(RgnSelection, DrawingShowsTheLiftedPixelsAndHandles) {
  select_rect(20, 10, 100, 90);
  zun_rgn_op* op = lasso->selection;
  dib_block* desktop = dib_create(500, 1, 700, dib_colour(1, 2, 3));
  ASSERT_TRUE(desktop);
  ASSERT_EQ(lasso->draw(desktop), 1);
  // Fully painted (even) columns show the lifted pixel itself.
  EXPECT_EQ(px(desktop, wx(36), wy(30)), tag_of(36, 30));
  // The handles are drawn, nothing far from the selection is.
  const dib_rect h6 = op->handle_rect(kHandleCommit);
  EXPECT_EQ(px(desktop, h6.left, h6.top), 0x303030u);
  EXPECT_EQ(px(desktop, 600, 400), dib_colour(1, 2, 3));
  const dib_rect e = op->extent();
  for (int32_t y = 0; y < 500; y += 3)
    for (int32_t x = 0; x < 700; x += 3)
      if (x < e.left || x >= e.right || y < e.top || y >= e.bottom) {
        ASSERT_EQ(px(desktop, x, y), dib_colour(1, 2, 3)) << x << "," << y;
      }
  // While drawing an outline the lasso shows its segments.
  lasso->key_down(kKeyEnter);
  deliver_end();
  dib_fill(desktop, dib_colour(1, 2, 3), nullptr);
  ASSERT_EQ(lasso->pen_down(wx(10), wy(80)), 1);
  lasso->pen_move(wx(50), wy(80));
  ASSERT_EQ(lasso->draw(desktop), 1);
  EXPECT_NE(px(desktop, wx(30), wy(80)), dib_colour(1, 2, 3));
  lasso->pen_up(wx(50), wy(80));  // a line, no region
  EXPECT_EQ(lasso->selection, nullptr);
  dib_free(desktop);
}

TEST_F(RgnSelection, ASelectionNeedsADocumentAndEndsOnce) {
  rgn_ptr r{rgn_make_rect(60, 60, 20, 20)};
  zun_rgn_op orphan(nullptr, &window);
  EXPECT_EQ(orphan.start(r.get()), 0);
  EXPECT_EQ(orphan.commit(), 0);
  EXPECT_EQ(orphan.cancel(), 0);
  EXPECT_EQ(orphan.pen_down(70, 70), 0);
  zun_rgn_op op(doc.get(), &window);
  EXPECT_EQ(op.start(nullptr), 0);
  ASSERT_EQ(op.start(r.get()), 1);
  EXPECT_EQ(op.start(r.get()), 0);  // one selection per object
  ASSERT_EQ(op.discard(), 1);
  EXPECT_EQ(op.commit(), 0);  // ended: nothing more happens
  EXPECT_EQ(op.cancel(), 0);
  EXPECT_EQ(op.key_down(kKeyEnter), 0);
  EXPECT_EQ(op.draw(nullptr), 0);
  // The outline being drawn is invalidated as it grows.
  const int before = window.invalidations;
  ASSERT_EQ(lasso->pen_down(wx(10), wy(10)), 1);
  lasso->pen_move(wx(30), wy(12));
  EXPECT_EQ(window.invalidations, before + 2);
  EXPECT_EQ(window.last.left, wx(10) - 2);
  EXPECT_EQ(window.last.right, wx(30) + 3);
  lasso->reset();
  EXPECT_EQ(lasso->state, 0);
}

TEST_F(RgnSelection, OutlinesReachingPastTheDocumentEdge) {
  // Pen down inside, the outline runs off the left and top edges.
  draw_outline({{10, 10}, {-25, 10}, {-25, -20}, {40, -20}, {40, 30}, {10, 30}});
  ASSERT_EQ(lasso->state, 2);
  zun_rgn_op* op = lasso->selection;
  EXPECT_EQ(layer_px(layer(), 0, 0), 0x00ffffffu);
  EXPECT_EQ(layer_px(layer(), 41, 0), layer_px(original, 41, 0));
  drag(kHandleMove, 30, 40);
  EXPECT_EQ(op->move_only, 1);
  ASSERT_EQ(lasso->key_down(kKeyEnter), 1);
  // What was inside the document arrives moved; what lay outside brings white.
  EXPECT_EQ(layer_px(layer(), 30 + 0, 40 + 0), layer_px(original, 0, 0));
  EXPECT_EQ(layer_px(layer(), 30 + 40, 40 + 30), layer_px(original, 40, 30));
  EXPECT_EQ(layer_px(layer(), 15, 5), 0x00ffffffu);  // under the cut, not under the move
  EXPECT_EQ(layer_px(layer(), 5, 15), layer_px(original, 5, 15));  // in the notch: never cut
  deliver_end();
  // Scaled and turned past the edge, then committed: nothing outside the layer is touched.
  draw_outline({{5, 60}, {-30, 60}, {-30, 118}, {5, 118}});
  ASSERT_EQ(lasso->state, 2);
  click(kHandleTurn);
  drag(kHandleScale, 30, -30);
  ASSERT_EQ(lasso->key_down(kKeyEnter), 1);
  deliver_end();
}

TEST_F(RgnSelection, DestroyingAnUnfinishedSelectionCommitsIt) {
  select_rect(30, 20, 60, 50);
  drag(kHandleMove, 0, 0);
  EXPECT_NE(layer_px(layer(), 40, 30), layer_px(original, 40, 30));
  lasso.reset();  // the panel goes, the selection with it: put back in place
  EXPECT_TRUE(same_layer(layer(), original));
  EXPECT_EQ(window.mode, 0);
}
}  // namespace

namespace {
// "Renum\rgn\op0.jpg" under the installation tree of this build.
int tree_resolver(const char* name, char* out, int size) {
  const char* tree = std::getenv("QM_TREE");
  if (!tree || name[0] != 'R') return 0;
  std::string path = std::string(tree) + "\\RES\\" + (name + 1);
#ifndef _WIN32
  for (char& c : path)
    if (c == '\\') c = '/';
#endif
  if (int(path.size()) >= size) return 0;
  std::memcpy(out, path.c_str(), path.size() + 1);
  return 1;
}

TEST_F(RgnSelection, HandlePicturesFromTheTreeAreDrawnThroughTheirMask) {
  if (!std::getenv("QM_TREE")) GTEST_SKIP() << "QM_TREE is not set (run through ctest)";
  rgn_handle_pictures pics;
  ASSERT_EQ(rgn_handles_load(pics, tree_resolver), 1);
  ASSERT_EQ(dib_width(pics.picture[0]), 15);
  lasso->pictures = &pics;
  select_rect(20, 10, 100, 90);
  zun_rgn_op* op = lasso->selection;
  const dib_rect r = op->handle_rect(kHandleCancel);
  EXPECT_EQ(r.right - r.left, dib_width(pics.picture[kHandleCancel]));
  dib_block* desktop = dib_create(500, 1, 700, dib_colour(1, 2, 3));
  ASSERT_EQ(lasso->draw(desktop), 1);
  // The mask's cut corner shows what is beneath; its inside shows the picture.
  EXPECT_NE(px(desktop, r.left, r.top), px(pics.picture[kHandleCancel], 0, 0));
  EXPECT_EQ(px(desktop, r.left + 7, r.top + 1), px(pics.picture[kHandleCancel], 7, 1));
  lasso->key_down(kKeyEscape);
  deliver_end();
  dib_free(desktop);
  rgn_handles_free(pics);
  EXPECT_EQ(pics.mask, nullptr);
}
}  // namespace
