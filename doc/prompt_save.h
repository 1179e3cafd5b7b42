#pragma once
// Whether to save the document before it is replaced or the program ends: the
// decision, with the shell's message box and save dialog passed in.
#include "doc/doc_text.h"

class zun_file;

struct doc_prompt_hooks {
  void* context = nullptr;
  doc_text_fn text = nullptr;
  // A yes/no question; 1 for yes.
  int (*ask_yes_no)(void* context, const char* text) = nullptr;
  // The save dialog offering the suggested name; 1 with the chosen path in
  // out (size bytes), 0 when cancelled.
  int (*choose_path)(void* context, const char* suggested, char* out, int size) = nullptr;
  // The shell's menu state for the modified flag (0 disables the question).
  int menu_allows = 1;
};

enum class doc_prompt_outcome {
  nothing_to_save,  // not initialised, not allowed, or unmodified
  declined,         // "no" to saving
  cancelled,        // the dialog or the overwrite question was cancelled
  saved,
  save_failed,  // the document is still unsaved
};

// With ask, key "save" of section "msg" (formatted with the default name) is
// asked first. Untitled documents and imported pictures go through the save
// dialog, and an existing file through key "ifexist" of section "msg". 1 when
// saved; *outcome (optional) tells the cases apart.
int doc_prompt_save(zun_file& f, int ask, const doc_prompt_hooks& hooks,
                    doc_prompt_outcome* outcome = nullptr);
