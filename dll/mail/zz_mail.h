#pragma once
// zz_mail.dll: sends a message with attachments to one recipient, and reads the
// first unread message, through the machine's Simple MAPI client.
// Plain C calling convention; names are undecorated (zz_mail.def).
#include <windows.h>

#ifdef ZZ_MAIL_BUILD
#define ZZ_MAIL_API extern "C" __declspec(dllexport)
#else
#define ZZ_MAIL_API extern "C" __declspec(dllimport)
#endif

ZZ_MAIL_API int __cdecl Mail_IsSupport();
ZZ_MAIL_API int __cdecl Mail_Init(HWND window);
ZZ_MAIL_API void __cdecl Mail_Quit();
ZZ_MAIL_API int __cdecl Mail_InUse();
// Attachment path i starts at first_path + i * stride.
ZZ_MAIL_API int __cdecl Mail_SendMail(char* subject, char* note, char* recipient, int count,
                                      int stride, char* first_path);
// A MapiMessage to release with Mail_FreeMail, or null.
ZZ_MAIL_API void* __cdecl Mail_ReadMail(int no_attachments);
ZZ_MAIL_API int __cdecl Mail_FreeMail(void* message);
