#pragma once
// The program's command line: one option, or a quoted document path.
#include <cstddef>

enum class app_command { normal, install, uninstall, check, close, document };

// Options are found anywhere in the line, tested in a fixed order (the first that
// matches wins). For a document, path receives the text between the first two
// double quotes (at most size - 1 characters; empty when there is none).
app_command parse_command_line(const char* line, char* path, std::size_t size);
