#include "platform/host/transcript.h"

#include "platform/host/host_paths.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

void WriteTranscriptEvent(const char* event, const char* fields) {
  const char* path = getenv("UPDATER_TRANSCRIPT");
  if (path == nullptr || path[0] == '\0') return;
  int descriptor = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (descriptor < 0) return;
  char line[8192];
  int length = snprintf(line, sizeof line, "{\"event\":\"%s\"%s%s}\n", event,
                        fields[0] ? "," : "", fields);
  if (length > 0 && (size_t)length < sizeof line) {
    ssize_t written = write(descriptor, line, (size_t)length);
    (void)written;
  }
  close(descriptor);
}

void JsonStringFromCp932(const char* text, char* out, size_t outSize) {
  char utf8[4096];
  if (!Cp932ToUtf8(text, utf8, sizeof utf8)) {
    // Bytes that are not code page 932 are shown one by one, escaped.
    utf8[0] = '\0';
    size_t used = 0;
    for (const unsigned char* p = (const unsigned char*)text; *p && used + 7 < sizeof utf8; ++p) {
      used += (size_t)snprintf(utf8 + used, sizeof utf8 - used, *p < 0x80 ? "%c" : "\\x%02X", *p);
    }
  }
  size_t used = 0;
  if (outSize < 3) {
    if (outSize > 0) out[0] = '\0';
    return;
  }
  out[used++] = '"';
  for (const unsigned char* p = (const unsigned char*)utf8; *p; ++p) {
    char escaped[8];
    if (*p == '"' || *p == '\\') {
      snprintf(escaped, sizeof escaped, "\\%c", *p);
    } else if (*p == '\n') {
      strcpy(escaped, "\\n");
    } else if (*p == '\r') {
      strcpy(escaped, "\\r");
    } else if (*p < 0x20) {
      snprintf(escaped, sizeof escaped, "\\u%04x", *p);
    } else {
      escaped[0] = (char)*p;
      escaped[1] = '\0';
    }
    size_t length = strlen(escaped);
    if (used + length + 2 > outSize) break;
    memcpy(out + used, escaped, length);
    used += length;
  }
  out[used++] = '"';
  out[used] = '\0';
}
