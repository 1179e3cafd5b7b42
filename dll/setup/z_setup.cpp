#include "dll/setup/z_setup.h"

#include <new>

#include "base/xml.h"

// No state is kept between calls: both documents live only for one merge.
void WINAPI xml_insert(char* target, char* source, const char* encoding) {
  if (!target || !source) return;
  app_xmlobj* into = new (std::nothrow) app_xmlobj;
  app_xmlobj* from = new (std::nothrow) app_xmlobj;
  // Installer files are taken byte for byte: no UTF-8 conversion here.
  if (into && from && into->load(target, 0) && from->load(source, 0)) {
    for (const app_xmlroot* r = from->roots(); r; r = r->next)
      for (const app_xmlsection* s = r->sections; s; s = s->next)
        for (const app_xmlkey* k = s->keys; k; k = k->next)
          into->set_text(r->name, s->name, k->name, k->value);
    into->save(target, encoding ? encoding : "");
  }
  delete from;
  delete into;
}

BOOL WINAPI win_move(HWND window) {
  if (!IsWindow(window)) return 0;
  // A null insert-after handle puts the window at the top of the Z order.
  return SetWindowPos(window, nullptr, 30, 180, 0, 0, SWP_NOSIZE | SWP_NOOWNERZORDER);
}
