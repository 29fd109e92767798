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

int FindNamedData(ModuleHandle module, const char* name, const void** data, uint32_t* size) {
  *data = nullptr;
  *size = 0;
  HMODULE handle = reinterpret_cast<HMODULE>(module);
  HRSRC found = FindResourceA(handle, name, MAKEINTRESOURCEA(10));
  if (found == nullptr) return 0;
  HGLOBAL loaded = LoadResource(handle, found);
  if (loaded != nullptr) *data = LockResource(loaded);
  *size = SizeofResource(handle, found);
  return 1;
}

void ReleaseModule(ModuleHandle module) {
  if (module != nullptr) FreeLibrary(reinterpret_cast<HMODULE>(module));
}
