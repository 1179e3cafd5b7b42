// Default name and status lines of the document.
#include "doc/doc_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "doc/zun_file.h"

namespace {
constexpr int kTextSize = 512;

int lookup(doc_text_fn text, const char* section, const char* key, char* out) {
  out[0] = 0;
  return text && text(section, key, out, kTextSize) && out[0];
}

void append(char* out, std::size_t size, std::size_t* used, const char* s, std::size_t n) {
  if (*used + 1 >= size) return;
  if (n > size - 1 - *used) n = size - 1 - *used;
  std::memcpy(out + *used, s, n);
  *used += n;
  out[*used] = 0;
}
}  // namespace

void doc_format(char* out, std::size_t size, const char* format, const doc_text_arg* args,
                int count) {
  if (!out || size == 0) return;
  out[0] = 0;
  if (!format) return;
  std::size_t used = 0;
  int next = 0;
  for (const char* p = format; *p;) {
    if (*p != '%') {
      const char* q = std::strchr(p, '%');
      const std::size_t n = q ? std::size_t(q - p) : std::strlen(p);
      append(out, size, &used, p, n);
      p += n;
      continue;
    }
    if (p[1] == '%') {
      append(out, size, &used, "%", 1);
      p += 2;
      continue;
    }
    // Skip flags, width, precision and length up to the conversion letter.
    ++p;
    while (*p && std::strchr("-+ #0123456789.*hlLqjzt", *p)) ++p;
    if (*p) ++p;
    if (next < count && args) {
      const doc_text_arg& a = args[next++];
      char number[24];
      const char* s = a.text;
      if (!s) {
        std::snprintf(number, sizeof number, "%ld", a.number);
        s = number;
      }
      append(out, size, &used, s, std::strlen(s));
    }
  }
}

void doc_default_name(const zun_file& f, doc_text_fn text, char* out, std::size_t size) {
  if (!out || size == 0) return;
  if (f.path[0]) {
    std::snprintf(out, size, "%s", f.path);
    return;
  }
  char name[kTextSize];
  if (!lookup(text, "file", "name", name)) std::snprintf(name, sizeof name, "untitled");
  std::snprintf(out, size, "%s.zws", name);
}

void doc_info_text(const zun_file& f, doc_text_fn text, char* out, std::size_t size) {
  if (!out || size == 0) return;
  char format[kTextSize], name[kDocPathMax + 1 + kTextSize];
  lookup(text, "file", "info", format);
  doc_default_name(f, text, name, sizeof name);
  const doc_text_arg args[] = {{name, 0}, {nullptr, f.width()}, {nullptr, f.height()}};
  doc_format(out, size, format, args, 3);
}

void doc_zoom_text(const zun_file& f, doc_text_fn text, char* out, std::size_t size) {
  if (!out || size == 0) return;
  const long s = f.canvas && f.canvas->ready() ? f.canvas->scale_step : 1;
  char format[kTextSize];
  lookup(text, "file", s * 100 > 0 ? "infoscale1" : "infoscale0", format);
  const doc_text_arg arg{nullptr, std::labs(s * 100)};
  doc_format(out, size, format, &arg, 1);
}
