// Text services: formatting as the platform's wsprintfA does, but bounded.
#pragma once

#include "platform/types.h"

// Formats like wsprintfA with the conversions %s, %d, %3d, %08X and %%
// (flags '-', '0', a width and 'l' are accepted as wsprintfA accepts them).
// Never writes more than destSize bytes and always terminates the text when
// destSize > 0. Returns the length of the formatted text, or -1 when it did
// not fit (the destination then holds as much as fits) or destSize is 0.
int FormatText(char* dest, size_t destSize, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// lstrlenA: the length in bytes of a zero-terminated text.
int TextLength(const char* text);

