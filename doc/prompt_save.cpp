// The save question before a document is replaced.
#include "doc/prompt_save.h"

#include <cstring>

#include "base/os.h"
#include "base/state_queue.h"
#include "doc/zun_file.h"

namespace {
constexpr int kTextSize = 1024;

int finish(doc_prompt_outcome* out, doc_prompt_outcome value, int result) {
  if (out) *out = value;
  return result;
}

int ask(const doc_prompt_hooks& h, const char* key, const char* name) {
  char format[kTextSize] = {}, line[kTextSize + kDocPathMax];
  if (h.text) h.text("msg", key, format, kTextSize);
  const doc_text_arg arg{name, 0};
  doc_format(line, sizeof line, format, &arg, 1);
  return h.ask_yes_no && h.ask_yes_no(h.context, line);
}
}  // namespace

int doc_prompt_save(zun_file& f, int ask_first, const doc_prompt_hooks& h,
                    doc_prompt_outcome* outcome) {
  if (!app_initialised() || !f.active || !h.menu_allows || !f.modified)
    return finish(outcome, doc_prompt_outcome::nothing_to_save, 0);
  char name[kDocPathMax + 1 + kTextSize];
  doc_default_name(f, h.text, name, sizeof name);
  if (ask_first && !ask(h, "save", name)) return finish(outcome, doc_prompt_outcome::declined, 0);
  char target[kDocPathMax + 1];
  if (!f.path_is_document || !f.path[0]) {
    target[0] = 0;
    if (!h.choose_path || !h.choose_path(h.context, name, target, sizeof target) || !target[0])
      return finish(outcome, doc_prompt_outcome::cancelled, 0);
    target[kDocPathMax] = 0;
    if (os_file_exists(target) && !ask(h, "ifexist", target))
      return finish(outcome, doc_prompt_outcome::cancelled, 0);
  } else {
    std::memcpy(target, f.path, sizeof target);
  }
  if (!f.doc_save(target)) return finish(outcome, doc_prompt_outcome::save_failed, 0);
  return finish(outcome, doc_prompt_outcome::saved, 1);
}
