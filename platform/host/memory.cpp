#include "platform/memory.h"

#include "platform/host/testing.h"

#include <cstdlib>

// What a 32-bit Windows process can never obtain in one block.
static const uint32_t LARGEST_BLOCK = 0x7FFFFFFFu;

void* AllocateZeroed(uint32_t size) {
  if (CheckFault(FAULT_ALLOCATE, nullptr) >= 0) return nullptr;
  if (size > LARGEST_BLOCK) return nullptr;
  return calloc(size == 0 ? 1 : size, 1);
}

void ReleaseMemory(void* memory) { free(memory); }
