#pragma once
// The LIKE pattern language the copybook queries were written for: '%' any
// run, '_' one character, '[abc]', '[a-z]' and '[!abc]' classes; every other
// character (and any character inside a class, such as "[#]" or "[*]") stands
// for itself. ASCII letters match without regard to case. Pattern and text are
// UTF-8 and are compared by code point.

// 1 when text matches pattern, 0 when not, -1 for a malformed pattern (an
// unclosed '[' or a reversed range).
int tie_like_match(const char* pattern, const char* text);
