#include "platform/folders.h"

#include "platform/files.h"
#include "platform/host/host_paths.h"
#include "platform/host/testing.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

// The per-user folder is env APPDATA, the all-users one env PROGRAMDATA;
// each may be given as a host path or an absolute Windows path. As on
// Windows, a folder that does not exist is not handed out (nor created).
int GetSpecialFolder(int folderId, char* out) {
  out[0] = '\0';
  if (CheckFault(FAULT_SPECIAL_FOLDER, nullptr) >= 0) return 0;
  const char* name = folderId == FOLDER_APPDATA          ? "APPDATA"
                     : folderId == FOLDER_COMMON_APPDATA ? "PROGRAMDATA"
                                                         : nullptr;
  const char* value = name != nullptr ? getenv(name) : nullptr;
  if (value == nullptr || value[0] == '\0') return 0;
  int found = 0;
  if (value[0] == '/') {
    found = WindowsPathFromHost(value, out, PATH_TEXT_SIZE);
  } else if (value[1] == ':' && value[2] == '\\' && strlen(value) < PATH_TEXT_SIZE) {
    strcpy(out, value);
    found = 1;
  }
  int isFolder = 0;
  if (!found || !FindDirectoryEntry(out, &isFolder) || !isFolder) {
    out[0] = '\0';
    return 0;
  }
  return 1;
}

uint32_t GetModulePath(InstanceHandle, char* out, uint32_t size) {
  if (size == 0) return 0;
  out[0] = '\0';
  char hostPath[4096];
  ssize_t length = readlink("/proc/self/exe", hostPath, sizeof hostPath - 1);
  if (length <= 0) return 0;
  hostPath[length] = '\0';
  if (!WindowsPathFromHost(hostPath, out, size)) {
    out[0] = '\0';
    return 0;
  }
  return (uint32_t)strlen(out);
}

// The same walk as the Windows function: a leading "\" or "\\" is kept, a
// drive's ':' keeps the separator after it, and the trail byte of a
// double-byte character is skipped over.
void RemoveLastPathElement(char* path) {
  if (path == nullptr) return;
  char* cursor = path;
  char* cut = path;
  if (*cursor == '\\') cut = ++cursor;
  if (*cursor == '\\') cut = ++cursor;
  while (*cursor != '\0') {
    if (*cursor == '\\') {
      cut = cursor;
    } else if (*cursor == ':') {
      cut = ++cursor;
      if (*cursor == '\\') ++cut;
      if (*cursor == '\0') break;
    }
    if (IsCp932LeadByte((unsigned char)*cursor) && cursor[1] != '\0') {
      cursor += 2;
    } else {
      ++cursor;
    }
  }
  if (*cut != '\0') *cut = '\0';
}
