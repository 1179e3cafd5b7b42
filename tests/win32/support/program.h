#pragma once
// Runs zwsmain.exe of the installation tree as a user would start it.
#include <windows.h>

#include <string>

struct program_run {
  HANDLE process = nullptr;
  DWORD exit_code = STILL_ACTIVE;
  bool started = false;
};

// Starts the program with the given argument text; does not wait.
program_run program_start(const std::string& arguments);
// Waits up to ms for the process to end, pumping this thread's messages meanwhile
// (a sender of WM_COPYDATA blocks until the receiver has handled it). 1 when it ended.
int program_wait(program_run& run, DWORD ms);
// Starts, waits for the end, returns the exit code (or -1 on a time-out, killing it).
long program_exit_code(const std::string& arguments, DWORD ms = 30000);
// The main window of a running instance, waiting up to ms for it to appear.
HWND program_window(DWORD ms);
// Closes a running instance without its question and waits for it to end.
void program_close(program_run& run);
void program_kill(program_run& run);
