// The reader of the language, menu and content list files, on any bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/alloc.h"
#include "base/xml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  long blocks = alloc_count();
  {
    // The first byte picks the reading; the rest is the file.
    int convert = data[0] & 1;
    app_xmlobj doc;
    doc.load_text(reinterpret_cast<const char*>(data + 1), size - 1, convert);
    char out[64];
    for (const app_xmlroot* r = doc.roots(); r; r = r->next)
      for (const app_xmlsection* s = r->sections; s; s = s->next)
        for (const app_xmlkey* k = s->keys; k; k = k->next) {
          if (std::strlen(k->value) > static_cast<size_t>(xml_value_max)) __builtin_trap();
          doc.get_text(s->name, k->name, out, sizeof out);
          if (out[sizeof out - 1] != 0) __builtin_trap();
        }
    // What the installer library does with it: change a value, write, read
    // again. A written text must read back to the very same text.
    doc.set_text("zun", "fuzz", "key", "a<b>&\r\nc");
    const char* encoding = (data[0] & 2) ? "utf-8" : "";
    app_xmlbuf text;
    if (!doc.to_text(text, encoding)) __builtin_trap();
    app_xmlobj again;
    if (!again.load_text(text.text(), text.length(), 0)) __builtin_trap();
    app_xmlbuf text2;
    if (!again.to_text(text2, encoding)) __builtin_trap();
    if (text.length() != text2.length() || std::memcmp(text.text(), text2.text(), text.length()))
      __builtin_trap();
  }
  if (alloc_count() != blocks) __builtin_trap();  // every node and string freed
  return 0;
}
