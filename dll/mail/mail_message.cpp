// Sending and reading messages: Mail_SendMail, Mail_ReadMail, Mail_FreeMail.
#include <climits>
#include <cstring>

#include "base/alloc.h"
#include "dll/mail/mail_state.h"
#include "dll/mail/zz_mail.h"

namespace {

// The text after the last backslash, or null when the path has none.
char* file_name_of(char* path) {
  char* slash = std::strrchr(path, '\\');
  return slash ? slash + 1 : nullptr;
}

}  // namespace

int Mail_SendMail(char* subject, char* note, char* recipient, int count, int stride,
                  char* first_path) {
  if (!g_mail.mapi || !recipient || count < 0 || (count > 0 && !first_path)) return 0;

  // Each attachment gets its own character position: one blank per file after the note.
  const size_t note_len = note ? std::strlen(note) : 0;
  const size_t files = static_cast<size_t>(count);
  if (note_len > ULONG_MAX - files - 1 || files > SIZE_MAX / sizeof(MapiFileDesc)) return 0;

  int sent = 0;
  lpMapiRecipDesc to = nullptr;
  MapiFileDesc* list = nullptr;
  char* text = static_cast<char*>(mem_alloc(note_len + files + 1));
  if (!text) goto done;
  if (note_len) std::memcpy(text, note, note_len);
  std::memset(text + note_len, ' ', files);
  text[note_len + files] = '\0';

  if (files) {
    list = static_cast<MapiFileDesc*>(mem_calloc(files * sizeof(MapiFileDesc)));
    if (!list) goto done;
    for (size_t i = 0; i < files; ++i) {
      char* path = first_path + static_cast<ptrdiff_t>(i) * stride;
      list[i].nPosition = static_cast<ULONG>(note_len + i);
      list[i].lpszPathName = path;
      list[i].lpszFileName = file_name_of(path);
    }
  }

  if (g_mail.resolve_name(g_mail.session, g_mail.ui, recipient, 0, 0, &to) != SUCCESS_SUCCESS) {
    to = nullptr;  // nothing of ours to free when the client refuses
    goto done;
  }
  if (!to) goto done;
  to->ulRecipClass = MAPI_TO;

  {
    MapiMessage message = {};
    message.lpszSubject = subject;
    message.lpszNoteText = text;
    message.nRecipCount = 1;
    message.lpRecips = to;
    message.nFileCount = static_cast<ULONG>(files);
    message.lpFiles = list;
    // No flags: the client sends without showing a dialog.
    sent = g_mail.send_mail(g_mail.session, g_mail.ui, &message, 0, 0) == SUCCESS_SUCCESS;
  }

done:
  if (to) g_mail.free_buffer(to);
  mem_free(list);
  mem_free(text);
  return sent;
}

void* Mail_ReadMail(int no_attachments) {
  if (!g_mail.mapi) return nullptr;
  char id[512] = {};
  if (g_mail.find_next(g_mail.session, g_mail.ui, nullptr, nullptr,
                       MAPI_UNREAD_ONLY | MAPI_LONG_MSGID, 0, id) != SUCCESS_SUCCESS)
    return nullptr;
  lpMapiMessage message = nullptr;
  if (g_mail.read_mail(g_mail.session, g_mail.ui, id, no_attachments ? MAPI_SUPPRESS_ATTACH : 0, 0,
                       &message) != SUCCESS_SUCCESS)
    return nullptr;
  return message;
}

int Mail_FreeMail(void* message) {
  if (!g_mail.mapi) return 0;
  if (message) g_mail.free_buffer(message);
  return 1;
}
