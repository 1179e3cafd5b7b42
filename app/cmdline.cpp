#include "app/cmdline.h"

#include <cstring>

app_command parse_command_line(const char* line, char* path, std::size_t size) {
  if (path && size) path[0] = 0;
  if (!line || !*line) return app_command::normal;
  // The order of these tests, not the order in the text, decides.
  if (std::strstr(line, "-install")) return app_command::install;
  if (std::strstr(line, "-uninstall")) return app_command::uninstall;
  if (std::strstr(line, "-check")) return app_command::check;
  if (std::strstr(line, "-close")) return app_command::close;
  const char* q1 = std::strchr(line, '"');
  const char* q2 = q1 ? std::strchr(q1 + 1, '"') : nullptr;
  if (path && size && q2) {
    std::size_t n = static_cast<std::size_t>(q2 - q1 - 1);
    if (n > size - 1) n = size - 1;
    std::memcpy(path, q1 + 1, n);
    path[n] = 0;
  }
  return app_command::document;
}
