#include "content/tie_filter.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/os.h"
#include "content/tie_text.h"

namespace {

inline constexpr std::size_t kSearchMax = 63;  // what the search box holds

// Doubles quotes and, when protect is set, brackets the LIKE wildcards other
// than '%'. Double-byte characters are copied whole: a trail byte can be any
// of these characters in the system code page.
std::string quote(const std::string& text, bool protect) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (os_is_lead_byte((unsigned char)c) && i + 1 < text.size()) {
      out += c;
      out += text[++i];
    } else if (c == '\'') {
      out += "''";
    } else if (protect && std::strchr("#*-?[_", c)) {
      out += '[';
      out += c;
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

int put(const std::string& text, char* out, std::size_t size) {
  if (!out || size == 0) return 0;
  if (text.size() >= size) {
    out[0] = 0;
    return 0;
  }
  std::memcpy(out, text.c_str(), text.size() + 1);
  return 1;
}

}  // namespace

int tie_quick_filter(const char* text, char* out, std::size_t size) {
  std::string t = text ? text : "";
  t.resize(tie_text_fit(t, kSearchMax));
  t = quote(tie_trim_blanks(t), true);
  if (t.empty()) return put("", out, size);
  std::string f;
  const char* columns[] = {"DynastyName0", "AuthorName0", "Style0", "FileName0"};
  for (const char* c : columns) {
    if (!f.empty()) f += " OR ";
    f += std::string(c) + " like '%" + t + "%'";
  }
  return put(f, out, size);
}

int tie_advanced_filter(const char* dynasty, const char* author, const char* style, char* out,
                        std::size_t size) {
  const char* values[] = {dynasty, author, style};
  const char* columns[] = {"DynastyName0", "AuthorName0", "Style0"};
  std::string f;
  for (int i = 0; i < 3; ++i) {
    const std::string v = quote(tie_trim_blanks(values[i] ? values[i] : ""), false);
    if (v.empty()) continue;
    if (!f.empty()) f += " And ";
    f += std::string(columns[i]) + "='" + v + "'";
  }
  return put(f, out, size);
}
