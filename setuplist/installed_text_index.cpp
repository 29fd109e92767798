#include "setuplist/installed_text_index.h"

#include "platform/memory.h"

static void* AllocateArray(uint64_t count, uint64_t itemSize) {
  uint64_t bytes = count * itemSize;
  return bytes <= 0xFFFFFFFFu ? AllocateZeroed((uint32_t)bytes) : nullptr;
}

// The class of the suffix step bytes further on, below every class when that
// suffix is empty: a suffix that is a prefix of another sorts first.
static int64_t LaterClass(const uint32_t* rank, uint32_t suffix, uint32_t step, uint32_t length) {
  uint64_t later = (uint64_t)suffix + step;
  return later < length ? (int64_t)rank[later] : -1;
}

// Prefix doubling: after the round with a given step the suffixes are in
// order by their first 2 * step bytes, each pass a stable counting sort on
// the classes of the previous round. count holds max(256, length) entries,
// zero-filled on entry.
static void SortSuffixes(const unsigned char* text, uint32_t length, uint32_t* suffixes,
                         uint32_t* rank, uint32_t* work, uint32_t* count) {
  for (uint32_t i = 0; i < length; ++i) ++count[text[i]];
  uint32_t total = 0;
  for (uint32_t byte = 0; byte < 256; ++byte) {
    uint32_t here = count[byte];
    count[byte] = total;
    total += here;
  }
  for (uint32_t i = 0; i < length; ++i) suffixes[count[text[i]]++] = i;
  uint32_t classes = 0;
  for (uint32_t i = 0; i < length; ++i) {
    if (i == 0 || text[suffixes[i]] != text[suffixes[i - 1]]) ++classes;
    rank[suffixes[i]] = classes - 1;
  }
  for (uint64_t step = 1; step < length && classes < length; step *= 2) {
    uint32_t shift = (uint32_t)step;
    // Ordered by the second half first: suffixes with an empty second half,
    // then the others in the order of the suffix their second half starts.
    uint32_t placed = 0;
    for (uint32_t i = length - shift; i < length; ++i) work[placed++] = i;
    for (uint32_t i = 0; i < length; ++i) {
      if (suffixes[i] >= shift) work[placed++] = suffixes[i] - shift;
    }
    for (uint32_t c = 0; c < classes; ++c) count[c] = 0;
    for (uint32_t i = 0; i < length; ++i) ++count[rank[i]];
    total = 0;
    for (uint32_t c = 0; c < classes; ++c) {
      total += count[c];
      count[c] = total;
    }
    for (uint32_t i = length; i-- > 0;) suffixes[--count[rank[work[i]]]] = work[i];

    work[suffixes[0]] = 0;
    classes = 1;
    for (uint32_t i = 1; i < length; ++i) {
      uint32_t before = suffixes[i - 1];
      uint32_t here = suffixes[i];
      if (rank[before] != rank[here] ||
          LaterClass(rank, before, shift, length) != LaterClass(rank, here, shift, length)) {
        ++classes;
      }
      work[here] = classes - 1;
    }
    uint32_t* swap = rank;
    rank = work;
    work = swap;
  }
}

int BuildInstalledTextIndex(const char* text, uint32_t length, InstalledTextIndex* index) {
  uint32_t countSize = length > 256 ? length : 256;
  index->length = length;
  index->reversed = (unsigned char*)AllocateArray(length, 1);
  index->suffixes = index->reversed != nullptr ? (uint32_t*)AllocateArray(length, 4) : nullptr;
  uint32_t* scratch = index->suffixes != nullptr
                          ? (uint32_t*)AllocateArray(2 * (uint64_t)length + countSize, 4)
                          : nullptr;
  int built = scratch != nullptr;
  if (built) {
    for (uint32_t i = 0; i < length; ++i) index->reversed[i] = (unsigned char)text[length - 1 - i];
    SortSuffixes(index->reversed, length, index->suffixes, scratch, scratch + length,
                 scratch + 2 * (uint64_t)length);
  } else {
    ReleaseInstalledTextIndex(index);
  }
  ReleaseMemory(scratch);
  return built;
}

void ReleaseInstalledTextIndex(InstalledTextIndex* index) {
  ReleaseMemory(index->reversed);
  ReleaseMemory(index->suffixes);
  index->reversed = nullptr;
  index->suffixes = nullptr;
  index->length = 0;
}

static int ByteAt(const InstalledTextIndex* index, uint32_t suffix, uint32_t offset) {
  uint64_t at = (uint64_t)suffix + offset;
  return at < index->length ? index->reversed[at] : -1;
}

// The first suffix in [low, high) whose byte at offset is not below wanted;
// within the range all suffixes agree on the bytes before offset.
static uint32_t FirstNotBelow(const InstalledTextIndex* index, uint32_t low, uint32_t high,
                              uint32_t offset, int wanted) {
  while (low < high) {
    uint32_t middle = low + (high - low) / 2;
    if (ByteAt(index, index->suffixes[middle], offset) < wanted) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

uint32_t LongestIndexedSuffix(const InstalledTextIndex* index, const char* text, uint32_t end,
                              uint32_t limit) {
  uint32_t low = 0;
  uint32_t high = index->length;
  uint32_t matched = 0;
  while (matched < limit) {
    int wanted = (unsigned char)text[end - 1 - matched];
    uint32_t first = FirstNotBelow(index, low, high, matched, wanted);
    uint32_t past = FirstNotBelow(index, first, high, matched, wanted + 1);
    if (first == past) break;
    low = first;
    high = past;
    ++matched;
  }
  return matched;
}
