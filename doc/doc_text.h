#pragma once
// The controller's texts for the shell: the default name of the document and
// its status lines. Texts come from the language configuration through a
// lookup the shell passes in (config_text has this form), so doc/ needs no
// part of the shell.
#include <cstddef>

class zun_file;

// Fills out (size bytes) with the text of key in section; 0 when there is none.
using doc_text_fn = int (*)(const char* section, const char* key, char* out, int size);

// One argument of a format from the language file.
struct doc_text_arg {
  const char* text;  // used when not null
  long number;
};

// printf-style formats from outside: each conversion (%s, %d, %5.2f ...) takes
// the next argument as text, "%%" is a percent sign; a conversion without an
// argument left prints nothing. Nothing in the format is trusted.
void doc_format(char* out, std::size_t size, const char* format, const doc_text_arg* args,
                int count);

// The path, else key "name" of section "file" (or "untitled") plus ".zws".
void doc_default_name(const zun_file& f, doc_text_fn text, char* out, std::size_t size);
// Key "info" of section "file" with the default name, the width and the height.
void doc_info_text(const zun_file& f, doc_text_fn text, char* out, std::size_t size);
// Key "infoscale1" (zoomed in or 1:1) or "infoscale0" of section "file" with
// |s * 100|, s the view's scale step (1 while the view is not set up).
void doc_zoom_text(const zun_file& f, doc_text_fn text, char* out, std::size_t size);
