#pragma once
// Text helpers of the copybook lists and filters, for system code page text
// (double-byte characters are never split) and UTF-8 (nor are code points).
#include <cstddef>
#include <string>

// The longest prefix of text, at most max_bytes long, that ends on a character boundary.
std::size_t tie_text_fit(const std::string& text, std::size_t max_bytes);
// Copies text cut to fit size - 1 bytes and terminates it; size > 0.
void tie_text_copy(char* out, std::size_t size, const std::string& text);
// Leading spaces and tabs off, and trailing spaces, tabs, CR and LF (list values).
std::string tie_trim_value(const std::string& text);
// Spaces and tabs off both ends (search texts and fields).
std::string tie_trim_blanks(const std::string& text);
