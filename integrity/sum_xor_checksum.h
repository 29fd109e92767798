// The checksum the product's records hold: a byte sum and a word XOR of a
// file, optionally with one 12-byte window left out.
#pragma once

#include <cstdint>

struct SumXorChecksum {
  uint32_t byteSum;  // all counted bytes, modulo 2^32
  uint32_t wordXor;  // little-endian words at every counted multiple of 4
};

enum { EXCLUDED_WINDOW_SIZE = 12 };

// excludedOffset null: every byte counts. A window that reaches past the
// end leaves out only the bytes there are. The last word of a size that is
// not a multiple of 4 counts its missing bytes as zero; nothing beyond
// size is read.
SumXorChecksum ComputeSumXor(const uint8_t* bytes, uint32_t size, const uint32_t* excludedOffset);

// The same walk one byte at a time, exactly as the records define it: the
// yardstick the fast walk is tested and measured against.
SumXorChecksum ComputeSumXorByteAtATime(const uint8_t* bytes, uint32_t size,
                                        const uint32_t* excludedOffset);
