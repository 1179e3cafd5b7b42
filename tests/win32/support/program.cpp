#include "tests/win32/support/program.h"

#include <vector>

#include "tests/win32/support/tree_library.h"

program_run program_start(const std::string& arguments) {
  program_run run;
  std::string exe = tree_path("zwsmain.exe");
  std::string line = "\"" + exe + "\" " + arguments;
  std::vector<char> buf(line.begin(), line.end());
  buf.push_back(0);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return run;
  CloseHandle(pi.hThread);
  run.process = pi.hProcess;
  run.started = true;
  return run;
}

int program_wait(program_run& run, DWORD ms) {
  if (!run.process) return 1;
  DWORD until = GetTickCount() + ms;
  for (;;) {
    DWORD now = GetTickCount();
    DWORD left = static_cast<LONG>(until - now) > 0 ? until - now : 0;
    DWORD r = MsgWaitForMultipleObjects(1, &run.process, FALSE, left, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) break;
    if (r == WAIT_OBJECT_0 + 1) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      continue;
    }
    return 0;
  }
  GetExitCodeProcess(run.process, &run.exit_code);
  CloseHandle(run.process);
  run.process = nullptr;
  return 1;
}

void program_kill(program_run& run) {
  if (!run.process) return;
  TerminateProcess(run.process, 99);
  WaitForSingleObject(run.process, 5000);
  CloseHandle(run.process);
  run.process = nullptr;
}

long program_exit_code(const std::string& arguments, DWORD ms) {
  program_run run = program_start(arguments);
  if (!run.started) return -2;
  if (!program_wait(run, ms)) {
    program_kill(run);
    return -1;
  }
  return static_cast<long>(run.exit_code);
}

HWND program_window(DWORD ms) {
  DWORD until = GetTickCount() + ms;
  for (;;) {
    HWND w = FindWindowA("MXZUN2013_BASE_WRITEMAIN", nullptr);
    if (w) return w;
    if (static_cast<LONG>(until - GetTickCount()) <= 0) return nullptr;
    Sleep(100);
  }
}

void program_close(program_run& run) {
  if (HWND w = FindWindowA("MXZUN2013_BASE_WRITEMAIN", nullptr)) PostMessageA(w, WM_CLOSE, 1, 0);
  if (!program_wait(run, 20000)) program_kill(run);
}
