// The stand-in client. It keeps no heap of its own except the MAPI buffers it
// hands out, which it counts so a test can see that every one came back.
#include "tests/win32/support/mapi_stub.h"

#include <cstring>

namespace {

MapiStubLog g_log;
void* g_buffers[16];

void copy(char* to, size_t size, const char* from) {
  if (!from) from = "";
  std::strncpy(to, from, size - 1);
  to[size - 1] = '\0';
}

void* buffer(size_t size) {
  for (void*& slot : g_buffers) {
    if (slot) continue;
    slot = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
    if (slot) ++g_log.buffers_out;
    return slot;
  }
  return nullptr;
}

}  // namespace

extern "C" __declspec(dllexport) MapiStubLog* __cdecl MapiStubState() { return &g_log; }

extern "C" ULONG WINAPI MAPILogon(ULONG_PTR ui, LPSTR profile, LPSTR password, FLAGS flags,
                                  ULONG, LPLHANDLE session) {
  ++g_log.logons;
  g_log.logon_ui = ui;
  g_log.logon_flags = flags;
  g_log.logon_profile = profile != nullptr || password != nullptr;
  if (g_log.logon_result != SUCCESS_SUCCESS) return g_log.logon_result;
  *session = kMapiStubSession;
  return SUCCESS_SUCCESS;
}

extern "C" ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR, FLAGS, ULONG) {
  ++g_log.logoffs;
  g_log.logoff_session = session;
  return SUCCESS_SUCCESS;
}

extern "C" ULONG WINAPI MAPIFreeBuffer(LPVOID block) {
  for (void*& slot : g_buffers) {
    if (!block || slot != block) continue;
    HeapFree(GetProcessHeap(), 0, slot);
    slot = nullptr;
    --g_log.buffers_out;
    return SUCCESS_SUCCESS;
  }
  ++g_log.bad_frees;
  return MAPI_E_FAILURE;
}

// Names starting with "nobody" are unknown to this client.
extern "C" ULONG WINAPI MAPIResolveName(LHANDLE session, ULONG_PTR ui, LPSTR name, FLAGS, ULONG,
                                        lpMapiRecipDesc* recip) {
  ++g_log.resolves;
  g_log.resolve_session = session;
  g_log.resolve_ui = ui;
  copy(g_log.resolve_name, sizeof g_log.resolve_name, name);
  if (!name || std::strncmp(name, "nobody", 6) == 0) return MAPI_E_UNKNOWN_RECIPIENT;
  auto* r = static_cast<MapiRecipDesc*>(buffer(sizeof(MapiRecipDesc) + 160));
  if (!r) return MAPI_E_INSUFFICIENT_MEMORY;
  char* text = reinterpret_cast<char*>(r + 1);
  copy(text, 80, name);
  copy(text + 80, 80, "SMTP:resolved");
  r->ulRecipClass = 0;  // the caller sets the class
  r->lpszName = text;
  r->lpszAddress = text + 80;
  *recip = r;
  return SUCCESS_SUCCESS;
}

extern "C" ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR, lpMapiMessage m, FLAGS flags,
                                     ULONG) {
  ++g_log.sends;
  g_log.send_session = session;
  g_log.send_flags = flags;
  g_log.subject_null = m->lpszSubject == nullptr;
  copy(g_log.subject, sizeof g_log.subject, m->lpszSubject);
  g_log.note_null = m->lpszNoteText == nullptr;
  copy(g_log.note, sizeof g_log.note, m->lpszNoteText);
  g_log.recip_count = m->nRecipCount;
  if (m->nRecipCount && m->lpRecips) {
    g_log.recip_class = m->lpRecips[0].ulRecipClass;
    copy(g_log.recip_name, sizeof g_log.recip_name, m->lpRecips[0].lpszName);
  }
  g_log.file_count = m->nFileCount;
  for (ULONG i = 0; i < m->nFileCount && i < 4; ++i) {
    const MapiFileDesc& f = m->lpFiles[i];
    MapiStubFile& out = g_log.files[i];
    out.flags = f.flFlags;
    out.position = f.nPosition;
    copy(out.path, sizeof out.path, f.lpszPathName);
    out.has_name = f.lpszFileName != nullptr;
    copy(out.name, sizeof out.name, f.lpszFileName);
    out.has_type = f.lpFileType != nullptr;
  }
  return g_log.send_result;
}

extern "C" ULONG WINAPI MAPIFindNext(LHANDLE, ULONG_PTR, LPSTR, LPSTR, FLAGS flags, ULONG,
                                     LPSTR id) {
  ++g_log.find_calls;
  g_log.find_flags = flags;
  if (g_log.unread <= 0) return MAPI_E_NO_MESSAGES;
  copy(id, 512, "stub-message-1");
  return SUCCESS_SUCCESS;
}

extern "C" ULONG WINAPI MAPIReadMail(LHANDLE, ULONG_PTR, LPSTR id, FLAGS flags, ULONG,
                                     lpMapiMessage* message) {
  ++g_log.read_calls;
  g_log.read_flags = flags;
  copy(g_log.read_id, sizeof g_log.read_id, id);
  auto* m = static_cast<MapiMessage*>(buffer(sizeof(MapiMessage) + 64));
  if (!m) return MAPI_E_INSUFFICIENT_MEMORY;
  char* subject = reinterpret_cast<char*>(m + 1);
  copy(subject, 64, "unread message");
  m->lpszSubject = subject;
  --g_log.unread;
  *message = m;
  return SUCCESS_SUCCESS;
}
