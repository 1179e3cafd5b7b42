#pragma once
// A stand-in Simple MAPI client for tests: installed as the system's MAPI32.DLL,
// it records what it is given and hands out buffers it can account for.
#include <windows.h>
#include <mapi.h>

struct MapiStubFile {
  ULONG flags;
  ULONG position;
  char path[260];
  char name[260];
  bool has_name;
  bool has_type;
};

struct MapiStubLog {
  // Set by the test.
  ULONG logon_result;
  ULONG send_result;
  int unread;           // messages MAPIFindNext can find
  // Recorded.
  int logons;
  int logoffs;
  LHANDLE logoff_session;
  ULONG_PTR logon_ui;
  ULONG logon_flags;
  bool logon_profile;   // a profile name or password was passed
  int resolves;
  LHANDLE resolve_session;
  ULONG_PTR resolve_ui;
  char resolve_name[128];
  int sends;
  LHANDLE send_session;
  ULONG send_flags;
  char subject[128];
  bool subject_null;
  char note[256];
  bool note_null;
  ULONG recip_count;
  ULONG recip_class;
  char recip_name[128];
  ULONG file_count;
  MapiStubFile files[4];
  int find_calls;
  ULONG find_flags;
  int read_calls;
  ULONG read_flags;
  char read_id[512];
  int buffers_out;      // MAPI buffers handed out and not yet freed
  int bad_frees;        // MAPIFreeBuffer on something never handed out
};

// Exported undecorated by the stand-in; the same log for every caller in the process.
typedef MapiStubLog*(__cdecl* MapiStubStateFn)();

constexpr LHANDLE kMapiStubSession = 0x5E55;
