// Any text as a checksum figure: the fast and the literal reading agree.
#include "integrity/hex_word.h"

#include <cstdlib>
#include <cstring>

// The reading spelt out: the leading run of hex digits and 'x', taken back
// to its first 'x', each digit shifted by 4 bits per digit after it.
static uint32_t Literal(const char* text) {
  size_t run = 0;
  while (text[run] != '\0' && strchr("0123456789abcdefABCDEFxX", text[run]) != nullptr) ++run;
  uint32_t value = 0;
  unsigned digits = 0;
  while (run > 0 && (text[run - 1] | 0x20) != 'x') {
    char c = (char)(text[run - 1] | 0x20);
    uint32_t digit = c <= '9' ? (uint32_t)(c - '0') : (uint32_t)(c - 'a' + 10);
    value += digit << ((4 * digits) % 32);
    ++digits;
    --run;
  }
  return value;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char* text = (char*)malloc(size + 1);
  if (text == nullptr) return 0;
  memcpy(text, data, size);
  text[size] = '\0';
  if (ParseHexWord(text) != Literal(text)) abort();
  free(text);
  return 0;
}
