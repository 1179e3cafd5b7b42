// zz_mail.dll as a caller uses it, loaded from the tree, over a stand-in mail
// client installed as the system folder's MAPI32.DLL: what the library hands the
// client, what it takes back, and that it keeps no heap block on any path.
#include <windows.h>
#include <mapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/win32/support/heap_watch.h"
#include "tests/win32/support/iat_hook.h"
#include "tests/win32/support/mapi_stub.h"
#include "tests/win32/support/stub_install.h"
#include "tests/win32/support/tree_library.h"

namespace {

using IntFn = int(__cdecl*)();
using InitFn = int(__cdecl*)(HWND);
using QuitFn = void(__cdecl*)();
using SendFn = int(__cdecl*)(char*, char*, char*, int, int, char*);
using ReadFn = void*(__cdecl*)(int);
using FreeFn = int(__cdecl*)(void*);

// What zz_mail asks the loader for: every path, and how many loads it gave back.
std::vector<std::string> g_loads;
int g_frees;
decltype(&LoadLibraryA) g_real_load;
decltype(&FreeLibrary) g_real_free;

HMODULE WINAPI recording_load(LPCSTR name) {
  g_loads.push_back(name ? name : "");
  return g_real_load(name);
}
BOOL WINAPI recording_free(HMODULE module) {
  ++g_frees;
  return g_real_free(module);
}

// Attachment paths as the caller lays them out: fixed records, one after another.
struct PathRecords {
  char paths[3][260];
};

class MailTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Install the stand-in where the library looks, keeping what was there. Wine
    // prefers its own built-in mapi32 over a file in the system folder unless told.
    install_ = new stub_install(system_folder_file("MAPI32.DLL"), "mapi_stub.dll", "mapi32",
                                "native");
    if (!install_->ok()) return;
    // Held for the whole suite, so the log survives the library's own FreeLibrary.
    stub_ = LoadLibraryA(install_->target().c_str());
    auto state = export_of<MapiStubStateFn>(stub_, "MapiStubState");
    log_ = state ? state() : nullptr;

    module_ = load_from_tree("zz_mail.dll");
    if (!module_) return;
    is_support_ = export_of<IntFn>(module_, "Mail_IsSupport");
    init_ = export_of<InitFn>(module_, "Mail_Init");
    quit_ = export_of<QuitFn>(module_, "Mail_Quit");
    in_use_ = export_of<IntFn>(module_, "Mail_InUse");
    send_ = export_of<SendFn>(module_, "Mail_SendMail");
    read_ = export_of<ReadFn>(module_, "Mail_ReadMail");
    free_ = export_of<FreeFn>(module_, "Mail_FreeMail");
    watching_ = heap_watch_install(module_);
    g_real_load = reinterpret_cast<decltype(&LoadLibraryA)>(iat_hook(
        module_, "kernel32.dll", "LoadLibraryA", reinterpret_cast<void*>(&recording_load)));
    g_real_free = reinterpret_cast<decltype(&FreeLibrary)>(iat_hook(
        module_, "kernel32.dll", "FreeLibrary", reinterpret_cast<void*>(&recording_free)));
  }

  static void TearDownTestSuite() {
    if (module_) FreeLibrary(module_);
    if (stub_) FreeLibrary(stub_);
    delete install_;
    install_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(install_ && install_->ok()) << "could not install the stand-in MAPI32.DLL";
    ASSERT_NE(log_, nullptr) << "the system folder's MAPI32.DLL is not the stand-in";
    ASSERT_NE(module_, nullptr) << "zz_mail.dll not found under QM_TREE";
    ASSERT_TRUE(is_support_ && init_ && quit_ && in_use_ && send_ && read_ && free_)
        << "an export is missing";
    ASSERT_TRUE(watching_) << "zz_mail.dll does not import the C heap";
    ASSERT_TRUE(g_real_load && g_real_free) << "zz_mail.dll does not import the loader";
    g_loads.clear();
    g_frees = 0;
    window_ = CreateWindowA("STATIC", "mail", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    std::memset(log_, 0, sizeof *log_);
    heap_before_ = heap_watch_outstanding();
  }

  void TearDown() override {
    quit_();
    EXPECT_EQ(heap_watch_outstanding(), heap_before_) << "zz_mail kept heap blocks";
    EXPECT_EQ(log_->buffers_out, 0) << "MAPI buffers not given back";
    EXPECT_EQ(log_->bad_frees, 0) << "freed something MAPI never handed out";
    EXPECT_EQ(g_frees, static_cast<int>(g_loads.size())) << "MAPI32.DLL left loaded";
    for (const std::string& path : g_loads)
      EXPECT_EQ(_stricmp(path.c_str(), install_->target().c_str()), 0)
          << path << ": only the system folder's MAPI32.DLL may be loaded";
    if (window_) DestroyWindow(window_);
  }

  static inline stub_install* install_;
  static bool watching_;
  static HMODULE stub_, module_;
  static MapiStubLog* log_;
  static IntFn is_support_, in_use_;
  static InitFn init_;
  static QuitFn quit_;
  static SendFn send_;
  static ReadFn read_;
  static FreeFn free_;
  HWND window_ = nullptr;
  long heap_before_ = 0;
};

bool MailTest::watching_;
HMODULE MailTest::stub_, MailTest::module_;
MapiStubLog* MailTest::log_;
IntFn MailTest::is_support_, MailTest::in_use_;
InitFn MailTest::init_;
QuitFn MailTest::quit_;
SendFn MailTest::send_;
ReadFn MailTest::read_;
FreeFn MailTest::free_;

char* text(const char* s) { return const_cast<char*>(s); }

TEST_F(MailTest, NothingWorksBeforeInit) {
  EXPECT_EQ(in_use_(), 0);
  EXPECT_EQ(send_(text("s"), text("n"), text("ann"), 0, 0, nullptr), 0);
  EXPECT_EQ(read_(0), nullptr);
  EXPECT_EQ(free_(nullptr), 0) << "not initialised";
  EXPECT_EQ(log_->resolves + log_->sends + log_->find_calls, 0);
  quit_();  // harmless when nothing is loaded
  EXPECT_EQ(log_->logoffs, 0);
}

TEST_F(MailTest, InitLogsOnByDefaultAndQuitLogsOff) {
  EXPECT_EQ(is_support_(), 1);
  EXPECT_EQ(in_use_(), 0) << "the support check keeps nothing loaded";
  EXPECT_EQ(g_loads.size(), 1u);
  EXPECT_EQ(g_frees, 1);
  ASSERT_EQ(init_(window_), 1);
  EXPECT_EQ(in_use_(), 1);
  EXPECT_EQ(log_->logons, 1);
  EXPECT_EQ(log_->logon_ui, reinterpret_cast<ULONG_PTR>(window_));
  EXPECT_FALSE(log_->logon_profile) << "no profile, no password";
  EXPECT_EQ(log_->logon_flags, 0u);
  EXPECT_EQ(free_(nullptr), 1) << "a null message when initialised";

  // A second init replaces the session without stranding the first.
  ASSERT_EQ(init_(window_), 1);
  EXPECT_EQ(log_->logons, 2);
  EXPECT_EQ(log_->logoffs, 1);
  quit_();
  EXPECT_EQ(log_->logoffs, 2);
  EXPECT_EQ(log_->logoff_session, kMapiStubSession);
  EXPECT_EQ(in_use_(), 0);
}

TEST_F(MailTest, FailedLogonUnloadsWithoutLoggingOff) {
  log_->logon_result = MAPI_E_LOGIN_FAILURE;
  EXPECT_EQ(init_(window_), 0);
  EXPECT_EQ(in_use_(), 0);
  EXPECT_EQ(log_->logons, 1);
  EXPECT_EQ(log_->logoffs, 0) << "there is no session to end";
  EXPECT_EQ(send_(text("s"), nullptr, text("ann"), 0, 0, nullptr), 0);
}

TEST_F(MailTest, AttachmentsGetTheirOwnPositionsAfterTheNote) {
  ASSERT_EQ(init_(window_), 1);
  PathRecords files = {};
  std::strcpy(files.paths[0], "C:\\work\\docs\\page one.zws");
  std::strcpy(files.paths[1], "plain.png");  // no folder: no file name
  ASSERT_EQ(send_(text("Practice"), text("0123456789"), text("ann@example.org"), 2,
                  sizeof files.paths[0], files.paths[0]),
            1);
  EXPECT_EQ(log_->sends, 1);
  EXPECT_EQ(log_->send_flags, 0u) << "no dialog";
  EXPECT_EQ(log_->send_session, kMapiStubSession);
  EXPECT_STREQ(log_->subject, "Practice");
  EXPECT_STREQ(log_->note, "0123456789  ") << "one blank per attachment";
  EXPECT_STREQ(log_->resolve_name, "ann@example.org");
  EXPECT_EQ(log_->resolve_ui, reinterpret_cast<ULONG_PTR>(window_));
  EXPECT_EQ(log_->recip_count, 1u);
  EXPECT_EQ(log_->recip_class, static_cast<ULONG>(MAPI_TO));
  EXPECT_STREQ(log_->recip_name, "ann@example.org");
  ASSERT_EQ(log_->file_count, 2u);
  EXPECT_EQ(log_->files[0].position, 10u);
  EXPECT_EQ(log_->files[1].position, 11u);
  EXPECT_EQ(log_->files[0].flags, 0u);
  EXPECT_STREQ(log_->files[0].path, "C:\\work\\docs\\page one.zws");
  ASSERT_TRUE(log_->files[0].has_name);
  EXPECT_STREQ(log_->files[0].name, "page one.zws");
  EXPECT_STREQ(log_->files[1].path, "plain.png");
  EXPECT_FALSE(log_->files[1].has_name);
  EXPECT_FALSE(log_->files[0].has_type || log_->files[1].has_type);
  EXPECT_GT(heap_watch_taken(), 0) << "the note and the file list come from the heap";
}

TEST_F(MailTest, NoNoteAndNoAttachments) {
  ASSERT_EQ(init_(window_), 1);
  ASSERT_EQ(send_(nullptr, nullptr, text("ann"), 0, 0, nullptr), 1);
  EXPECT_FALSE(log_->note_null) << "an empty note, not none";
  EXPECT_STREQ(log_->note, "");
  EXPECT_TRUE(log_->subject_null);
  EXPECT_EQ(log_->file_count, 0u);
}

TEST_F(MailTest, FailuresSendNothingAndKeepNothing) {
  ASSERT_EQ(init_(window_), 1);
  PathRecords files = {};
  std::strcpy(files.paths[0], "C:\\a.zws");
  std::strcpy(files.paths[1], "C:\\b.zws");

  EXPECT_EQ(send_(text("s"), text("note"), text("nobody here"), 2, 260, files.paths[0]), 0);
  EXPECT_EQ(log_->resolves, 1);
  EXPECT_EQ(log_->sends, 0) << "an unresolved recipient sends nothing";
  EXPECT_EQ(heap_watch_outstanding(), heap_before_);

  log_->send_result = MAPI_E_FAILURE;
  EXPECT_EQ(send_(text("s"), text("note"), text("ann"), 2, 260, files.paths[0]), 0);
  EXPECT_EQ(log_->sends, 1);
  EXPECT_EQ(log_->buffers_out, 0) << "the resolved recipient goes back after a failed send";
  EXPECT_EQ(heap_watch_outstanding(), heap_before_);

  // Bad arguments fail before the client hears of them.
  EXPECT_EQ(send_(text("s"), text("note"), text("ann"), -1, 260, files.paths[0]), 0);
  EXPECT_EQ(send_(text("s"), text("note"), text("ann"), 2, 260, nullptr), 0);
  EXPECT_EQ(send_(text("s"), text("note"), nullptr, 0, 0, nullptr), 0);
  EXPECT_EQ(log_->resolves, 2);
}

TEST_F(MailTest, ReadsTheFirstUnreadMessage) {
  ASSERT_EQ(init_(window_), 1);
  EXPECT_EQ(read_(0), nullptr) << "nothing unread";
  EXPECT_EQ(log_->find_calls, 1);
  EXPECT_EQ(log_->find_flags, static_cast<ULONG>(MAPI_UNREAD_ONLY | MAPI_LONG_MSGID));
  EXPECT_EQ(log_->read_calls, 0);

  log_->unread = 2;
  auto* m = static_cast<MapiMessage*>(read_(1));
  ASSERT_NE(m, nullptr);
  EXPECT_STREQ(m->lpszSubject, "unread message");
  EXPECT_STREQ(log_->read_id, "stub-message-1") << "the id MAPIFindNext gave";
  EXPECT_EQ(log_->read_flags, static_cast<ULONG>(MAPI_SUPPRESS_ATTACH));
  EXPECT_EQ(log_->buffers_out, 1);
  EXPECT_EQ(free_(m), 1);
  EXPECT_EQ(log_->buffers_out, 0);

  m = static_cast<MapiMessage*>(read_(0));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(log_->read_flags, 0u) << "attachments wanted";
  EXPECT_EQ(free_(m), 1);
}

}  // namespace
