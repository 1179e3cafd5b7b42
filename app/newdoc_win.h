#pragma once
// Choosing how a new document starts (Ctrl+N: size, paper, texture, colour)
// or which ready-made document it starts from (Ctrl+Shift+N): plain modal
// windows over the template lists, standing in for the skinned dialogs.
#include <windows.h>

#include "doc/zun_template.h"

// The lists of the installation tree, read on first use (those that can be read).
zun_template& app_templates();
// 1 with the choice made, 0 when cancelled.
int choose_new_document(HWND owner, zun_template& t, new_doc_choice* out);
int choose_template(HWND owner, zun_template& t, int32_t* index);
