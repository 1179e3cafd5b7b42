// Document data: new documents, dirty bookkeeping, the checkerboard and the
// drawing of sheets.
#include "doc/file_data.h"

#include <gtest/gtest.h>

#include "base/alloc.h"
#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class FileData : public LeakCheck {};

bool same(const dib_rect& a, const dib_rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A picture of a plain colour at (x, y) with a uniform mask.
placed_picture* add_picture(zun_file& f, int32_t x, int32_t y, int32_t w, int32_t h,
                            uint32_t colour, int mask, float opacity) {
  auto* p = static_cast<placed_picture*>(mem_calloc(sizeof(placed_picture)));
  p->kind = 1;
  p->x = x, p->y = y, p->width = w, p->height = h;
  p->opacity = opacity;
  p->image = dib_create(h, 1, w, colour);
  p->mask = dib_create(h, 0, w, static_cast<uint32_t>(mask));
  p->next = f.data->current_sheet()->pictures;
  f.data->current_sheet()->pictures = p;
  return p;
}
}  // namespace

TEST_F(FileData, FreshDataAndNoOwner) {
  zun_file_data d;
  EXPECT_EQ(d.width, 0);
  EXPECT_EQ(d.redraw_pending, 1);
  EXPECT_TRUE(dib_rect_empty(d.dirty));
  EXPECT_EQ(d.sheet_count, 0);
  EXPECT_EQ(d.current_index, -1);
  // Without an owner nothing happens.
  EXPECT_FALSE(d.doc_data_new(10, 10));
  EXPECT_FALSE(d.doc_add_sheet());
  EXPECT_EQ(d.current_surface(), nullptr);
}

TEST_F(FileData, NewDocumentSizes) {
  auto f = make_document(30, 20);
  EXPECT_EQ(f->data->sheet_count, 1);
  EXPECT_EQ(f->data->current_index, 0);
  EXPECT_EQ(f->width(), 30);
  EXPECT_EQ(f->surface()->width, 30);
  EXPECT_EQ(f->canvas->width, 30);  // the view learnt the size
  // No size given: the template's, cut to the maximum settings.
  f->template_width = 300, f->template_height = 200;
  f->max_width = 250;
  ASSERT_TRUE(f->doc_new(0, 0));
  EXPECT_EQ(f->width(), 250);
  EXPECT_EQ(f->height(), 200);
  // No template and no size, or beyond what any document may be: refused.
  f->template_width = f->template_height = 0;
  f->max_width = 0;
  EXPECT_FALSE(f->doc_new(0, 0));
  EXPECT_EQ(f->data->sheet_count, 0);
  EXPECT_EQ(f->surface(), nullptr);
  EXPECT_FALSE(f->doc_new(kDocMaxSide + 1, 10));
  EXPECT_FALSE(f->doc_new(kDocMaxSide, kDocMaxSide));
}

TEST_F(FileData, NewDocumentPostsItsKeysOnlyOnceInitialised) {
  {
    state_clear(app_changes());
    auto f = make_document(30, 20);
    EXPECT_EQ(app_changes().count, 2);  // the view's 4096 and 8192 only
  }
  Initialised on;
  auto f = make_document(30, 20);
  f->modified = 1;
  ASSERT_TRUE(f->doc_new(40, 20));
  EXPECT_EQ(f->modified, 0);
  for (uint32_t key : {kStateView4096, kStateView, kStateHistory, kStateDocument256,
                       kStateDocument512, kStateModified})
    EXPECT_TRUE(Initialised::pending(key)) << key;
}

TEST_F(FileData, MarkDirty) {
  Initialised on;
  auto f = make_document(100, 50);
  zun_file_data& d = *f->data;
  d.redraw_pending = 0;
  d.dirty = dib_rect{0, 0, 0, 0};
  f->modified = 0;
  const dib_rect empty{5, 5, 5, 9};
  d.doc_mark_dirty(&empty, 1);
  EXPECT_EQ(d.redraw_pending, 0);
  EXPECT_EQ(f->modified, 0);

  const dib_rect a{90, 40, 120, 70};  // clipped to the document
  d.doc_mark_dirty(&a, 0);
  EXPECT_TRUE(same(d.dirty, dib_rect{90, 40, 100, 50}));
  EXPECT_EQ(f->modified, 0);
  const dib_rect b{10, 5, 20, 8};
  d.doc_mark_dirty(&b, 1);
  EXPECT_TRUE(same(d.dirty, dib_rect{10, 5, 100, 50}));
  EXPECT_EQ(f->modified, 1);

  // Wholly outside: the rectangle stays, the redraw flag is still set.
  d.redraw_pending = 0;
  const dib_rect outside{200, 200, 300, 300};
  d.doc_mark_dirty(&outside, 0);
  EXPECT_EQ(d.redraw_pending, 1);
  EXPECT_TRUE(same(d.dirty, dib_rect{10, 5, 100, 50}));
}

TEST_F(FileData, Checkerboard) {
  EXPECT_EQ(checkerboard_side(640, 480), 16);
  EXPECT_EQ(checkerboard_side(3000, 2000), 50);
  EXPECT_EQ(checkerboard_side(2000, 1001), 25);
  dib_block* c = checkerboard_make(70, 40);
  ASSERT_NE(c, nullptr);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 70; ++x)
      ASSERT_EQ(px(c, x, y), ((x / 16) % 2 == (y / 16) % 2) ? 0xC0C0C0u : 0xFFFFFFu)
          << x << "," << y;
  dib_free(c);
}

TEST_F(FileData, SheetDrawingLayers) {
  auto f = make_document(40, 30);
  zun_file_data& d = *f->data;
  dib_block* target = dib_create(30, 1, 40, 0x123456);
  set_px(d.current_background()->image, 2, 2, 0x0000AA);
  add_picture(*f, 10, 10, 8, 8, 0xFF0000, 255, 1.0f);
  add_picture(*f, 30, 20, 20, 20, 0x00FF00, 128, 1.0f);  // runs off the document
  surface_paint_pixel(f->surface(), 11, 11, 0x000001, 1.0f);

  d.doc_mark_dirty(nullptr, 0);
  ASSERT_TRUE(d.doc_render_dirty(target));
  EXPECT_EQ(d.redraw_pending, 0);
  EXPECT_TRUE(dib_rect_empty(d.dirty));
  EXPECT_EQ(px(target, 2, 2), 0x0000AAu);  // background image
  EXPECT_EQ(px(target, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(px(target, 12, 12), 0xFF0000u);  // picture, full mask
  EXPECT_EQ(px(target, 11, 11), 0x000001u);  // the surface on top
  const uint32_t half = px(target, 35, 25);  // mask 128 over white
  EXPECT_NEAR(dib_red(half), 128, 2);
  EXPECT_EQ(dib_green(half), 255);
  EXPECT_NEAR(dib_blue(half), 128, 2);

  // Display mode 1 shows pictures at half their opacity.
  view_mode = 1;
  d.doc_mark_dirty(nullptr, 0);
  d.doc_render_dirty(target);
  view_mode = 0;
  const uint32_t faded = px(target, 12, 12);
  EXPECT_NEAR(dib_red(faded), 128, 2);
  EXPECT_EQ(dib_blue(faded), 255);
  EXPECT_EQ(px(target, 11, 11), 0x000001u);

  // Hidden background: the checkerboard.
  ASSERT_TRUE(d.doc_toggle_background());
  d.doc_render_dirty(target);
  EXPECT_EQ(px(target, 2, 2), 0xC0C0C0u);
  EXPECT_EQ(px(target, 17, 2), 0xFFFFFFu);
  dib_free(target);
}

TEST_F(FileData, RenderDirtyTouchesOnlyTheDirtyPart) {
  auto f = make_document(40, 30);
  zun_file_data& d = *f->data;
  dib_block* target = dib_create(30, 1, 40, 0x123456);
  d.doc_render_dirty(target);  // the whole new document
  dib_fill(target, 0x123456, nullptr);
  surface_paint_pixel(f->surface(), 5, 5, 0x0000FF, 1.0f);
  surface_paint_pixel(f->surface(), 30, 20, 0x0000FF, 1.0f);
  const dib_rect r{4, 4, 8, 8};
  d.doc_mark_dirty(&r, 1);
  ASSERT_TRUE(d.doc_render_dirty(target));
  EXPECT_EQ(px(target, 5, 5), 0x0000FFu);
  EXPECT_EQ(px(target, 4, 4), 0xFFFFFFu);
  EXPECT_EQ(px(target, 8, 8), 0x123456u);
  EXPECT_EQ(px(target, 30, 20), 0x123456u);
  EXPECT_FALSE(d.doc_render_dirty(target));  // nothing pending
  dib_free(target);
}

TEST_F(FileData, RenderAllAndClear) {
  auto f = make_document(20, 10);
  zun_file_data& d = *f->data;
  ASSERT_TRUE(d.doc_add_sheet());  // a second sheet on top, now current
  EXPECT_EQ(d.sheet_count, 2);
  EXPECT_EQ(d.current_index, 1);
  surface_paint_pixel(f->surface(), 3, 3, 0x00FF00, 1.0f);
  add_picture(*f, 0, 0, 2, 2, 0x0000FF, 255, 0.0f);  // invisible
  dib_block* all = d.doc_render_all();
  ASSERT_NE(all, nullptr);
  EXPECT_EQ(px(all, 3, 3), 0x00FF00u);
  EXPECT_EQ(px(all, 0, 0), 0xFFFFFFu);
  dib_free(all);

  ASSERT_TRUE(f->doc_clear());
  EXPECT_TRUE(dib_rect_empty(f->surface()->changed));
  EXPECT_EQ(px(f->surface()->colour, 3, 3), 0xFFFFFFu);
  ASSERT_TRUE(f->history_undo());  // clearing records the surface
  EXPECT_EQ(px(f->surface()->colour, 3, 3), 0x00FF00u);

  EXPECT_EQ(d.picture_count(), 1);
  ASSERT_TRUE(f->doc_remove_pictures());
  EXPECT_EQ(d.picture_count(), 0);
  ASSERT_TRUE(f->history_undo());
  EXPECT_EQ(d.picture_count(), 1);
}

TEST_F(FileData, PictureLargerThanItsBlocksDrawsOnlyWhatExists) {
  auto f = make_document(40, 30);
  placed_picture* p = add_picture(*f, 5, 5, 4, 4, 0xFF0000, 255, 1.0f);
  p->width = p->height = 1000;  // the record claims more than the blocks hold
  dib_block* target = dib_create(30, 1, 40, 0);
  f->data->doc_mark_dirty(nullptr, 0);
  f->data->doc_render_dirty(target);
  EXPECT_EQ(px(target, 8, 8), 0xFF0000u);
  EXPECT_EQ(px(target, 9, 9), 0xFFFFFFu);
  dib_free(target);
}
