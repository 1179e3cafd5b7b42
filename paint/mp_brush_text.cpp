// The older text brush format: "name base | input points | ...", one
// setting per line. Malformed parts lose only themselves.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "paint/mp_brush.h"

namespace {
constexpr int kMaxParts = 10;
constexpr std::size_t kMaxPart = 255;

struct span {
  const char* p;
  std::size_t n;
};

inline bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

span trim(span s) {
  while (s.n && blank(*s.p)) ++s.p, --s.n;
  while (s.n && blank(s.p[s.n - 1])) --s.n;
  return s;
}

// Splits at the first blank into head and tail (both trimmed); false when none.
bool split_blank(span s, span* head, span* tail) {
  for (std::size_t i = 0; i < s.n; ++i) {
    if (blank(s.p[i])) {
      *head = trim(span{s.p, i});
      *tail = trim(span{s.p + i + 1, s.n - i - 1});
      return true;
    }
  }
  return false;
}

// Up to max pieces of s between separators; the rest is dropped.
int split(span s, char sep, span* out, int max) {
  int n = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= s.n && n < max; ++i) {
    if (i == s.n || s.p[i] == sep) {
      out[n++] = span{s.p + start, i - start};
      start = i + 1;
    }
  }
  return n;
}

// A decimal number at the start of s into *out (0 when there is none or it
// is not finite); false when s does not start with a number.
bool read_number(span s, float* out) {
  char buf[kMaxPart + 1];
  std::size_t n = s.n < kMaxPart ? s.n : kMaxPart;
  std::memcpy(buf, s.p, n);
  buf[n] = 0;
  char* end = nullptr;
  double v = std::strtod(buf, &end);
  *out = 0.0f;
  if (end == buf) return false;
  if (!std::isfinite(v)) return true;
  if (v > 1e30) v = 1e30;
  if (v < -1e30) v = -1e30;
  *out = static_cast<float>(v);
  return true;
}

float number(span s) {
  float v;
  read_number(s, &v);
  return v;
}

// The library needs rising x and finite values: others are dropped.
void add_point(mp_mapping& m, float x, float y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (m.count && x < m.x[m.count - 1]) return;
  m.add(x, y);
}

void parse_points(span list, mp_mapping& m) {
  m.clear();
  span parts[kMpMaxPoints];
  int n = split(list, ',', parts, kMpMaxPoints);
  if (n >= 2) {
    // "(x y), (x y), ..."
    for (int i = 0; i < n; ++i) {
      span s = trim(parts[i]);
      const char* open = static_cast<const char*>(std::memchr(s.p, '(', s.n));
      if (!open) continue;
      span after{open + 1, s.n - std::size_t(open + 1 - s.p)};
      const char* close = static_cast<const char*>(std::memchr(after.p, ')', after.n));
      if (!close) continue;
      span inner{after.p, std::size_t(close - after.p)};
      span xs, ys;
      float x, y;
      if (!split_blank(trim(inner), &xs, &ys) || !read_number(xs, &x) || !read_number(ys, &y))
        continue;
      add_point(m, x, y);
    }
  } else {
    // Older form: "x y x y ..." after an implied origin; a pair counts only
    // when it is not itself the origin.
    float v[kMpMaxPoints];
    int count = 0;
    span rest = trim(list);
    while (rest.n && count < kMpMaxPoints) {
      span head, tail;
      if (!split_blank(rest, &head, &tail)) {
        head = rest;
        tail = span{rest.p + rest.n, 0};
      }
      if (read_number(head, &v[count])) ++count;
      rest = tail;
    }
    if (count < 2) return;
    add_point(m, 0.0f, 0.0f);
    for (int i = 0; i + 1 < count; i += 2)
      if (v[i] != 0.0f || v[i + 1] != 0.0f) add_point(m, v[i], v[i + 1]);
  }
  if (m.count < 2) m.clear();
}

// One line; true when it named a known setting.
bool parse_line(span line, mp_setting* settings) {
  line = trim(line);
  if (!line.n || line.p[0] == '#') return false;
  span name, rest;
  if (!split_blank(line, &name, &rest)) return false;
  int index = mp_setting_index(name.p, name.n);
  if (index < 0) return false;
  mp_setting& setting = settings[index];

  span parts[kMaxParts];
  int n = split(rest, '|', parts, kMaxParts);
  for (int i = 0; i < n; ++i)
    if (parts[i].n > kMaxPart) parts[i].n = kMaxPart;
  setting.clear();
  setting.base = number(trim(parts[0]));
  for (int i = 1; i < n; ++i) {
    span part = trim(parts[i]), input_name, list;
    if (!split_blank(part, &input_name, &list)) {
      input_name = part;
      list = span{part.p + part.n, 0};
    }
    int input = mp_input_index(input_name.p, input_name.n);
    if (input < 0) continue;
    parse_points(list, setting.inputs[input]);
  }
  return true;
}
}  // namespace

int mp_parse_brush_text(const char* text, std::size_t length, mp_setting settings[kMpSettingCount]) {
  for (int i = 0; i < kMpSettingCount; ++i) settings[i].clear();
  if (!text) return 0;
  int named = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= length; ++i) {
    if (i == length || text[i] == '\n') {
      if (parse_line(span{text + start, i - start}, settings)) ++named;
      start = i + 1;
    }
  }
  return named;
}
