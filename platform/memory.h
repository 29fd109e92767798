// Heap memory for the whole-file reads of the checks and the merge.
#pragma once

#include "platform/types.h"

// Returns size bytes of zeroed memory, or null when they cannot be had
// (a 32-bit process cannot allocate 2 GiB or more).
void* AllocateZeroed(uint32_t size);
void ReleaseMemory(void* memory);
