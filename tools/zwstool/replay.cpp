#include "tools/zwstool/replay.h"

#include <cstdlib>
#include <cstring>
#include <set>

#include "base/os.h"
#include "doc/zun_file.h"
#include "doc/zws.h"
#include "macro/control.h"
#include "macro/font_player.h"
#include "macro/players.h"
#include "paint/pen_engine.h"

namespace {
// The new document's side is limited as the program limits it.
constexpr int32_t kSideMax = 16384;

int fail(std::FILE* err, const std::string& why) {
  std::fprintf(err, "zwstool: %s\n", why.c_str());
  return 1;
}

// The playback timer's clock: one tick of 10 ms per record played.
uint32_t g_ticks = 0;
uint32_t tick_clock() { return 1000 + g_ticks * 10; }

// The canvas the macro was recorded on: that of its first record that has one.
int macro_canvas(const zun_macro_data& m, int32_t* w, int32_t* h) {
  for (int32_t i = 0; i < m.count(); ++i) {
    const macro_record* r = m.record_at(i);
    if (r->canvas_width > 0 && r->canvas_height > 0) {
      *w = r->canvas_width, *h = r->canvas_height;
      return 1;
    }
  }
  return 0;
}
// The pens the macro names that cannot be selected here (an unknown id, or
// pictures and brushes missing from the tree): their records paint nothing.
std::string missing_pens(const zun_macro_data& m) {
  std::set<int32_t> ids;
  for (int32_t i = 0; i < m.count(); ++i) {
    const macro_record* r = m.record_at(i);
    if (r->record_kind == kMacroKindPen || r->record_kind == kMacroKindRub)
      ids.insert(r->pen.pen_id);
  }
  std::string out;
  for (const int32_t id : ids) {
    zun_pen_single_engine probe;
    if (probe.select_pen(id, 0)) continue;
    out += (out.empty() ? "" : ", ") + std::to_string(id);
  }
  return out;
}
}  // namespace

int replay_parse_canvas(const char* text, int32_t* width, int32_t* height) {
  if (!text) return 0;
  char* end = nullptr;
  const long w = std::strtol(text, &end, 10);
  if (end == text || (*end != 'x' && *end != 'X')) return 0;
  const char* second = end + 1;
  const long h = std::strtol(second, &end, 10);
  if (end == second || *end || w < 1 || h < 1 || w > kSideMax || h > kSideMax) return 0;
  *width = int32_t(w), *height = int32_t(h);
  return 1;
}

int zwstool_replay(const replay_options& o, std::FILE* out, std::FILE* err) {
  if (!macro_path_ok(o.macro)) return fail(err, std::string(o.macro) + ": not a .zwm macro");
  if (!os_file_exists(o.macro) || os_is_folder(o.macro))
    return fail(err, std::string(o.macro) + ": no such file");
  zun_macro_players players(macro_engine_setup{o.seed, tick_clock});
  zun_macro_control control;
  control.macro.players = &players;
  if (!control.create(macro_texts{}, nullptr)) return fail(err, "out of memory");
  if (!control.load(o.macro) || control.macro.count() == 0)
    return fail(err, std::string(o.macro) + ": cannot be read (damaged, truncated or empty)");

  zun_file doc;
  if (!doc.zun_file_init(2)) return fail(err, "out of memory");
  if (o.onto) {
    if (!os_file_exists(o.onto) || os_is_folder(o.onto))
      return fail(err, std::string(o.onto) + ": no such file");
    if (!doc.doc_open(o.onto)) return fail(err, std::string(o.onto) + ": cannot be opened");
  } else {
    int32_t w = o.width, h = o.height;
    if (!w && !macro_canvas(control.macro, &w, &h))
      return fail(err, "the macro records no canvas size: give --canvas WxH");
    if (!doc.doc_new(w, h)) return fail(err, "cannot make a document of that size");
  }

  // The whole macro from its first record, one record per tick as the
  // panel plays it: one undo checkpoint, the same players and mapping.
  control.set_stage(&doc, nullptr);
  control.home();
  int32_t texts = 0;
  for (int32_t i = 0; i < control.macro.count(); ++i)
    texts += control.macro.record_at(i)->record_kind == kMacroKindText;
  g_ticks = 0;
  if (!control.play()) return fail(err, "the macro cannot be played");
  int64_t painted = 0, ticks = 0;
  while (control.state == kMacroPlaying) {
    painted += control.timer_step(kMacroTimer);
    ++g_ticks, ++ticks;
  }
  if (!doc.doc_save_copy(o.out)) return fail(err, std::string(o.out) + ": cannot be written");
  const bool document = zws_path(o.out);
  const char* dot = std::strrchr(o.out, '.');
  std::string e = dot ? dot + 1 : "";
  for (char& c : e) c = char(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  const bool renamed = !document && e != "BMP" && e != "JPG" && e != "PNG";
  std::fprintf(out, "replayed %d records in %lld ticks onto %d x %d, %lld painted\n",
               control.macro.count(), static_cast<long long>(ticks), doc.width(), doc.height(),
               static_cast<long long>(painted));
  const std::string missing = missing_pens(control.macro);
  if (!missing.empty())
    std::fprintf(
        out, "note: pens %s cannot be loaded (unknown, or not in the tree); they painted nothing\n",
        missing.c_str());
  if (texts && !macro_text_available())
    std::fprintf(out, "note: %d text records skipped (this build has no text renderer)\n", texts);
  std::fprintf(out, "wrote %s%s\n", o.out, renamed ? ".BMP" : "");
  return 0;
}
