// The copybook searches on any text: the LIKE matcher on any pattern and text
// (bytes before the first NUL are the pattern), the two filter builders on any
// search text, and one property: a plain search text, once protected by the
// quick search, matches itself.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "content/tie_filter.h"
#include "content/tie_like.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = in.find('\0');
  const std::string pattern = in.substr(0, nul);
  const std::string text = nul == std::string::npos ? std::string() : in.substr(nul + 1);
  tie_like_match(pattern.c_str(), text.c_str());

  char filter[1024];
  tie_quick_filter(pattern.c_str(), filter, sizeof filter);
  tie_advanced_filter(pattern.c_str(), text.c_str(), pattern.c_str(), filter, sizeof filter);

  // Printable ASCII without '%' or quotes, not starting or ending with a blank.
  bool plain = !pattern.empty() && pattern.size() <= 63 && pattern.front() != ' ' &&
               pattern.back() != ' ';
  for (char c : pattern) plain = plain && c > ' ' - 1 && c < 127 && c != '%' && c != '\'';
  if (plain && tie_quick_filter(pattern.c_str(), filter, sizeof filter)) {
    const char* start = std::strstr(filter, "like '%");
    const char* end = start ? std::strstr(start + 7, "%'") : nullptr;
    if (!start || !end) __builtin_trap();
    const std::string protected_text(start + 6, end + 1);  // with its two '%'
    if (tie_like_match(protected_text.c_str(), pattern.c_str()) != 1) __builtin_trap();
  }
  return 0;
}
