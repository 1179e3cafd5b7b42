#include "app/commands_win.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "app/app_win.h"
#include "app/desktop_win.h"
#include "app/file_rules.h"
#include "app/newdoc_win.h"
#include "doc/doc_text.h"
#include "doc/prompt_save.h"
#include "doc/zun_file.h"

namespace {

struct filter {
  const char* label;
  const char* pattern;
};
const filter kOpenFilters[] = {{"*.*", "*.*"},
                               {"ZWS(*.zws)", "*.zws"},
                               {"BMP(*.bmp)", "*.bmp"},
                               {"ZUN(*.zun)", "*.zun"},
                               {"GIF(*.gif)", "*.gif"},
                               {"JPG(*.jpg)", "*.jpg"},
                               {"JPEG(*.jpeg)", "*.jpeg"},
                               {"PCX(*.pcx)", "*.pcx"},
                               {"PNG(*.png)", "*.png"},
                               {"PSD(*.psd)", "*.psd"},
                               {"RLE(*.rle)", "*.rle"},
                               {"TGA(*.tga)", "*.tga"},
                               {"TIF(*.tif)", "*.tif"}};
const filter kSaveFilters[] = {{"ZWS(*.zws)", "*.zws"}};
const filter kSaveAsFilters[] = {{"ZWS(*.zws)", "*.zws"},
                                 {"BMP(*.bmp)", "*.bmp"},
                                 {"JPG(*.jpg)", "*.jpg"},
                                 {"PNG(*.png)", "*.png"}};

// Each dialog remembers its last folder and filter between calls.
struct dialog_memory {
  char folder[kPathSize] = {};
  DWORD filter_index = 1;
};
dialog_memory g_open_memory, g_save_memory, g_saveas_memory;

int run_file_dialog(HWND owner, bool save, const char* title_key, const filter* filters, int count,
                    dialog_memory& memory, const char* suggested, char* out) {
  char filter_text[1024] = {};
  std::size_t at = 0;
  for (int i = 0; i < count; ++i) {
    for (const char* part : {filters[i].label, filters[i].pattern}) {
      std::size_t n = std::strlen(part);
      if (at + n + 2 > sizeof filter_text) break;
      std::memcpy(filter_text + at, part, n + 1);
      at += n + 1;
    }
  }
  char title[128] = {}, file[512] = {}, custom[512] = {};
  config_text("dlg", title_key, title, sizeof title);
  if (suggested) std::snprintf(file, sizeof file, "%s", suggested);
  if (!memory.folder[0]) config_build_path("HW", nullptr, memory.folder);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter_text;
  ofn.lpstrCustomFilter = custom;
  ofn.nMaxCustFilter = 511;
  ofn.nFilterIndex = memory.filter_index < 2 ? 1 : memory.filter_index;
  ofn.lpstrFile = file;
  ofn.nMaxFile = 511;
  ofn.lpstrInitialDir = memory.folder;
  ofn.lpstrTitle = title[0] ? title : nullptr;
  ofn.Flags =
      OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (save ? 0 : OFN_FILEMUSTEXIST);
  g_app.modal = 1;
  BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  g_app.modal = 0;
  if (!ok) return 0;
  memory.filter_index = ofn.nFilterIndex;
  std::snprintf(memory.folder, sizeof memory.folder, "%s", file);
  if (char* slash = std::strrchr(memory.folder, '\\')) slash[1] = 0;
  if (save && ofn.nFilterIndex >= 1 && static_cast<int>(ofn.nFilterIndex) <= count)
    apply_filter_extension(file, sizeof file, filters[ofn.nFilterIndex - 1].label);
  std::snprintf(out, kPathSize, "%s", file);
  return 1;
}

int ask_yes_no(void* context, const char* text) {
  char title[128] = {};
  config_text("app", "appname", title, sizeof title);
  g_app.modal = 1;
  int r = MessageBoxA(static_cast<HWND>(context), text, title, MB_YESNO | MB_ICONQUESTION);
  g_app.modal = 0;
  return r == IDYES;
}

int choose_save_path(void* context, const char* suggested, char* out, int size) {
  char path[kPathSize];
  if (!run_file_dialog(static_cast<HWND>(context), true, "save", kSaveFilters, 1, g_save_memory,
                       suggested, path))
    return 0;
  std::snprintf(out, size, "%s", path);
  return 1;
}

// 1 when the current document may be replaced.
int prompt_save(HWND window, int ask) {
  if (!g_document) return 0;
  doc_prompt_hooks hooks;
  hooks.context = window;
  hooks.text = config_text;
  hooks.ask_yes_no = ask_yes_no;
  hooks.choose_path = choose_save_path;
  doc_prompt_outcome outcome = doc_prompt_outcome::nothing_to_save;
  doc_prompt_save(*g_document, ask, hooks, &outcome);
  // A failed save keeps the document: replacing it now would lose the work.
  if (outcome == doc_prompt_outcome::save_failed) show_message(window, "nosave");
  return outcome != doc_prompt_outcome::cancelled && outcome != doc_prompt_outcome::save_failed;
}

void document_replaced(HWND window) {
  if (g_desktop) g_desktop->view_changed();
  refresh_title(window);
}

}  // namespace

void show_message(HWND window, const char* key) {
  char text[512] = {}, title[128] = {};
  config_text("msg", key, text, sizeof text);
  config_text("app", "appname", title, sizeof title);
  g_app.modal = 1;
  MessageBoxA(window, text[0] ? text : key, title, MB_OK | MB_ICONINFORMATION);
  g_app.modal = 0;
}

void refresh_title(HWND window) {
  if (!window) return;
  char app[128] = {}, name[kPathSize] = {}, title[kPathSize + 160];
  config_text("app", "appname", app, sizeof app);
  if (g_document) doc_default_name(*g_document, config_text, name, sizeof name);
  const char* base = std::strrchr(name, '\\');
  base = base ? base + 1 : name;
  std::snprintf(title, sizeof title, "%s%s%s%s", base, base[0] ? " - " : "", app,
                g_document && g_document->modified ? " *" : "");
  SetWindowTextA(window, title);
}

int cmd_new(HWND window) {
  new_doc_choice choice;
  zun_template& t = app_templates();
  if (!g_document || !choose_new_document(window, t, &choice) || !prompt_save(window, 1)) return 0;
  const int ok = t.new_document(*g_document, choice);
  document_replaced(window);
  return ok;
}

int cmd_new_from_template(HWND window) {
  int32_t index = -1;
  zun_template& t = app_templates();
  if (!g_document || !choose_template(window, t, &index) || !prompt_save(window, 1)) return 0;
  const int ok = t.open_template(*g_document, index);
  document_replaced(window);
  if (!ok) show_message(window, "noopen");
  return ok;
}

int cmd_open_path(HWND window, const char* path) {
  if (!g_document || !prompt_save(window, 1)) return 0;
  int ok = g_document->doc_open(path);
  document_replaced(window);
  if (!ok) show_message(window, "noopen");
  return ok;
}

int cmd_open_model(HWND window, const char* picture, int mode) {
  if (!g_document || !prompt_save(window, 1)) return 0;
  int ok = g_document->doc_open_model(picture, mode);
  document_replaced(window);
  if (!ok) show_message(window, "noopen");
  return ok;
}

int cmd_open(HWND window) {
  char path[kPathSize];
  if (!g_document || !prompt_save(window, 1)) return 0;
  if (!run_file_dialog(window, false, "open", kOpenFilters, 13, g_open_memory, nullptr, path))
    return 0;
  int ok = g_document->doc_open(path);
  document_replaced(window);
  if (!ok) show_message(window, "noopen");
  return ok;
}

int cmd_save(HWND window) {
  if (!g_document) return 0;
  int ok;
  if (g_document->path_is_document && g_document->path[0]) {
    ok = g_document->doc_save(g_document->path);
  } else {
    char name[kPathSize], path[kPathSize];
    doc_default_name(*g_document, config_text, name, sizeof name);
    if (!run_file_dialog(window, true, "save", kSaveFilters, 1, g_save_memory, name, path))
      return 0;
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
      char text[512] = {}, question[1100];
      config_text("msg", "ifexist", text, sizeof text);
      doc_text_arg arg = {path, 0};
      doc_format(question, sizeof question, text, &arg, 1);
      if (!ask_yes_no(window, question)) return 0;
    }
    ok = g_document->doc_save(path);
  }
  if (!ok) show_message(window, "nosave");
  refresh_title(window);
  return ok;
}

int cmd_save_copy(HWND window) {
  if (!g_document) return 0;
  char name[kPathSize], path[kPathSize];
  doc_default_name(*g_document, config_text, name, sizeof name);
  if (!run_file_dialog(window, true, "saveas", kSaveAsFilters, 4, g_saveas_memory, name, path))
    return 0;
  int ok = g_document->doc_save_copy(path);
  if (!ok) show_message(window, "nosave");
  return ok;
}

int cmd_prompt_save_on_exit(HWND window) { return prompt_save(window, 1); }
