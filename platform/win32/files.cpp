#include <windows.h>
#include <shlwapi.h>

#include "platform/files.h"

static_assert(INVALID_FILE_SIZE_VALUE == INVALID_FILE_SIZE, "file size failure value");

static FileHandle Open(const char* path, DWORD access, DWORD share, DWORD disposition) {
  HANDLE file = CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : reinterpret_cast<FileHandle>(file);
}

FileHandle OpenFileForRead(const char* path) {
  return Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
}

FileHandle OpenFileForReplace(const char* path) {
  return Open(path, GENERIC_WRITE, FILE_SHARE_WRITE, CREATE_ALWAYS);
}

FileHandle OpenFileForRewrite(const char* path) {
  return Open(path, GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_EXISTING);
}

uint32_t GetFileSizeLow(FileHandle file) {
  return GetFileSize(reinterpret_cast<HANDLE>(file), nullptr);
}

int ReadFromFile(FileHandle file, void* buffer, uint32_t size, uint32_t* moved) {
  DWORD count = 0;
  BOOL ok = ReadFile(reinterpret_cast<HANDLE>(file), buffer, size, &count, nullptr);
  *moved = count;
  return ok ? 1 : 0;
}

int WriteToFile(FileHandle file, const void* buffer, uint32_t size, uint32_t* moved) {
  DWORD count = 0;
  BOOL ok = WriteFile(reinterpret_cast<HANDLE>(file), buffer, size, &count, nullptr);
  *moved = count;
  return ok ? 1 : 0;
}

void CloseFile(FileHandle file) {
  if (file != nullptr) CloseHandle(reinterpret_cast<HANDLE>(file));
}

int PathExists(const char* path) {
  return PathFileExistsA(path) ? 1 : 0;
}

int FindDirectoryEntry(const char* path, int* isFolder) {
  WIN32_FIND_DATAA found;
  *isFolder = 0;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  *isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
  FindClose(search);
  return 1;
}

int GetDriveSpace(const char* drive, uint64_t* totalBytes, uint64_t* freeBytes) {
  ULARGE_INTEGER available;
  ULARGE_INTEGER total;
  ULARGE_INTEGER totalFree;
  *totalBytes = 0;
  *freeBytes = 0;
  if (!GetDiskFreeSpaceExA(drive, &available, &total, &totalFree)) return 0;
  *totalBytes = total.QuadPart;
  *freeBytes = totalFree.QuadPart;
  return 1;
}
