#include "platform/files.h"

#include "platform/host/host_paths.h"
#include "platform/host/testing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

struct PlatformFile {
  int descriptor;
  char windowsPath[PATH_TEXT_SIZE * 2];
};

static FileHandle OpenHost(FaultOperation op, const char* path, int flags) {
  if (CheckFault(op, path) >= 0) return nullptr;
  char hostPath[4096];
  if (!HostPathFromWindows(path, hostPath, sizeof hostPath)) return nullptr;
  struct stat info;
  // CreateFileA refuses folders unless asked for backup semantics.
  if (stat(hostPath, &info) == 0 && S_ISDIR(info.st_mode)) return nullptr;
  int descriptor = open(hostPath, flags | O_CLOEXEC, 0644);
  if (descriptor < 0) return nullptr;
  FileHandle file = (FileHandle)calloc(1, sizeof(PlatformFile));
  if (file == nullptr) {
    close(descriptor);
    return nullptr;
  }
  file->descriptor = descriptor;
  strncat(file->windowsPath, path, sizeof file->windowsPath - 1);
  return file;
}

FileHandle OpenFileForRead(const char* path) { return OpenHost(FAULT_OPEN_READ, path, O_RDONLY); }

FileHandle OpenFileForReplace(const char* path) {
  return OpenHost(FAULT_OPEN_REPLACE, path, O_WRONLY | O_CREAT | O_TRUNC);
}

FileHandle OpenFileForRewrite(const char* path) {
  return OpenHost(FAULT_OPEN_REWRITE, path, O_WRONLY);
}

uint32_t GetFileSizeLow(FileHandle file) {
  if (file == nullptr || CheckFault(FAULT_FILE_SIZE, file->windowsPath) >= 0) {
    return INVALID_FILE_SIZE_VALUE;
  }
  struct stat info;
  if (fstat(file->descriptor, &info) != 0) return INVALID_FILE_SIZE_VALUE;
  return (uint32_t)((uint64_t)info.st_size & 0xFFFFFFFFu);
}

// Moves up to size bytes; a short count only at the end of the file.
static int Transfer(FileHandle file, FaultOperation op, void* buffer, uint32_t size,
                    uint32_t* moved) {
  *moved = 0;
  if (file == nullptr) return 0;
  int fault = CheckFault(op, file->windowsPath);
  if (fault == FAULT_FAIL) return 0;
  if (fault == FAULT_SHORT) size /= 2;
  uint32_t done = 0;
  while (done < size) {
    ssize_t count = op == FAULT_READ
                        ? read(file->descriptor, (char*)buffer + done, size - done)
                        : write(file->descriptor, (const char*)buffer + done, size - done);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return 0;
    if (count == 0) break;
    done += (uint32_t)count;
  }
  *moved = done;
  return 1;
}

int ReadFromFile(FileHandle file, void* buffer, uint32_t size, uint32_t* moved) {
  return Transfer(file, FAULT_READ, buffer, size, moved);
}

int WriteToFile(FileHandle file, const void* buffer, uint32_t size, uint32_t* moved) {
  return Transfer(file, FAULT_WRITE, const_cast<void*>(buffer), size, moved);
}

void CloseFile(FileHandle file) {
  if (file == nullptr) return;
  close(file->descriptor);
  free(file);
}

int PathExists(const char* path) {
  char hostPath[4096];
  if (!HostPathFromWindows(path, hostPath, sizeof hostPath)) return 0;
  return access(hostPath, F_OK) == 0;
}

int FindDirectoryEntry(const char* path, int* isFolder) {
  *isFolder = 0;
  char hostPath[4096];
  if (!HostPathFromWindows(path, hostPath, sizeof hostPath)) return 0;
  struct stat info;
  if (stat(hostPath, &info) != 0) return 0;
  *isFolder = S_ISDIR(info.st_mode) ? 1 : 0;
  return 1;
}

extern int DriveOverrideActive;
extern uint64_t DriveOverrideTotal;
extern uint64_t DriveOverrideFree;

int GetDriveSpace(const char* drive, uint64_t* totalBytes, uint64_t* freeBytes) {
  *totalBytes = 0;
  *freeBytes = 0;
  if (CheckFault(FAULT_DRIVE_SPACE, drive) >= 0) return 0;
  if (DriveOverrideActive) {
    *totalBytes = DriveOverrideTotal;
    *freeBytes = DriveOverrideFree;
    return 1;
  }
  char root[8];
  size_t length = strlen(drive);
  if (length + 2 > sizeof root) return 0;
  memcpy(root, drive, length);
  memcpy(root + length, "\\", 2);
  char hostPath[4096];
  if (!HostPathFromWindows(root, hostPath, sizeof hostPath)) return 0;
  struct statvfs info;
  if (statvfs(hostPath, &info) != 0) return 0;
  *totalBytes = (uint64_t)info.f_blocks * info.f_frsize;
  *freeBytes = (uint64_t)info.f_bfree * info.f_frsize;
  return 1;
}
