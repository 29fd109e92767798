#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "platform/folders.h"

static_assert(FOLDER_APPDATA == CSIDL_APPDATA, "folder id");
static_assert(FOLDER_COMMON_APPDATA == CSIDL_COMMON_APPDATA, "folder id");

int GetSpecialFolder(int folderId, char* out) {
  out[0] = '\0';
  // A failed query may still have filled out; callers must not see that text.
  if (!SHGetSpecialFolderPathA(nullptr, out, folderId, FALSE)) {
    out[0] = '\0';
    return 0;
  }
  return 1;
}

uint32_t GetModulePath(InstanceHandle module, char* out, uint32_t size) {
  if (size == 0) return 0;
  DWORD length = GetModuleFileNameA(reinterpret_cast<HMODULE>(module), out, size);
  // A path cut to fit is no path at all.
  if (length == 0 || length >= size) {
    out[0] = '\0';
    return 0;
  }
  return length;
}

void RemoveLastPathElement(char* path) { PathRemoveFileSpecA(path); }
