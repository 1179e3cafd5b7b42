#pragma once
// Redirects one function that a loaded module imports, so a test can watch what
// a product library asks of the system while the real call still happens.
#include <windows.h>

// Returns the previous target, or null when the module does not import it.
void* iat_hook(HMODULE module, const char* dll, const char* function, void* replacement);
