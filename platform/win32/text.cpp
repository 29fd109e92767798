#include <windows.h>

#include "platform/text.h"

#include <cstdarg>
#include <cstring>

// wvsprintfA writes at most 1024 bytes; it formats into a private buffer of
// that size and only what fits is copied to the caller's.
enum { WSPRINTF_LIMIT = 1024 };

int FormatText(char* dest, size_t destSize, const char* format, ...) {
  if (destSize == 0) return -1;
  char formatted[WSPRINTF_LIMIT * 2];
  memset(formatted, 0, sizeof formatted);
  va_list args;
  va_start(args, format);
  wvsprintfA(formatted, format, args);
  va_end(args);
  formatted[WSPRINTF_LIMIT - 1] = '\0';
  size_t length = strlen(formatted);
  size_t capacity = destSize - 1;
  if (length >= WSPRINTF_LIMIT - 1 || length > capacity) {
    memcpy(dest, formatted, capacity < length ? capacity : length);
    dest[capacity < length ? capacity : length] = '\0';
    return -1;
  }
  memcpy(dest, formatted, length + 1);
  return (int)length;
}

int TextLength(const char* text) { return lstrlenA(text); }
