#pragma once
// The bound Simple MAPI client, shared by the exports.
#include <windows.h>
#include <mapi.h>

#include <cstddef>

// 32-bit layouts that cross into the mail client.
static_assert(sizeof(void*) == 4, "zz_mail is a 32-bit library");
static_assert(sizeof(MapiFileDesc) == 24, "MapiFileDesc");
static_assert(offsetof(MapiFileDesc, nPosition) == 8 && offsetof(MapiFileDesc, lpszPathName) == 12 &&
                  offsetof(MapiFileDesc, lpszFileName) == 16 && offsetof(MapiFileDesc, lpFileType) == 20,
              "MapiFileDesc fields");
static_assert(sizeof(MapiRecipDesc) == 24 && offsetof(MapiRecipDesc, ulRecipClass) == 4,
              "MapiRecipDesc");
static_assert(sizeof(MapiMessage) == 48 && offsetof(MapiMessage, lpszNoteText) == 8 &&
                  offsetof(MapiMessage, nRecipCount) == 32 && offsetof(MapiMessage, nFileCount) == 40,
              "MapiMessage");

struct MailState {
  HMODULE mapi = nullptr;  // in use while set
  LPMAPILOGON logon = nullptr;
  LPMAPILOGOFF logoff = nullptr;
  LPMAPIFREEBUFFER free_buffer = nullptr;
  LPMAPIFINDNEXT find_next = nullptr;
  LPMAPIREADMAIL read_mail = nullptr;
  LPMAPISENDMAIL send_mail = nullptr;
  LPMAPIRESOLVENAME resolve_name = nullptr;
  LHANDLE session = 0;
  ULONG_PTR ui = 0;  // the caller's window, for the client's own dialogs
};

extern MailState g_mail;

// Loads MAPI32.DLL from the system folder only: a bare name would also search the
// current and the application folder, where anyone can plant a library.
HMODULE mail_load_mapi();
