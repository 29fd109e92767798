// An index of the installed setup list's text that answers, for any package
// entry, whether the text contains it, in time that grows with the entry's
// length and only with the logarithm of the text's. The merge asks this once
// per entry; a plain search of the whole text per entry does not scale.
#pragma once

#include <cstdint>

// The text back to front with its suffixes in byte order: a pattern read
// backwards from any end position narrows to the suffixes it starts, so the
// longest piece ending there that occurs in the text is found in one walk.
struct InstalledTextIndex {
  unsigned char* reversed;
  uint32_t* suffixes;
  uint32_t length;
};

// Indexes length bytes of text (no zero byte among them). Nonzero on
// success; 0 when the memory cannot be had (nothing is then held).
int BuildInstalledTextIndex(const char* text, uint32_t length, InstalledTextIndex* index);
void ReleaseInstalledTextIndex(InstalledTextIndex* index);

// The length of the longest run of bytes ending just before text + end that
// occurs, byte for byte, somewhere in the indexed text; at most limit
// (limit <= end). text[end - n .. end) occurs exactly when n <= the result.
uint32_t LongestIndexedSuffix(const InstalledTextIndex* index, const char* text, uint32_t end,
                              uint32_t limit);
