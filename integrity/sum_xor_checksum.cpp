#include "integrity/sum_xor_checksum.h"

#include <cstring>

#if defined(__BYTE_ORDER__)
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the fast walk loads the little-endian words directly");
#endif

// The word at offset, its bytes at or past size counted as zero.
static uint32_t WordAt(const uint8_t* bytes, uint32_t size, uint32_t offset) {
  uint32_t word = 0;
  for (uint32_t i = 0; i < 4 && offset + i < size; ++i) {
    word |= (uint32_t)bytes[offset + i] << (8 * i);
  }
  return word;
}

SumXorChecksum ComputeSumXorByteAtATime(const uint8_t* bytes, uint32_t size,
                                        const uint32_t* excludedOffset) {
  SumXorChecksum result = {0, 0};
  uint64_t offset = 0;
  while (offset < size) {
    if (excludedOffset != nullptr && offset == *excludedOffset) {
      offset += EXCLUDED_WINDOW_SIZE;
      continue;
    }
    if (offset % 4 == 0) result.wordXor ^= WordAt(bytes, size, (uint32_t)offset);
    result.byteSum += bytes[offset];
    ++offset;
  }
  return result;
}

static const uint64_t LOW_BYTES = 0x00FF00FF00FF00FFull;
static const uint64_t LOW_HALVES = 0x0000FFFF0000FFFFull;

// Eight bytes summed into four 16-bit lanes.
static uint64_t PairSums(uint64_t v) { return (v & LOW_BYTES) + ((v >> 8) & LOW_BYTES); }

static uint32_t FoldLanes(uint64_t lanes) {
  uint64_t halves = (lanes & LOW_HALVES) + ((lanes >> 16) & LOW_HALVES);
  return (uint32_t)halves + (uint32_t)(halves >> 32);
}

// Blocks of 32 bytes add at most 4 * 510 to a lane: 32 blocks stay below
// 2^16.
static const uint32_t BLOCK_BYTES = 32;
static const uint32_t BLOCKS_PER_FOLD = 32;

SumXorChecksum ComputeSumXor(const uint8_t* bytes, uint32_t size, const uint32_t* excludedOffset) {
  // The whole range first, eight bytes at a time: a 64-bit load at a
  // multiple of 8 holds the words at that offset and the next one.
  uint64_t wide = 0;
  uint32_t sum = 0;
  uint32_t offset = 0;
  uint32_t blocks = size / BLOCK_BYTES;
  while (blocks > 0) {
    uint32_t run = blocks < BLOCKS_PER_FOLD ? blocks : BLOCKS_PER_FOLD;
    uint64_t lanes = 0;
    for (uint32_t b = 0; b < run; ++b, offset += BLOCK_BYTES) {
      uint64_t v[4];
      memcpy(v, bytes + offset, sizeof v);
      wide ^= v[0] ^ v[1] ^ v[2] ^ v[3];
      lanes += PairSums(v[0]) + PairSums(v[1]) + PairSums(v[2]) + PairSums(v[3]);
    }
    sum += FoldLanes(lanes);
    blocks -= run;
  }
  uint32_t wordXor = (uint32_t)wide ^ (uint32_t)(wide >> 32);
  for (; offset < size; ++offset) {
    if (offset % 4 == 0) wordXor ^= WordAt(bytes, size, offset);
    sum += bytes[offset];
  }

  // Then take the window back out: its bytes leave the sum and the words
  // that start inside it leave the XOR (XOR undoes itself).
  if (excludedOffset != nullptr && *excludedOffset < size) {
    uint32_t start = *excludedOffset;
    uint32_t end = size - start < EXCLUDED_WINDOW_SIZE ? size : start + EXCLUDED_WINDOW_SIZE;
    for (uint32_t i = start; i < end; ++i) {
      if (i % 4 == 0) wordXor ^= WordAt(bytes, size, i);
      sum -= bytes[i];
    }
  }
  SumXorChecksum result = {sum, wordXor};
  return result;
}
