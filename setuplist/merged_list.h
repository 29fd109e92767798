// Composing the merged setup list from the texts of the package's list and
// the installed one.
#pragma once

#include "setuplist/installed_text_index.h"

#include <cstdint>

// Walks the package text entry by entry and appends each entry that the
// installed text does not contain, followed by ";\n", then the installed text
// whole. Both texts hold no zero byte within their lengths, and the package
// text is zero-terminated at packageLength. index is the installed text's
// index, or null to search the installed text afresh for every entry (the
// plain way, which the index must agree with). Stores the first outSize
// bytes of the result in out and returns its full length, which exceeds the
// two lengths together when entries run on across line breaks.
uint64_t ComposeMergedList(const char* package, uint32_t packageLength, const char* installed,
                           uint32_t installedLength, const InstalledTextIndex* index, char* out,
                           uint64_t outSize);
