#pragma once
// The rule the save dialogs apply to a chosen name: the chosen filter's
// extension is appended unless the name already ends with it.
#include <cstddef>

// The extension of a filter label: from its first '.' up to ')' ("ZWS(*.zws)" gives ".zws").
void filter_extension(const char* label, char* out, std::size_t size);
// Applies the rule to path in place (size: the buffer's); a trailing dot is dropped first.
void apply_filter_extension(char* path, std::size_t size, const char* label);
