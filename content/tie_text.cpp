#include "content/tie_text.h"

#include <cstring>

#include "base/os.h"

std::size_t tie_text_fit(const std::string& text, std::size_t max_bytes) {
  std::size_t k = 0;
  while (k < text.size()) {
    const unsigned char c = (unsigned char)text[k];
    std::size_t step = 1;
    if (os_is_lead_byte(c)) {
      step = 2;
    } else if (c >= 0xC0) {
      while (k + step < text.size() && ((unsigned char)text[k + step] & 0xC0) == 0x80) ++step;
    }
    if (k + step > text.size()) step = text.size() - k;  // a lead byte at the very end
    if (k + step > max_bytes) break;
    k += step;
  }
  return k;
}

void tie_text_copy(char* out, std::size_t size, const std::string& text) {
  const std::size_t n = tie_text_fit(text, size - 1);
  std::memcpy(out, text.data(), n);
  out[n] = 0;
}

std::string tie_trim_value(const std::string& text) {
  std::size_t a = text.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  std::size_t b = text.find_last_not_of(" \t\r\n");
  if (b == std::string::npos || b < a) return {};
  return text.substr(a, b - a + 1);
}

std::string tie_trim_blanks(const std::string& text) {
  std::size_t a = text.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  std::size_t b = text.find_last_not_of(" \t");
  return text.substr(a, b - a + 1);
}
