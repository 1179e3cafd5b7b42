// The program's players and the pen tools' recorder: which player plays
// what, how a tool event becomes a record, and text masks blended into a
// layer. Painting fidelity against live strokes is in replay_test.cpp.
#include "macro/players.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "base/alloc.h"
#include "base/surface.h"
#include "doc/zun_file.h"
#include "macro/font_player.h"
#include "macro/pen_recorder.h"
#include "paint/pen_engine.h"
#include "tests/support/leak_check.h"

namespace {
struct recording {
  recording() {
    macro.init();
    owner.initialised = 1;
    owner.state = kMacroRecording;
    macro.owner = &owner;
  }
  macro_owner owner;
  zun_macro_data macro;
};

pen_macro_event tool_event(int kind, int eraser_record) {
  pen_macro_event e{};
  e.kind = kind;
  e.x = 31, e.y = 47;
  e.pressure = 0.25f;
  e.has_pressure = 1;
  e.packet_index = 2, e.packet_count = 5;
  e.pen_id = eraser_record ? 11 : 44;
  e.eraser = eraser_record ? 1 : 0;
  e.size = 1.25f;
  e.colour = eraser_record ? 0xffffff : 0x00123456;
  e.opacity = 0.4f;
  e.eraser_record = eraser_record;
  return e;
}

std::unique_ptr<zun_file> document(int32_t w, int32_t h) {
  auto f = std::make_unique<zun_file>();
  EXPECT_TRUE(f->zun_file_init(2));
  f->canvas->view_setup(0, 0, 400, 300);
  EXPECT_TRUE(f->doc_new(w, h));
  return f;
}
}  // namespace

TEST(PenRecorder, ToolEventsBecomeRecordsOfTheirKind) {
  recording r;
  macro_pen_recorder rec(&r.macro);
  rec.record(tool_event(1, 0));
  rec.record(tool_event(2, 0));
  rec.record(tool_event(2, 1));  // the eraser panel
  rec.record(tool_event(3, 0));
  ASSERT_EQ(r.macro.count(), 4);
  EXPECT_EQ(rec.kept, 4);
  const macro_record& down = *r.macro.record_at(0);
  EXPECT_EQ(down.record_kind, kMacroKindPen);
  EXPECT_EQ(down.phase, kMacroDown);
  EXPECT_EQ(down.x, 31);
  EXPECT_EQ(down.pen.point_count, 0);  // down records are no batch
  const macro_record& move = *r.macro.record_at(1);
  EXPECT_EQ(move.phase, kMacroMove);
  EXPECT_EQ(move.y, 47);
  EXPECT_FLOAT_EQ(move.pen.pressure, 0.25f);
  EXPECT_EQ(move.pen.has_pressure, 1);
  EXPECT_EQ(move.pen.point_index, 2);
  EXPECT_EQ(move.pen.point_count, 5);
  EXPECT_EQ(move.pen.pen_id, 44);
  EXPECT_EQ(move.pen.erase, 0);
  EXPECT_FLOAT_EQ(move.pen.pen_size, 1.25f);
  EXPECT_EQ(move.colour, 0x00123456u);
  EXPECT_FLOAT_EQ(move.opacity, 0.4f);
  const macro_record& rub = *r.macro.record_at(2);
  EXPECT_EQ(rub.record_kind, kMacroKindRub);
  EXPECT_EQ(rub.pen.erase, 1);
  EXPECT_EQ(rub.pen.pen_id, 11);
  EXPECT_EQ(rub.colour, kMacroEraserColour);
  const macro_record& up = *r.macro.record_at(3);
  EXPECT_EQ(up.phase, kMacroUp);
  EXPECT_EQ(up.x, 0);
  // A pen whose tablet end is the eraser records rubber value 1 as a pen record.
  pen_macro_event e = tool_event(2, 0);
  e.eraser = 1;
  e.x = 99;
  rec.record(e);
  EXPECT_EQ(r.macro.record_at(4)->record_kind, kMacroKindPen);
  EXPECT_EQ(r.macro.record_at(4)->pen.erase, 1);
}

TEST(PenRecorder, KeepsNothingUnlessRecordingOrForUnknownKinds) {
  recording r;
  macro_pen_recorder rec(&r.macro);
  rec.record(tool_event(0, 0));
  rec.record(tool_event(4, 0));
  rec.record(tool_event(-1, 1));
  EXPECT_EQ(r.macro.count(), 0);
  r.owner.state = kMacroIdle;
  rec.record(tool_event(1, 0));
  r.owner.state = kMacroPlaying;
  rec.record(tool_event(1, 0));
  EXPECT_EQ(r.macro.count(), 0);
  EXPECT_EQ(rec.kept, 0);
  macro_pen_recorder none(nullptr);
  none.record(tool_event(1, 0));  // no macro: ignored
}

TEST(Players, EachKindHasItsPlayer) {
  zun_macro_players players;
  zun_macro_data data;
  std::unique_ptr<zun_macro_one> pen(players.make_player(kMacroKindPen, &data));
  std::unique_ptr<zun_macro_one> rub(players.make_player(kMacroKindRub, &data));
  std::unique_ptr<zun_macro_one> text(players.make_player(kMacroKindText, &data));
  ASSERT_TRUE(pen && rub && text);
  EXPECT_STREQ(pen->name(), "engine");
  EXPECT_STREQ(rub->name(), "rub");
  EXPECT_STREQ(text->name(), "font");
  EXPECT_EQ(players.make_player(0, &data), nullptr);
  EXPECT_EQ(players.make_player(4, &data), nullptr);
  // Pen and eraser players seek back to their own stroke's down record.
  zun_macro_rec list(16);
  ASSERT_TRUE(list.reserve(6));
  const uint8_t kinds[6] = {1, 1, 1, 2, 2, 2}, phases[6] = {1, 2, 2, 1, 2, 2};
  for (int i = 0; i < 6; ++i) list.items[i].record_kind = kinds[i], list.items[i].phase = phases[i];
  list.count = 6;
  EXPECT_EQ(pen->seek_start(list, 2), 0);
  EXPECT_EQ(rub->seek_start(list, 5), 3);
  EXPECT_EQ(rub->seek_start(list, 2), 2);  // not its kind: unchanged
  EXPECT_EQ(text->seek_start(list, 2), 2);
}

class PenPlayer : public LeakCheck {};

TEST_F(PenPlayer, PaintsIntoTheCurrentLayerAndShowsTheChange) {
  auto doc = document(120, 90);
  zun_macro_data data;
  zun_macro_penengine player(&data, macro_engine_setup{1, nullptr});
  macro_record r{};
  r.record_kind = kMacroKindPen;
  r.canvas_width = 120, r.canvas_height = 90;
  r.colour = 0x000000ff;
  r.opacity = 1;
  r.pen.pen_id = 11;  // solid squares, pictures generated without a tree
  r.pen.pen_size = 10;
  r.pen.pressure = 1;
  macro_stage stage{doc.get(), nullptr};
  r.phase = kMacroDown, r.x = 20, r.y = 40;
  EXPECT_EQ(player.play(stage, r), 0);
  ASSERT_NE(player.engine, nullptr);
  EXPECT_FLOAT_EQ(player.engine->size, 10);
  doc->data->dirty = dib_rect{0, 0, 0, 0};
  r.phase = kMacroMove, r.x = 90;
  EXPECT_EQ(player.play(stage, r), 1);
  EXPECT_EQ(player.current, &r);
  const dib_rect d = doc->data->dirty;
  EXPECT_LE(d.left, 20);
  EXPECT_GE(d.right, 90);
  unsigned char px[4];
  ASSERT_TRUE(surface_read_pixel(doc->surface(), 55, 40, px));
  EXPECT_EQ(px[3], 255);  // pen 11 paints in black, whatever the colour
  EXPECT_EQ(px[2], 0);
  r.phase = kMacroUp;
  EXPECT_EQ(player.play(stage, r), 0);
  // The eraser player makes it white again, whatever the record says.
  zun_macro_penrub rub(&data, macro_engine_setup{1, nullptr});
  r.record_kind = kMacroKindRub;
  r.pen.erase = 0;
  r.phase = kMacroDown, r.x = 55, r.y = 20;
  rub.play(stage, r);
  r.phase = kMacroMove, r.y = 60;
  EXPECT_EQ(rub.play(stage, r), 1);
  EXPECT_EQ(rub.engine->eraser, 1);
  ASSERT_TRUE(surface_read_pixel(doc->surface(), 55, 40, px));
  EXPECT_EQ(px[3], 0) << int(px[0]) << " " << int(px[1]) << " " << int(px[2]);
}

TEST_F(PenPlayer, DamagedRecordsPaintNothingOrStayInRange) {
  auto doc = document(64, 48);
  zun_macro_data data;
  zun_macro_penengine player(&data, macro_engine_setup{1, nullptr});
  macro_record r{};
  r.record_kind = kMacroKindPen;
  r.pen.pen_id = 11;
  r.opacity = 1;
  // Without a document, or with an unknown pen, nothing is painted.
  macro_stage none{nullptr, nullptr};
  r.phase = kMacroDown;
  EXPECT_EQ(player.play(none, r), 0);
  macro_stage stage{doc.get(), nullptr};
  r.pen.pen_id = 13;
  r.phase = kMacroDown;
  EXPECT_EQ(player.play(stage, r), 0);
  r.phase = kMacroMove, r.x = 40;
  EXPECT_EQ(player.play(stage, r), 0);
  EXPECT_EQ(player.engine->desc, nullptr);
  // Sizes, pressures, opacities and points that are not numbers or far out.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  r.pen.pen_id = 11;
  r.pen.pen_size = nan;
  r.pen.pressure = nan;
  r.pen.has_pressure = 1;
  r.opacity = std::numeric_limits<float>::infinity();
  r.phase = kMacroDown, r.x = 10, r.y = 10;
  player.play(stage, r);
  EXPECT_FLOAT_EQ(player.engine->size, player.engine->desc->size_min);
  r.phase = kMacroMove, r.x = 50;
  player.play(stage, r);
  r.pen.pen_size = 1e30f;
  r.x = INT32_MAX, r.y = INT32_MIN;
  r.canvas_width = -32768;
  player.play(stage, r);
  EXPECT_FLOAT_EQ(player.engine->size, player.engine->desc->size_max);
  r.phase = 7;
  EXPECT_EQ(player.play(stage, r), 0);
}

TEST_F(PenPlayer, TextMasksBlendClippedToTheLayer) {
  paint_surface* s = surface_new(20, 30);
  ASSERT_NE(s, nullptr);
  macro_text_mask m;
  m.width = 8, m.height = 6;
  m.alpha = static_cast<uint8_t*>(mem_calloc(48));
  ASSERT_NE(m.alpha, nullptr);
  for (int i = 0; i < 48; ++i) m.alpha[i] = i % 2 ? 255 : 0;
  m.alpha[0] = 128;
  dib_rect changed;
  // Mostly off the left and top edges: only its lower right part lands.
  EXPECT_EQ(macro_text_blend(s, m, -5, -3, 0x000000ff, 1.0f, &changed), 1);
  EXPECT_EQ(changed.left, 0);
  EXPECT_EQ(changed.top, 0);
  EXPECT_EQ(changed.right, 3);
  EXPECT_EQ(changed.bottom, 3);
  unsigned char px[4];
  ASSERT_TRUE(surface_read_pixel(s, 0, 0, px));  // mask (5, 3): alpha 255
  EXPECT_EQ(px[2], 255);
  EXPECT_EQ(px[1], 0);
  ASSERT_TRUE(surface_read_pixel(s, 1, 0, px));  // mask (6, 3): alpha 0
  EXPECT_EQ(px[3], 0);
  // Half alpha at half opacity: red at about a quarter coverage.
  surface_clear(s, 0xffffff);
  EXPECT_EQ(macro_text_blend(s, m, 10, 10, 0x000000ff, 0.5f, &changed), 1);
  ASSERT_TRUE(surface_read_pixel(s, 10, 10, px));
  EXPECT_EQ(px[2], 255);
  EXPECT_NEAR(px[3], 255 / 4, 2);
  // Wholly outside, or no mask: nothing.
  EXPECT_EQ(macro_text_blend(s, m, 30, 0, 0xff, 1, &changed), 0);
  EXPECT_EQ(macro_text_blend(s, m, INT32_MIN, INT32_MAX, 0xff, 1, &changed), 0);
  EXPECT_TRUE(dib_rect_empty(changed));
  macro_text_mask_free(m);
  EXPECT_EQ(macro_text_blend(s, m, 0, 0, 0xff, 1, &changed), 0);
  surface_free(s);
}

TEST_F(PenPlayer, TextRecordsPaintWhereTheBuildCanRenderText) {
  auto doc = document(200, 80);
  zun_macro_data data;
  zun_macro_font player(&data);
  macro_record r{};
  r.record_kind = kMacroKindText;
  r.canvas_width = 200, r.canvas_height = 80;
  r.x = 10, r.y = 10;
  r.colour = 0;
  r.opacity = 1;
  std::snprintf(r.text.text, sizeof r.text.text, "%s", "Quill");
  std::snprintf(r.text.face_name, sizeof r.text.face_name, "%s", "no such face at all");
  r.text.font_height = 40;
  r.text.text_size = 40;
  r.text.bold = 1;
  macro_stage stage{doc.get(), nullptr};
  const int painted = player.play(stage, r);
  unsigned char px[4];
  int64_t covered = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 200; ++x) covered += surface_read_pixel(doc->surface(), x, y, px) && px[3];
  if (macro_text_available()) {
    EXPECT_EQ(painted, 1);  // in the default face
    EXPECT_GT(covered, 100);
  } else {
    EXPECT_EQ(painted, 0);  // no renderer: the record plays as nothing
    EXPECT_EQ(covered, 0);
  }
  // Text that is not terminated inside its field is cut there, not overrun.
  std::memset(r.text.text, 'W', sizeof r.text.text);
  std::memset(r.text.face_name, 'A', sizeof r.text.face_name);
  player.play(stage, r);
}
