#include <windows.h>

#include "platform/resources.h"

// The updater runs elevated and the module lies in a folder ordinary users
// may write: it is mapped as data and image resource only, so none of its
// code ever runs, and a module of the other bitness reads as well.
ModuleHandle OpenResourceModule(const char* path) {
  HMODULE module =
      LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  return reinterpret_cast<ModuleHandle>(module);
}

// Whether size bytes at start lie in readable pages of the module's own
// mapping. A damaged module can point its resource entries anywhere, and
// the resource functions follow them unchecked.
static int InsideModule(HMODULE module, const void* start, SIZE_T size) {
  // Modules opened as data carry flags in the low bits of their handle.
  const char* base = reinterpret_cast<const char*>(reinterpret_cast<UINT_PTR>(module) & ~(UINT_PTR)3);
  const char* p = static_cast<const char*>(start);
  const char* end = p + size;
  if (end < p) return 0;
  do {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(p, &info, sizeof info) == 0 || info.State != MEM_COMMIT ||
        info.AllocationBase != base || (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) != 0) {
      return 0;
    }
    p = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
  } while (p < end);
  return 1;
}

int FindNamedData(ModuleHandle module, const char* name, const void** data, uint32_t* size) {
  *data = nullptr;
  *size = 0;
  HMODULE handle = reinterpret_cast<HMODULE>(module);
  HRSRC found = FindResourceA(handle, name, MAKEINTRESOURCEA(10));
  if (found == nullptr) return 0;
  if (!InsideModule(handle, found, sizeof(IMAGE_RESOURCE_DATA_ENTRY))) return 1;
  HGLOBAL loaded = LoadResource(handle, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  DWORD length = SizeofResource(handle, found);
  if (bytes != nullptr && InsideModule(handle, bytes, length)) {
    *data = bytes;
    *size = length;
  }
  return 1;
}

void ReleaseModule(ModuleHandle module) {
  if (module != nullptr) FreeLibrary(reinterpret_cast<HMODULE>(module));
}
