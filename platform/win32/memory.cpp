#include <windows.h>

#include "platform/memory.h"

void* AllocateZeroed(uint32_t size) {
  return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size == 0 ? 1 : size);
}

void ReleaseMemory(void* memory) {
  if (memory != nullptr) HeapFree(GetProcessHeap(), 0, memory);
}
