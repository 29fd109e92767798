// Hexadecimal words as the product's checksum texts spell them.
#pragma once

#include <cstdint>

// The value of the leading run of hex digits and 'x' (any case), read from
// its end back to the first 'x'; every digit adds its value shifted by
// 4 bits per digit already read, modulo 32 bits. 0 for an empty run or when
// the working copy cannot be allocated.
uint32_t ParseHexWord(const char* text);
