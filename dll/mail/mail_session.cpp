// Binding the mail client and the logon: Mail_IsSupport, Mail_Init, Mail_Quit, Mail_InUse.
#include <cstring>

#include "dll/mail/mail_state.h"
#include "dll/mail/zz_mail.h"

MailState g_mail;

HMODULE mail_load_mapi() {
  static const char kName[] = "\\MAPI32.DLL";
  char path[MAX_PATH];
  UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n == 0 || n + sizeof kName > MAX_PATH) return nullptr;
  std::memcpy(path + n, kName, sizeof kName);
  HMODULE module = LoadLibraryA(path);
  if (reinterpret_cast<ULONG_PTR>(module) < 32) return nullptr;
  return module;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}

int Mail_IsSupport() {
  HMODULE module = mail_load_mapi();
  if (!module) return 0;
  FreeLibrary(module);
  return 1;
}

namespace {

template <typename Fn>
bool bind(Fn* slot, const char* name) {
  *slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(g_mail.mapi, name)));
  return *slot != nullptr;
}

}  // namespace

int Mail_Init(HWND window) {
  // Initialising twice would strand the first session and library reference.
  Mail_Quit();
  g_mail.mapi = mail_load_mapi();
  if (!g_mail.mapi) return 0;
  bool ok = bind(&g_mail.logon, "MAPILogon") && bind(&g_mail.logoff, "MAPILogoff") &&
            bind(&g_mail.free_buffer, "MAPIFreeBuffer") && bind(&g_mail.find_next, "MAPIFindNext") &&
            bind(&g_mail.read_mail, "MAPIReadMail") && bind(&g_mail.send_mail, "MAPISendMail") &&
            bind(&g_mail.resolve_name, "MAPIResolveName");
  if (ok) {
    g_mail.ui = reinterpret_cast<ULONG_PTR>(window);
    LHANDLE session = 0;
    // No profile, no password, no flags: the client's default logon.
    ok = g_mail.logon(g_mail.ui, nullptr, nullptr, 0, 0, &session) == SUCCESS_SUCCESS;
    if (ok) g_mail.session = session;  // a failed logon leaves nothing to log off
  }
  if (!ok) {
    Mail_Quit();
    return 0;
  }
  return 1;
}

void Mail_Quit() {
  if (g_mail.session && g_mail.logoff) g_mail.logoff(g_mail.session, g_mail.ui, 0, 0);
  if (g_mail.mapi) FreeLibrary(g_mail.mapi);
  g_mail = MailState{};
}

int Mail_InUse() { return g_mail.mapi ? 1 : 0; }
