#include "integrity/hex_word.h"
#include "integrity/sum_xor_checksum.h"
#include "platform/host/testing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

// Bytes 1, 2, 3, ...: sums and words can be worked out by hand.
std::vector<uint8_t> Counting(uint32_t size) {
  std::vector<uint8_t> bytes(size);
  for (uint32_t i = 0; i < size; ++i) bytes[i] = (uint8_t)(i + 1);
  return bytes;
}

struct Walk {
  const char* what;
  uint32_t size;
  long long excluded;  // -1: none
  uint32_t byteSum;
  uint32_t wordXor;
};

// Both walks, the fast one and the literal one, give the figures.
TEST(ComputeSumXor, CountsWhatTheRecordsDefine) {
  const Walk walks[] = {
      {"empty file", 0, -1, 0, 0},
      {"empty file, window at 0", 0, 0, 0, 0},
      {"last word short: missing bytes are zero", 5, -1, 15, 0x04030201 ^ 0x05},
      {"window at 0 leaves out bytes 0 to 11", 16, 0, 13 + 14 + 15 + 16, 0x100F0E0D},
      {"window at 8 of 16", 16, 8, 36, 0x04030201 ^ 0x08070605},
      {"window at 6 of 24: word 4 takes bytes 6 and 7, words from 20 on", 24, 6,
       21 + 19 + 20 + 21 + 22 + 23 + 24, 0x04030201 ^ 0x08070605 ^ 0x18171615},
      {"window at 1: bytes 13 to 15 summed, in no word", 16, 1, 1 + 14 + 15 + 16, 0x04030201},
      {"window reaching past the end", 20, 17, 153,
       0x04030201 ^ 0x08070605 ^ 0x0C0B0A09 ^ 0x100F0E0D ^ 0x14131211},
      {"window reaching past a short end", 19, 12, 78,
       0x04030201 ^ 0x08070605 ^ 0x0C0B0A09},
  };
  for (const Walk& w : walks) {
    SCOPED_TRACE(w.what);
    std::vector<uint8_t> bytes = Counting(w.size);
    uint32_t excluded = (uint32_t)w.excluded;
    const uint32_t* window = w.excluded >= 0 ? &excluded : nullptr;
    SumXorChecksum fast = ComputeSumXor(bytes.data(), w.size, window);
    SumXorChecksum literal = ComputeSumXorByteAtATime(bytes.data(), w.size, window);
    EXPECT_EQ(fast.byteSum, w.byteSum);
    EXPECT_EQ(fast.wordXor, w.wordXor);
    EXPECT_EQ(literal.byteSum, w.byteSum);
    EXPECT_EQ(literal.wordXor, w.wordXor);
  }
}

TEST(ComputeSumXor, WindowAtOrPastTheEndExcludesNothing) {
  std::vector<uint8_t> bytes = Counting(16);
  SumXorChecksum whole = ComputeSumXor(bytes.data(), 16, nullptr);
  EXPECT_EQ(whole.byteSum, 136u);
  EXPECT_EQ(whole.wordXor, 0x04030201u ^ 0x08070605u ^ 0x0C0B0A09u ^ 0x100F0E0Du);
  for (uint32_t excluded : {16u, 17u, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(excluded);
    for (auto walk : {ComputeSumXor, ComputeSumXorByteAtATime}) {
      SumXorChecksum found = walk(bytes.data(), 16, &excluded);
      EXPECT_EQ(found.byteSum, whole.byteSum);
      EXPECT_EQ(found.wordXor, whole.wordXor);
    }
  }
}

// The fast walk against the literal one at every window position, every
// size around its block boundaries and an unaligned start.
TEST(ComputeSumXor, FastWalkAgreesWithTheLiteralWalk) {
  std::vector<uint8_t> storage(3000);
  srand(7);
  for (uint8_t& b : storage) b = (uint8_t)rand();
  const uint8_t* unaligned = storage.data() + 1;
  std::vector<uint32_t> sizes;
  for (uint32_t s = 0; s <= 70; ++s) sizes.push_back(s);
  for (uint32_t s : {1023u, 1024u, 1025u, 1055u, 2047u, 2048u, 2053u, 2999u}) sizes.push_back(s);
  for (uint32_t size : sizes) {
    const uint8_t* bytes = size < 2999 ? unaligned : storage.data();
    SumXorChecksum fast = ComputeSumXor(bytes, size, nullptr);
    SumXorChecksum literal = ComputeSumXorByteAtATime(bytes, size, nullptr);
    ASSERT_EQ(fast.byteSum, literal.byteSum) << size;
    ASSERT_EQ(fast.wordXor, literal.wordXor) << size;
    for (uint32_t excluded = 0; excluded <= size + 1; ++excluded) {
      fast = ComputeSumXor(bytes, size, &excluded);
      literal = ComputeSumXorByteAtATime(bytes, size, &excluded);
      ASSERT_EQ(fast.byteSum, literal.byteSum) << size << " " << excluded;
      ASSERT_EQ(fast.wordXor, literal.wordXor) << size << " " << excluded;
    }
  }
}

TEST(ComputeSumXor, ByteSumWrapsModulo32Bits) {
  // 20 MiB of 0xFF: 255 * 20971520 = 5347737600, which wraps.
  std::vector<uint8_t> bytes(20u << 20, 0xFF);
  SumXorChecksum found = ComputeSumXor(bytes.data(), (uint32_t)bytes.size(), nullptr);
  EXPECT_EQ(found.byteSum, (uint32_t)(5347737600ull & 0xFFFFFFFFu));
  EXPECT_EQ(found.wordXor, 0u);  // an even number of equal words
}

TEST(ParseHexWord, ReadsTheLeadingRunBackToItsFirstX) {
  struct Case {
    const char* text;
    uint32_t value;
  };
  const Case cases[] = {
      {"1F", 0x1F},
      {"0x1F", 0x1F},
      {"0X1f", 0x1F},
      {"12x34", 0x34},
      {"G1", 0},
      {"", 0},
      {"123456789", 0x2345678A},  // the ninth digit lands on bit 0 again
      {"fffffffff", 0xE},
      {" 1F", 0},
      {"-1", 0},
      {"+1", 0},
      {"1Fx", 0},
      {"x", 0},
      {"000004D2", 1234},
      {"FFFFFFFF", 0xFFFFFFFF},
      {"FFFFFFFF\r\n", 0xFFFFFFFF},
      {"abcdefAB;", 0xABCDEFAB},
      {"00000000000000000000000A", 0xA},
      {"\x82\xA0" "1", 0},  // a double-byte character is no digit
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseHexWord(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(ParseHexWord, NoMemoryForTheCopyGivesZero) {
  ResetHostState();
  InjectFault(FAULT_ALLOCATE, nullptr, 0, 1, FAULT_FAIL);
  EXPECT_EQ(ParseHexWord("1F"), 0u);
  EXPECT_EQ(ParseHexWord("1F"), 0x1Fu);
  ResetHostState();
}

}  // namespace
