#include "base/xml.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/alloc.h"
#include "base/os.h"

namespace {

constexpr std::size_t npos = static_cast<std::size_t>(-1);
// Language files are a few kilobytes; anything far bigger is not one of ours.
constexpr std::size_t max_file = 16u << 20;

// ASCII case folding only: lead and trail bytes of the code page stay as they are.
inline unsigned char fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

bool same_name(const char* a, const char* b) {
  std::size_t n = std::strlen(a);
  if (n != std::strlen(b)) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

const char* find_nocase(const char* text, const char* what) {
  std::size_t n = std::strlen(what);
  for (; *text; ++text) {
    std::size_t i = 0;
    while (i < n && text[i] && fold(text[i]) == fold(what[i])) ++i;
    if (i == n) return text;
  }
  return nullptr;
}

void copy_cut(char* out, std::size_t size, const char* text, std::size_t n) {
  if (n > size - 1) n = size - 1;
  std::memcpy(out, text, n);
  out[n] = 0;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

void trim(char* line) {
  char* p = line;
  while (is_blank(*p)) ++p;
  std::size_t n = std::strlen(p);
  while (n && (is_blank(p[n - 1]) || p[n - 1] == '\r' || p[n - 1] == '\n')) --n;
  std::memmove(line, p, n);
  line[n] = 0;
}

bool is_comment(const char* line) {
  return line[0] == '#' || line[0] == ';' || line[0] == '\\' || (line[0] == '<' && line[1] == '!');
}

// One pass over the whole text; the text only shrinks, so it runs in place and
// never sees its own output again.
void replace_all(char* text, const char* from, const char* to) {
  std::size_t nf = std::strlen(from), nt = std::strlen(to);
  char* w = text;
  for (const char* r = text; *r;) {
    if (std::strncmp(r, from, nf) == 0) {
      std::memcpy(w, to, nt);
      w += nt;
      r += nf;
    } else {
      *w++ = *r++;
    }
  }
  *w = 0;
}

void unescape(char* text) {
  replace_all(text, "&lt;br&gt;", "\r\n");
  replace_all(text, "&lt;", "<");
  replace_all(text, "&gt;", ">");
  replace_all(text, "&amp;", "&");
}

// The escaped form of one character (or of a CR LF pair); *used is how many it takes.
const char* escape_unit(const char* p, std::size_t* used) {
  *used = 1;
  switch (*p) {
    case '&':
      return "&amp;";
    case '>':
      return "&gt;";
    case '<':
      return "&lt;";
    case '\r':
      if (p[1] == '\n') {
        *used = 2;
        return "&lt;br&gt;";
      }
      return nullptr;
    default:
      return nullptr;
  }
}

// Names that a written file would not give back: too long, holding the end of
// the tag or a line break, or read as a comment line.
bool writable_name(const char* name) {
  std::size_t n = std::strlen(name);
  return n <= static_cast<std::size_t>(xml_name_max) && !std::strchr(name, '>') &&
         !std::strstr(name, "\r\n") && name[0] != '!';
}

char* dup_value(const char* value) {
  std::size_t n = value ? std::strlen(value) : 0;
  if (n > static_cast<std::size_t>(xml_value_max)) n = xml_value_max;
  char* s = static_cast<char*>(mem_alloc(n + 1));
  if (!s) return nullptr;
  if (n) std::memcpy(s, value, n);
  s[n] = 0;
  return s;
}

}  // namespace

// ---- text buffer ----

app_xmlbuf::app_xmlbuf() {
  text_ = static_cast<char*>(mem_calloc(quantum_));
  if (text_) capacity_ = quantum_;
}

app_xmlbuf::~app_xmlbuf() { mem_free(text_); }

int app_xmlbuf::reserve(std::size_t size) {
  // Room for size characters and the terminator, in whole quanta.
  if (size >= npos - quantum_) return 0;
  std::size_t need = (size + 1 + quantum_ - 1) / quantum_ * quantum_;
  if (need <= capacity_ && text_) return 1;
  char* p = static_cast<char*>(mem_realloc(text_, need));
  if (!p) return 0;
  if (!text_) p[0] = 0;
  text_ = p;
  capacity_ = need;
  return 1;
}

int app_xmlbuf::append(const char* text, std::size_t size) {
  if (!text) return size == 0;
  if (size > npos - length_ - 2 || !reserve(length_ + size)) return 0;
  std::memcpy(text_ + length_, text, size);
  length_ += size;
  text_[length_] = 0;
  ends_known_ = false;
  return 1;
}

int app_xmlbuf::append(const char* text) { return append(text, text ? std::strlen(text) : 0); }

void app_xmlbuf::cut(std::size_t size) {
  if (size >= length_) return;
  length_ = size;
  text_[length_] = 0;
  if (pos_ > length_) pos_ = length_;
  ends_known_ = false;
}

void app_xmlbuf::clear() {
  length_ = pos_ = 0;
  if (text_) text_[0] = 0;
  utf8_ = 0;
  ends_known_ = false;
}

int app_xmlbuf::read_file(const char* path) {
  clear();
  if (!path || !*path) return 0;
  FILE* f = std::fopen(os_native_path(path).c_str(), "rb");
  if (!f) return 0;
  int ok = 1;
  char chunk[16384];
  std::size_t n;
  while (ok && (n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
    ok = length_ + n <= max_file && append(chunk, n);
  if (std::ferror(f)) ok = 0;
  std::fclose(f);
  if (!ok) {
    clear();
    return 0;
  }
  cut(std::strlen(text()));
  return 1;
}

void app_xmlbuf::find_ends() {
  const char* t = text();
  auto next = [&](std::size_t& at, char c) {
    if (ends_known_ && (at == npos || at >= pos_)) return;
    const void* p = pos_ < length_ ? std::memchr(t + pos_, c, length_ - pos_) : nullptr;
    at = p ? static_cast<std::size_t>(static_cast<const char*>(p) - t) : npos;
  };
  next(next_cr_, '\r');
  next(next_lf_, '\n');
  // The next CR LF is at or after the next CR.
  if (!ends_known_ || (next_crlf_ != npos && next_crlf_ < pos_)) {
    std::size_t at = next_cr_;
    while (at != npos && t[at + 1] != '\n') {
      const void* p = std::memchr(t + at + 1, '\r', length_ - at - 1);
      at = p ? static_cast<std::size_t>(static_cast<const char*>(p) - t) : npos;
    }
    next_crlf_ = at;
  }
  ends_known_ = true;
}

int app_xmlbuf::read_line(char* out, int size) {
  if (!out || size <= 0) return 0;
  out[0] = 0;
  if (size < 2 || pos_ >= length_) return 0;  // no room for a character: no progress
  find_ends();
  // CR LF anywhere in the rest wins; only without it CR, and only without CR, LF.
  std::size_t end = length_, skip = 0;
  if (next_crlf_ != npos) {
    end = next_crlf_;
    skip = 2;
  } else if (next_cr_ != npos) {
    end = next_cr_;
    skip = 1;
  } else if (next_lf_ != npos) {
    end = next_lf_;
    skip = 1;
  }
  std::size_t n = end - pos_, room = static_cast<std::size_t>(size - 1);
  if (n > room) {
    n = room;  // the rest of a long line becomes the next line
    skip = 0;
    end = pos_ + n;
  }
  std::memcpy(out, text_ + pos_, n);
  out[n] = 0;
  pos_ = end + skip;
  return 1;
}

// ---- document ----

app_xmlobj::app_xmlobj() { reset(); }

app_xmlobj::~app_xmlobj() { free_tree(); }

void app_xmlobj::free_tree() {
  for (app_xmlroot* r = roots_; r;) {
    for (app_xmlsection* s = r->sections; s;) {
      for (app_xmlkey* k = s->keys; k;) {
        app_xmlkey* next = k->next;
        mem_free(k->value);
        mem_free(k);
        k = next;
      }
      app_xmlsection* next = s->next;
      mem_free(s);
      s = next;
    }
    app_xmlroot* next = r->next;
    mem_free(r);
    r = next;
  }
  roots_ = last_root_ = nullptr;
  root_count_ = section_count_ = key_count_ = 0;
}

void app_xmlobj::reset() {
  free_tree();
  line_[0] = name_[0] = raw_[0] = value_[0] = 0;
  root_close_[0] = section_close_[0] = key_close_[0] = 0;
  pushed_back_ = 0;
}

app_xmlroot* app_xmlobj::add_root(const char* name) {
  auto* r = static_cast<app_xmlroot*>(mem_calloc(sizeof(app_xmlroot)));
  if (!r) return nullptr;
  copy_cut(r->name, sizeof r->name, name, std::strlen(name));
  if (last_root_)
    last_root_->next = r;
  else
    roots_ = r;
  last_root_ = r;
  ++root_count_;
  return r;
}

app_xmlsection* app_xmlobj::add_section(app_xmlroot* root, const char* name) {
  auto* s = static_cast<app_xmlsection*>(mem_calloc(sizeof(app_xmlsection)));
  if (!s) return nullptr;
  copy_cut(s->name, sizeof s->name, name, std::strlen(name));
  if (root->last_section)
    root->last_section->next = s;
  else
    root->sections = s;
  root->last_section = s;
  ++section_count_;
  return s;
}

app_xmlkey* app_xmlobj::add_key(app_xmlsection* section, const char* name, const char* value) {
  auto* k = static_cast<app_xmlkey*>(mem_calloc(sizeof(app_xmlkey)));
  if (!k) return nullptr;
  k->value = dup_value(value);
  if (!k->value) {
    mem_free(k);
    return nullptr;
  }
  copy_cut(k->name, sizeof k->name, name, std::strlen(name));
  if (section->last_key)
    section->last_key->next = k;
  else
    section->keys = k;
  section->last_key = k;
  ++key_count_;
  return k;
}

int app_xmlobj::load(const char* path, int convert_utf8) {
  reset();
  app_xmlbuf buf;
  if (!buf.read_file(path)) return 0;
  return read(buf, convert_utf8);
}

int app_xmlobj::load_text(const char* text, std::size_t size, int convert_utf8) {
  reset();
  app_xmlbuf buf;
  if (!text || !buf.append(text, size) || !buf.data()) return 0;
  // A text file holds no zero byte; the text is a C string and ends at the first.
  buf.cut(std::strlen(buf.text()));
  return read(buf, convert_utf8);
}

// The encoding rule, then the parse.
int app_xmlobj::read(app_xmlbuf& buf, int convert_utf8) {
  char* t = buf.data();
  std::size_t n = buf.length();
  if (!t) return 0;
  if (n >= 3 && static_cast<unsigned char>(t[0]) == 0xEF &&
      static_cast<unsigned char>(t[1]) == 0xBB && static_cast<unsigned char>(t[2]) == 0xBF) {
    t[0] = t[1] = t[2] = ' ';  // the byte-order mark is no part of the first line
    buf.set_utf8(1);
  }
  if (std::strstr(t, "encoding=\"utf-8\"")) buf.set_utf8(1);
  if (buf.utf8() && convert_utf8) {
    std::string ansi = os_utf8_to_ansi(std::string(t, n));
    buf.clear();
    buf.set_utf8(1);
    if (!buf.append(ansi.data(), ansi.size())) return 0;
  }
  return parse(buf);
}

// The next non-empty, non-comment line, trimmed, in line_.
int app_xmlobj::next_line(app_xmlbuf& buf) {
  if (pushed_back_) {
    pushed_back_ = 0;
    return 1;
  }
  while (buf.read_line(line_, sizeof line_)) {
    trim(line_);
    if (line_[0] && !is_comment(line_)) return 1;
  }
  line_[0] = 0;
  return 0;
}

// The name between the line's first "<" and first ">" to name_; the ">" or null.
const char* app_xmlobj::tag_name(const char* line) {
  const char* lt = std::strchr(line, '<');
  const char* gt = std::strchr(line, '>');
  if (!lt || !gt || gt < lt) return nullptr;
  std::size_t n = static_cast<std::size_t>(gt - lt - 1);
  if (n > static_cast<std::size_t>(xml_name_max)) return nullptr;
  std::memcpy(name_, lt + 1, n);
  name_[n] = 0;
  return gt;
}

// A line that opens an element: a tag name, and not its own closing tag on the
// same line. "</name>" goes to close.
int app_xmlobj::opening_tag(const char* line, char* close) {
  if (!tag_name(line)) return 0;
  std::snprintf(close, xml_name_max + 4, "</%s>", name_);
  return !find_nocase(line, close);
}

// "<name>raw value</name>" on one line: name to name_, unescaped value to value_.
int app_xmlobj::key_line(const char* line) {
  const char* gt = tag_name(line);
  if (!gt) return 0;
  std::snprintf(key_close_, sizeof key_close_, "</%s>", name_);
  const char* end = find_nocase(gt + 1, key_close_);
  if (!end) return 0;
  copy_cut(raw_, sizeof raw_, gt + 1, static_cast<std::size_t>(end - gt - 1));
  unescape(raw_);
  copy_cut(value_, sizeof value_, raw_, std::strlen(raw_));
  return 1;
}

// Reads roots, sections and keys until the text ends or a line does not fit the
// shape; whatever came before stays. 0 only when a node cannot be allocated.
int app_xmlobj::parse(app_xmlbuf& buf) {
  buf.rewind();
  pushed_back_ = 0;
  if (!next_line(buf)) return 1;
  if (!std::strstr(line_, "<?xml")) pushed_back_ = 1;
  for (;;) {
    if (!next_line(buf) || !opening_tag(line_, root_close_)) return 1;
    app_xmlroot* root = add_root(name_);
    if (!root) return 0;
    for (;;) {
      if (!next_line(buf)) return 1;
      if (same_name(line_, root_close_)) break;
      if (!opening_tag(line_, section_close_)) return 1;
      app_xmlsection* section = add_section(root, name_);
      if (!section) return 0;
      for (;;) {
        if (!next_line(buf)) return 1;
        if (same_name(line_, section_close_)) break;
        if (!key_line(line_)) return 1;
        if (!add_key(section, name_, value_)) return 0;
      }
    }
  }
}

int app_xmlobj::get_text(const char* section, const char* key, char* out, int size) const {
  if (!out || size <= 0) return 0;
  std::memset(out, 0, static_cast<std::size_t>(size));
  if (!section || !key) return 0;
  const app_xmlroot* r = roots_;
  while (r && !same_name(r->name, "zun")) r = r->next;
  if (!r) return 0;
  const app_xmlsection* s = r->sections;
  while (s && !same_name(s->name, section)) s = s->next;
  if (!s) return 0;
  const app_xmlkey* k = s->keys;
  while (k && !same_name(k->name, key)) k = k->next;
  if (!k) return 0;
  copy_cut(out, static_cast<std::size_t>(size), k->value, std::strlen(k->value));
  return 1;
}

int app_xml_get_text(const app_xmlobj* doc, const char* section, const char* key, char* out,
                     int size) {
  if (!doc) {
    if (out && size > 0) std::memset(out, 0, static_cast<std::size_t>(size));
    return 0;
  }
  return doc->get_text(section, key, out, size);
}

int app_xmlobj::set_text(const char* root, const char* section, const char* key,
                         const char* value) {
  if (!root || !section || !key) return 0;
  if (!writable_name(root) || !writable_name(section) || !writable_name(key)) return 0;
  app_xmlroot* r = roots_;
  while (r && !same_name(r->name, root)) r = r->next;
  if (!r && !(r = add_root(root))) return 0;
  app_xmlsection* s = r->sections;
  while (s && !same_name(s->name, section)) s = s->next;
  if (!s && !(s = add_section(r, section))) return 0;
  app_xmlkey* k = s->keys;
  while (k && !same_name(k->name, key)) k = k->next;
  if (!k) return add_key(s, key, value) != nullptr;
  char* v = dup_value(value);
  if (!v) return 0;
  mem_free(k->value);
  k->value = v;
  return 1;
}

namespace {

// A key line that the reader gives back whole: the escaped value stays within
// the raw limit, so an escape-heavy value is cut rather than breaking the file.
int append_key(app_xmlbuf& out, const app_xmlkey* k) {
  if (!out.append("\t\t<") || !out.append(k->name) || !out.append(">")) return 0;
  std::size_t escaped = 0;
  for (const char* p = k->value; *p;) {
    std::size_t used;
    const char* e = escape_unit(p, &used);
    std::size_t n = e ? std::strlen(e) : 1;
    if (escaped + n > static_cast<std::size_t>(xml_raw_max)) break;
    if (!(e ? out.append(e, n) : out.append(p, 1))) return 0;
    escaped += n;
    p += used;
  }
  return out.append("</") && out.append(k->name) && out.append(">\r\n");
}

int append_tag(app_xmlbuf& out, const char* indent, const char* slash, const char* name) {
  return out.append(indent) && out.append("<") && out.append(slash) && out.append(name) &&
         out.append(">\r\n");
}

}  // namespace

// The reader accepts a few names that, written on a line of their own, would
// read back as something else (a comment, the declaration, the root's end tag)
// and derail everything after them. Such nodes are left out of the text.
int app_xmlobj::to_text(app_xmlbuf& out, const char* encoding) const {
  out.clear();
  bool declared = encoding && *encoding;
  if (declared) {
    // A line break inside the declaration would turn its rest into a broken root.
    if (std::strpbrk(encoding, "\r\n")) return 0;
    if (!out.append("<?xml version=\"1.0\" encoding=\"") || !out.append(encoding) ||
        !out.append("\" ?>\r\n"))
      return 0;
  }
  for (const app_xmlroot* r = roots_; r; r = r->next) {
    if (!writable_name(r->name)) continue;
    bool first = out.length() == 0;
    if (first && (std::strncmp(r->name, "?xml", 4) == 0 || std::strstr(r->name, "<?xml")))
      continue;  // the first line would be skipped as a declaration
    if (!append_tag(out, "", "", r->name)) return 0;
    for (const app_xmlsection* s = r->sections; s; s = s->next) {
      if (!writable_name(s->name) || (s->name[0] == '/' && same_name(s->name + 1, r->name)))
        continue;
      if (!append_tag(out, "\t", "", s->name)) return 0;
      for (const app_xmlkey* k = s->keys; k; k = k->next)
        if (writable_name(k->name) && !append_key(out, k)) return 0;
      if (!append_tag(out, "\t", "/", s->name)) return 0;
    }
    if (!append_tag(out, "", "/", r->name)) return 0;
  }
  return 1;
}

int app_xmlobj::save(const char* path, const char* encoding) const {
  if (!path || !*path) return 0;
  app_xmlbuf text;
  if (!to_text(text, encoding)) return 0;
  // A read-only target could not be replaced.
  if (os_file_exists(path)) os_clear_attributes(path);
  os_safe_file f(path);
  if (!f.ok() || !f.write(text.text(), text.length())) return 0;
  return f.commit();
}
