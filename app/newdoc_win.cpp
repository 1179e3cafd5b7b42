#include "app/newdoc_win.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_win.h"
#include "app/plain_dialog_win.h"
#include "base/os.h"

namespace {

enum : int { kPreset = 201, kWidth, kHeight, kPapers, kTextures, kColours, kList, kOk, kCancel };
const RECT kPreview = {16, 330, 16 + 528, 330 + 90};  // the background at full scale
const RECT kTemplatePreview = {296, 16, 296 + 200, 16 + 200};

std::string ansi(const char* utf8) { return os_utf8_to_ansi(utf8); }

int32_t selection(HWND list) {
  const LRESULT at = SendMessageA(list, LB_GETCURSEL, 0, 0);
  return at == LB_ERR ? -1 : static_cast<int32_t>(at);
}

void add_item(HWND list, const char* text, int index) {
  char fallback[32];
  if (!text || !text[0]) std::snprintf(fallback, sizeof fallback, "%d", index + 1), text = fallback;
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

int32_t read_number(HWND box) {
  char text[16] = {};
  GetWindowTextA(box, text, sizeof text);
  return static_cast<int32_t>(std::atol(text));
}

void set_number(HWND box, int32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", v);
  SetWindowTextA(box, text);
}

struct new_chooser {
  zun_template* t = nullptr;
  HWND window = nullptr, preset = nullptr, width = nullptr, height = nullptr;
  HWND papers = nullptr, textures = nullptr, colours = nullptr;
  dib_block* preview = nullptr;
  int done = 0, chosen = 0;
  new_doc_choice choice;
};

// The choice as the controls show it; a width or height of 0 or less makes both 0.
new_doc_choice current(const new_chooser& c) {
  new_doc_choice ch = c.t->remembered;
  ch.width = read_number(c.width), ch.height = read_number(c.height);
  if (ch.width <= 0 || ch.height <= 0) ch.width = ch.height = 0;
  ch.paper = selection(c.papers);
  ch.texture = selection(c.textures) - 1;  // the first line is "none"
  const int32_t colour = selection(c.colours);
  ch.colour = colour >= 0 && colour < int32_t(c.t->colours.size())
                  ? c.t->colours[std::size_t(colour)].colour
                  : c.t->default_colour;
  return ch;
}

void refresh_preview(new_chooser& c) {
  if (!c.preview)
    c.preview = dib_create(kPreview.bottom - kPreview.top, 1, kPreview.right - kPreview.left, 0);
  if (c.preview) c.t->paint_background(current(c), c.preview);
  InvalidateRect(c.window, &kPreview, FALSE);
}

void on_new_key(void* context, WPARAM key) {
  auto& c = *static_cast<new_chooser*>(context);
  if (key == VK_RETURN) c.choice = current(c), c.chosen = 1;
  c.done = 1;
}

LRESULT CALLBACK new_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  auto* c = reinterpret_cast<new_chooser*>(GetWindowLongPtrA(w, GWLP_USERDATA));
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtrA(
          w, GWLP_USERDATA,
          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
      break;
    case WM_COMMAND:
      if (!c) break;
      switch (LOWORD(wp)) {
        case kPreset:
          if (HIWORD(wp) == LBN_SELCHANGE) {
            const int32_t at = selection(c->preset);
            if (at >= 0 && at < int32_t(c->t->sizes.size())) {
              set_number(c->width, c->t->sizes[std::size_t(at)].width);
              set_number(c->height, c->t->sizes[std::size_t(at)].height);
            }
          }
          return 0;
        case kPapers:
        case kTextures:
        case kColours:
          if (HIWORD(wp) == LBN_SELCHANGE) refresh_preview(*c);
          if (HIWORD(wp) == LBN_DBLCLK) on_new_key(c, VK_RETURN);
          return 0;
        case kOk:
        case IDOK:
          on_new_key(c, VK_RETURN);
          return 0;
        case kCancel:
        case IDCANCEL:
          c->done = 1;
          return 0;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      if (c) plain_draw_fitted(dc, kPreview, c->preview);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_CLOSE:
      if (c) c->done = 1;
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

struct template_chooser {
  zun_template* t = nullptr;
  HWND window = nullptr, list = nullptr;
  dib_block* thumb = nullptr;
  int done = 0, chosen = 0;
  int32_t index = -1;
};

void on_template_key(void* context, WPARAM key) {
  auto& c = *static_cast<template_chooser*>(context);
  c.index = selection(c.list);
  if (key == VK_RETURN && c.index >= 0) c.chosen = 1;
  c.done = 1;
}

LRESULT CALLBACK template_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  auto* c = reinterpret_cast<template_chooser*>(GetWindowLongPtrA(w, GWLP_USERDATA));
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtrA(
          w, GWLP_USERDATA,
          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
      break;
    case WM_COMMAND:
      if (!c) break;
      switch (LOWORD(wp)) {
        case kList:
          if (HIWORD(wp) == LBN_SELCHANGE) {
            dib_free(c->thumb);
            c->thumb = c->t->template_thumbnail(selection(c->list));
            InvalidateRect(w, &kTemplatePreview, TRUE);
          }
          if (HIWORD(wp) == LBN_DBLCLK) on_template_key(c, VK_RETURN);
          return 0;
        case kOk:
        case IDOK:
          on_template_key(c, VK_RETURN);
          return 0;
        case kCancel:
        case IDCANCEL:
          c->done = 1;
          return 0;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      if (c) plain_draw_fitted(dc, kTemplatePreview, c->thumb);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_CLOSE:
      if (c) c->done = 1;
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

zun_template& app_templates() {
  static zun_template templates;
  static bool read = false;
  if (!read) {
    read = true;  // what could not be read stays empty: the lists show what there is
    templates.load(config_resolve);
  }
  return templates;
}

int choose_new_document(HWND owner, zun_template& t, new_doc_choice* out) {
  new_chooser c;
  c.t = &t;
  c.window =
      plain_dialog_create(owner, "QmNewDocument", new_proc, ansi("新建").c_str(), 560, 470, &c);
  if (!c.window) return 0;
  plain_control(c.window, "STATIC", ansi("尺寸").c_str(), 0, 16, 16, 160, 20, 0);
  plain_control(c.window, "STATIC", ansi("纸张").c_str(), 0, 196, 16, 160, 20, 0);
  plain_control(c.window, "STATIC", ansi("格子").c_str(), 0, 376, 16, 80, 20, 0);
  const DWORD lists = LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
  c.preset = plain_control(c.window, "LISTBOX", "", lists, 16, 40, 168, 200, kPreset);
  c.width = plain_control(c.window, "EDIT", "", ES_NUMBER, 16, 250, 70, 24, kWidth);
  plain_control(c.window, "STATIC", "x", SS_CENTER, 88, 254, 24, 20, 0);
  c.height = plain_control(c.window, "EDIT", "", ES_NUMBER, 114, 250, 70, 24, kHeight);
  c.papers = plain_control(c.window, "LISTBOX", "", lists, 196, 40, 168, 138, kPapers);
  plain_control(c.window, "STATIC", ansi("颜色").c_str(), 0, 196, 184, 160, 20, 0);
  c.colours = plain_control(c.window, "LISTBOX", "", lists, 196, 206, 168, 110, kColours);
  c.textures = plain_control(c.window, "LISTBOX", "", lists, 376, 40, 168, 276, kTextures);
  plain_control(c.window, "BUTTON", ansi("确定").c_str(), BS_DEFPUSHBUTTON, 360, 430, 88, 30, kOk);
  plain_control(c.window, "BUTTON", ansi("取消").c_str(), BS_PUSHBUTTON, 456, 430, 88, 30, kCancel);
  for (HWND box : {c.width, c.height}) SendMessageA(box, EM_LIMITTEXT, 6, 0);
  for (std::size_t i = 0; i < t.sizes.size(); ++i) add_item(c.preset, t.sizes[i].desc, int(i));
  for (std::size_t i = 0; i < t.papers.size(); ++i) add_item(c.papers, t.papers[i].desc, int(i));
  for (std::size_t i = 0; i < t.colours.size(); ++i) add_item(c.colours, t.colours[i].desc, int(i));
  add_item(c.textures, ansi("无").c_str(), 0);
  for (std::size_t i = 0; i < t.textures.size(); ++i)
    add_item(c.textures, t.textures[i].desc, int(i));

  // The last choice again, or the first preset.
  const new_doc_choice& r = t.remembered;
  const bool sized = r.width > 0 && r.height > 0;
  set_number(c.width, sized ? r.width : t.sizes.empty() ? 0 : t.sizes[0].width);
  set_number(c.height, sized ? r.height : t.sizes.empty() ? 0 : t.sizes[0].height);
  if (!sized) SendMessageA(c.preset, LB_SETCURSEL, 0, 0);
  SendMessageA(c.papers, LB_SETCURSEL, r.paper, 0);
  SendMessageA(c.textures, LB_SETCURSEL, r.texture + 1, 0);
  int32_t colour = 0;
  for (std::size_t i = 0; i < t.colours.size(); ++i)
    if (t.colours[i].colour == r.colour) colour = int32_t(i);
  SendMessageA(c.colours, LB_SETCURSEL, colour, 0);
  refresh_preview(c);

  plain_dialog_run(c.window, owner, c.papers, &c.done, on_new_key, &c);
  dib_free(c.preview);
  plain_dialog_repaint(owner);
  if (!c.chosen) return 0;
  *out = c.choice;
  return 1;
}

int choose_template(HWND owner, zun_template& t, int32_t* index) {
  template_chooser c;
  c.t = &t;
  c.window = plain_dialog_create(owner, "QmTemplateChooser", template_proc, ansi("模板").c_str(),
                                 512, 280, &c);
  if (!c.window) return 0;
  c.list = plain_control(c.window, "LISTBOX", "", LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                         16, 16, 264, 200, kList);
  plain_control(c.window, "BUTTON", ansi("确定").c_str(), BS_DEFPUSHBUTTON, 312, 236, 88, 30, kOk);
  plain_control(c.window, "BUTTON", ansi("取消").c_str(), BS_PUSHBUTTON, 408, 236, 88, 30, kCancel);
  for (std::size_t i = 0; i < t.files.size(); ++i) add_item(c.list, t.files[i].desc, int(i));
  const int32_t start = t.remembered.template_index >= 0 ? t.remembered.template_index : 0;
  SendMessageA(c.list, LB_SETCURSEL, start, 0);
  c.thumb = t.template_thumbnail(selection(c.list));

  plain_dialog_run(c.window, owner, c.list, &c.done, on_template_key, &c);
  dib_free(c.thumb);
  plain_dialog_repaint(owner);
  if (!c.chosen) return 0;
  *index = c.index;
  return 1;
}
