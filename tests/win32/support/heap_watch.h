#pragma once
// Counts the C heap blocks one loaded module takes and gives back, by redirecting
// its msvcrt imports. Tests use it to show a library leaks nothing on any path.
#include <windows.h>

// Installs the counting hooks once per module; false if the module imports no malloc.
bool heap_watch_install(HMODULE module);
long heap_watch_outstanding();  // blocks taken and not yet freed, since install
long heap_watch_taken();        // blocks taken in all, since install
