#pragma once
// The where-clauses of the copybook dialog's two searches, in the system code page.
#include <cstddef>

// The filter of the quick search box: text (at most 63 characters are taken)
// trimmed, quotes doubled and LIKE wildcards other than '%' bracketed, sought
// in all four columns; "" for a blank text. 0 when the result does not fit size.
int tie_quick_filter(const char* text, char* out, std::size_t size);
// The filter of the advanced search: an equality for each non-empty field,
// joined with " And ". 0 when the result does not fit size.
int tie_advanced_filter(const char* dynasty, const char* author, const char* style, char* out,
                        std::size_t size);
