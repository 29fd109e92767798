#include "setuplist/merged_list.h"

#include "setuplist/setup_list_merge.h"

#include <cstring>

static int PlainlyContains(const char* text, uint32_t length, const char* entry,
                           uint32_t entryLength) {
  if (entryLength > length) return 0;
  if (entryLength == 0) return 1;
  const char* last = text + (length - entryLength);
  const char* at = text;
  while (at <= last) {
    at = (const char*)memchr(at, entry[0], (size_t)(last - at) + 1);
    if (at == nullptr) return 0;
    if (memcmp(at, entry, entryLength) == 0) return 1;
    ++at;
  }
  return 0;
}

static void Append(char* out, uint64_t outSize, uint64_t* used, const char* bytes,
                   uint32_t count) {
  if (*used < outSize) {
    uint64_t room = outSize - *used;
    memcpy(out + *used, bytes, (size_t)(count < room ? count : room));
  }
  *used += count;
}

uint64_t ComposeMergedList(const char* package, uint32_t packageLength, const char* installed,
                           uint32_t installedLength, const InstalledTextIndex* index, char* out,
                           uint64_t outSize) {
  uint64_t used = 0;
  uint32_t entryEnd = 0;
  uint32_t endMatched = 0;
  int endKnown = 0;
  for (uint32_t at = 0; at < packageLength; at += LineLength(package + at)) {
    // Entries that run on across line breaks share the ';' that ends them, so
    // each stretch up to a ';' is scanned and looked up once, for its longest
    // entry; the later ones are its tails.
    if (!endKnown || at > entryEnd) {
      const void* semicolon = memchr(package + at, ';', packageLength - at);
      entryEnd = semicolon != nullptr ? (uint32_t)((const char*)semicolon - package)
                                      : packageLength;
      endMatched = index != nullptr
                       ? LongestIndexedSuffix(index, package, entryEnd, entryEnd - at)
                       : 0;
      endKnown = 1;
    }
    uint32_t entryLength = entryEnd - at;
    int present = index != nullptr
                      ? entryLength <= endMatched
                      : PlainlyContains(installed, installedLength, package + at, entryLength);
    if (!present) {
      Append(out, outSize, &used, package + at, entryLength);
      Append(out, outSize, &used, ";\n", 2);
    }
  }
  Append(out, outSize, &used, installed, installedLength);
  return used;
}
