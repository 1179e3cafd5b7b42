// The program as a whole, started the way users and the installer start it.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/win32/support/program.h"
#include "tests/win32/support/tree_library.h"

namespace {

constexpr const char* kKey = "SOFTWARE\\Morvex Software\\Quillmere";

std::string reg_text(HKEY root, const char* key, const char* name, DWORD* type = nullptr) {
  HKEY k;
  if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return "<no key>";
  char buf[1024] = {};
  DWORD size = sizeof buf - 1, t = 0;
  LONG r = RegQueryValueExA(k, name, nullptr, &t, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(k);
  if (type) *type = t;
  return r == ERROR_SUCCESS ? std::string(buf) : "<no value>";
}

bool key_exists(HKEY root, const char* key) {
  HKEY k;
  if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

// Every test starts and ends with no instance running.
class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(tree_path("zwsmain.exe").empty()) << "QM_TREE is not set";
    if (FindWindowA("MXZUN2013_BASE_WRITEMAIN", nullptr)) program_exit_code("-close");
  }
  void TearDown() override {
    if (FindWindowA("MXZUN2013_BASE_WRITEMAIN", nullptr)) program_exit_code("-close");
  }
};

}  // namespace

TEST_F(Program, CheckAnswersWhetherAnInstanceRuns) {
  EXPECT_EQ(program_exit_code("-check"), 0);
  program_run run = program_start("");
  ASSERT_TRUE(run.started);
  ASSERT_NE(program_window(30000), nullptr) << "the main window never appeared";
  EXPECT_EQ(program_exit_code("-check"), 1);
  // "-uninstall" is tested before "-check": a line with both closes the instance.
  EXPECT_EQ(program_exit_code("-check -uninstall"), 0);
  EXPECT_TRUE(program_wait(run, 20000));
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_EQ(program_exit_code("-check"), 0);
}

TEST_F(Program, SecondInstanceEndsSilentlyAndTheFirstKeepsRunning) {
  program_run first = program_start("");
  ASSERT_NE(program_window(30000), nullptr);
  EXPECT_EQ(program_exit_code("", 20000), 0);
  EXPECT_EQ(program_exit_code("C:\\unquoted.zws", 20000), 0);
  EXPECT_FALSE(program_wait(first, 200)) << "the first instance ended";
  EXPECT_EQ(program_exit_code("-check"), 1);
  program_close(first);
  EXPECT_EQ(first.exit_code, 0u);
}

// The running instance is played by a window of the program's class made here,
// so the exact open request that a second start sends can be read.
namespace {
std::string g_received;
DWORD g_received_size = 0;
LRESULT CALLBACK stand_in_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COPYDATA) {
    auto* cd = reinterpret_cast<COPYDATASTRUCT*>(lp);
    g_received.assign(static_cast<const char*>(cd->lpData), cd->cbData);
    g_received_size = cd->cbData;
    return 1;
  }
  return DefWindowProcA(w, msg, wp, lp);
}
}  // namespace

TEST_F(Program, QuotedPathIsForwardedToTheRunningWindow) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string doc = std::string(temp) + "a doc with spaces.zws";
  std::ofstream(doc) << "x";
  WNDCLASSA wc = {};
  wc.lpfnWndProc = stand_in_proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MXZUN2013_BASE_WRITEMAIN";
  ASSERT_TRUE(RegisterClassA(&wc));
  HWND w = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
  ASSERT_NE(w, nullptr);
  program_run second = program_start("\"" + doc + "\"");
  ASSERT_TRUE(program_wait(second, 20000));
  EXPECT_EQ(second.exit_code, 0u);
  std::string expected = ".zws=" + doc;
  EXPECT_EQ(g_received_size, expected.size() + 1);  // the terminator is counted
  EXPECT_EQ(std::string(g_received.c_str()), expected);
  DestroyWindow(w);
  UnregisterClassA(wc.lpszClassName, wc.hInstance);
  DeleteFileA(doc.c_str());
}

TEST_F(Program, CloseWritesTheSettingsBack) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                            nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(k, "Para_FirstRun", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
  RegSetValueExA(k, "Para_BackGroundSeq", 0, REG_SZ, reinterpret_cast<const BYTE*>("-3"), 3);
  RegCloseKey(k);
  program_run run = program_start("");
  ASSERT_NE(program_window(30000), nullptr);
  EXPECT_EQ(program_exit_code("-close"), 0);
  ASSERT_TRUE(program_wait(run, 20000));
  EXPECT_EQ(reg_text(HKEY_LOCAL_MACHINE, kKey, "Para_FirstRun"), "0");
  EXPECT_EQ(reg_text(HKEY_LOCAL_MACHINE, kKey, "Para_BackGroundSeq"), "0");  // -3 was taken as 0
}

TEST_F(Program, InstallRegistersTheDocumentTypeAndUninstallRemovesIt) {
  EXPECT_EQ(program_exit_code("-install"), 0);
  EXPECT_EQ(reg_text(HKEY_CLASSES_ROOT, ".zws", nullptr), "Zws.Image");
  EXPECT_EQ(reg_text(HKEY_CLASSES_ROOT, ".zws", "Content Type"), "image/zws");
  DWORD type = 0;
  std::string icon = reg_text(HKEY_CLASSES_ROOT, "Zws.Image\\DefaultIcon", nullptr, &type);
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(icon, "\"" + tree_path("file.ico") + "\"");
  EXPECT_EQ(reg_text(HKEY_CLASSES_ROOT, "Zws.Image\\shell\\open\\command", nullptr),
            "\"" + tree_path("zwsmain.exe") + "\" \"%1\"");
  // Twice leaves one registration.
  EXPECT_EQ(program_exit_code("-install"), 0);
  EXPECT_EQ(reg_text(HKEY_CLASSES_ROOT, ".zws", nullptr), "Zws.Image");

  EXPECT_EQ(program_exit_code("-uninstall"), 0);
  EXPECT_FALSE(key_exists(HKEY_CLASSES_ROOT, ".zws"));
  EXPECT_FALSE(key_exists(HKEY_CLASSES_ROOT, "Zws.Image"));
}

// A copy of the installation tree that a test may damage.
namespace {
std::string copy_tree(const std::string& into) {
  std::string from = tree_path("");
  CreateDirectoryA(into.c_str(), nullptr);
  const char* files[] = {"zwsmain.exe", "zz_device.dll", "zz_avi.dll", "mx_conf.ini", "cd.lst"};
  for (const char* f : files) CopyFileA((from + f).c_str(), (into + "\\" + f).c_str(), FALSE);
  CreateDirectoryA((into + "\\LAN").c_str(), nullptr);
  CreateDirectoryA((into + "\\LAN\\chs").c_str(), nullptr);
  CopyFileA((from + "LAN\\chs\\config.xml").c_str(), (into + "\\LAN\\chs\\config.xml").c_str(), FALSE);
  return into + "\\zwsmain.exe";
}

void remove_tree(const std::string& dir) {
  std::string twice = dir + std::string(1, '\0');  // double-terminated for the shell
  SHFILEOPSTRUCTA op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = twice.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationA(&op);
}

std::string scratch_folder(const char* name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + name;
}

long run_exe(const std::string& exe, DWORD ms, bool* had_window) {
  std::string line = "\"" + exe + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return -2;
  CloseHandle(pi.hThread);
  *had_window = false;
  DWORD until = GetTickCount() + ms;
  while (WaitForSingleObject(pi.hProcess, 100) == WAIT_TIMEOUT) {
    if (FindWindowA("MXZUN2013_BASE_WRITEMAIN", nullptr)) {
      *had_window = true;
      PostMessageA(FindWindowA("MXZUN2013_BASE_WRITEMAIN", nullptr), WM_CLOSE, 1, 0);
    }
    if (static_cast<LONG>(until - GetTickCount()) <= 0) {
      TerminateProcess(pi.hProcess, 99);
      break;
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  return static_cast<long>(code);
}
}  // namespace

TEST_F(Program, WithoutCdListItEndsQuietly) {
  std::string dir = scratch_folder("qm-no-cdlst");
  std::string exe = copy_tree(dir);
  DeleteFileA((dir + "\\cd.lst").c_str());
  bool window = true;
  EXPECT_EQ(run_exe(exe, 30000, &window), 0);
  EXPECT_FALSE(window);
  remove_tree(dir);
}

TEST_F(Program, MalformedLanguageFileStillRunsWithEmptyTexts) {
  std::string dir = scratch_folder("qm-bad-lang");
  std::string exe = copy_tree(dir);
  {
    std::ofstream f(dir + "\\LAN\\chs\\config.xml", std::ios::binary | std::ios::trunc);
    f << "<zun>\r\n<app>\r\n<appname>unterminated\r\n<<<>>>\r\n" << std::string(5000, '<');
  }
  bool window = false;
  EXPECT_EQ(run_exe(exe, 30000, &window), 0);
  EXPECT_TRUE(window) << "a malformed language file must not stop the program";
  // Without a language file at all it cannot start.
  DeleteFileA((dir + "\\LAN\\chs\\config.xml").c_str());
  window = true;
  EXPECT_EQ(run_exe(exe, 30000, &window), 0);
  EXPECT_FALSE(window);
  remove_tree(dir);
}
