// wsprintfA's formatting, written out for the host: the same conversions,
// flags and limits, but never past the destination.
#include "platform/text.h"

#include <cstdarg>
#include <cstring>

// wsprintfA never produces more than this many bytes, its zero included.
enum { WSPRINTF_LIMIT = 1024 };

struct Output {
  char* dest;
  size_t capacity;  // bytes that may hold text, the zero excluded
  size_t length;
  int overflow;
};

static void Put(Output* out, char c) {
  if (out->length < out->capacity) {
    out->dest[out->length++] = c;
  } else {
    out->overflow = 1;
  }
}

static void PutField(Output* out, const char* text, size_t length, int width, int leftAlign,
                     char pad) {
  size_t fill = width > 0 && (size_t)width > length ? (size_t)width - length : 0;
  if (!leftAlign) {
    // Zero padding goes after a sign, as wsprintfA places it.
    if (pad == '0' && length > 0 && text[0] == '-') {
      Put(out, '-');
      ++text;
      --length;
    }
    for (size_t i = 0; i < fill; ++i) Put(out, pad);
  }
  for (size_t i = 0; i < length; ++i) Put(out, text[i]);
  if (leftAlign) {
    for (size_t i = 0; i < fill; ++i) Put(out, ' ');
  }
}

static size_t Digits(char* buffer, uint32_t value, unsigned base, int upper) {
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  char reversed[16];
  size_t count = 0;
  do {
    reversed[count++] = digits[value % base];
    value /= base;
  } while (value != 0);
  for (size_t i = 0; i < count; ++i) buffer[i] = reversed[count - 1 - i];
  return count;
}

static int FormatArguments(char* dest, size_t destSize, const char* format, va_list args) {
  if (destSize == 0) return -1;
  Output out = {dest, destSize - 1, 0, 0};
  if (out.capacity > WSPRINTF_LIMIT - 1) out.capacity = WSPRINTF_LIMIT - 1;

  for (const char* p = format; *p != '\0' && !out.overflow; ++p) {
    if (*p != '%') {
      Put(&out, *p);
      continue;
    }
    ++p;
    int leftAlign = 0;
    int alternate = 0;
    char pad = ' ';
    for (;; ++p) {
      if (*p == '-') {
        leftAlign = 1;
      } else if (*p == '#') {
        alternate = 1;
      } else if (*p == '0') {
        pad = '0';
      } else {
        break;
      }
    }
    int width = 0;
    while (*p >= '0' && *p <= '9') width = width * 10 + (*p++ - '0');
    int precision = -1;
    if (*p == '.') {
      precision = 0;
      ++p;
      while (*p >= '0' && *p <= '9') precision = precision * 10 + (*p++ - '0');
    }
    if (*p == 'l' || *p == 'h') ++p;
    if (leftAlign) pad = ' ';

    char number[16];
    switch (*p) {
      case '\0':
        --p;
        break;
      case 's': {
        const char* text = va_arg(args, const char*);
        if (text == nullptr) text = "(null)";
        size_t length = strlen(text);
        if (precision >= 0 && (size_t)precision < length) length = (size_t)precision;
        PutField(&out, text, length, width, leftAlign, ' ');
        break;
      }
      case 'c': {
        char c = (char)va_arg(args, int);
        PutField(&out, &c, 1, width, leftAlign, ' ');
        break;
      }
      case 'd':
      case 'i': {
        int value = va_arg(args, int);
        size_t length = 0;
        uint32_t magnitude = (uint32_t)value;
        if (value < 0) {
          number[length++] = '-';
          magnitude = 0u - magnitude;
        }
        length += Digits(number + length, magnitude, 10, 0);
        PutField(&out, number, length, width, leftAlign, pad);
        break;
      }
      case 'u': {
        size_t length = Digits(number, va_arg(args, uint32_t), 10, 0);
        PutField(&out, number, length, width, leftAlign, pad);
        break;
      }
      case 'x':
      case 'X': {
        uint32_t value = va_arg(args, uint32_t);
        size_t length = 0;
        if (alternate && value != 0) {
          number[length++] = '0';
          number[length++] = *p;
        }
        length += Digits(number + length, value, 16, *p == 'X');
        PutField(&out, number, length, width, leftAlign, pad);
        break;
      }
      default:
        // wsprintfA copies an unknown conversion character as it stands.
        Put(&out, *p);
        break;
    }
  }
  dest[out.length] = '\0';
  return out.overflow ? -1 : (int)out.length;
}

int FormatText(char* dest, size_t destSize, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int result = FormatArguments(dest, destSize, format, args);
  va_end(args);
  return result;
}

int TextLength(const char* text) { return text == nullptr ? 0 : (int)strlen(text); }
