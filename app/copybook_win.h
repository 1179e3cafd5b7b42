#pragma once
// Choosing a copybook model from the library (Ctrl+T): a plain modal window
// with the quick search, the advanced search (dynasty, author, style), the
// matching copybooks, a thumbnail and the description; "trace" opens the model faded for writing over it, "copy" as it
// is. Stands in for the skinned copybook dialog until the skin exists.
#include <windows.h>

int cmd_copybook(HWND window);
