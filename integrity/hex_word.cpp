#include "integrity/hex_word.h"

#include "platform/memory.h"
#include "platform/text.h"

#include <cstring>

static int IsRunCharacter(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || c == 'x';
}

static uint32_t DigitValue(char c) {
  return c <= '9' ? (uint32_t)(c - '0') : (uint32_t)(c - 'a' + 10);
}

uint32_t ParseHexWord(const char* text) {
  uint32_t length = (uint32_t)TextLength(text);
  char* copy = (char*)AllocateZeroed(length + 1);
  if (copy == nullptr) return 0;
  memcpy(copy, text, length);
  for (uint32_t i = 0; i < length; ++i) {
    if (copy[i] >= 'A' && copy[i] <= 'Z') copy[i] = (char)(copy[i] - 'A' + 'a');
  }

  uint32_t run = 0;
  while (run < length && IsRunCharacter(copy[run])) ++run;

  uint32_t value = 0;
  uint32_t digits = 0;
  for (uint32_t i = run; i > 0 && copy[i - 1] != 'x'; --i, ++digits) {
    value += DigitValue(copy[i - 1]) << ((4 * digits) % 32);
  }
  ReleaseMemory(copy);
  return value;
}
