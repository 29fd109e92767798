// Files, in the three modes the updater opens them, and directory look-ups.
#pragma once

#include "platform/types.h"

// GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING. Null on failure.
FileHandle OpenFileForRead(const char* path);
// GENERIC_WRITE, FILE_SHARE_WRITE, CREATE_ALWAYS: an existing file is emptied.
FileHandle OpenFileForReplace(const char* path);
// GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_EXISTING, not truncated.
FileHandle OpenFileForRewrite(const char* path);

// The low 32 bits of the file's size; 0xFFFFFFFF when the query fails.
enum : uint32_t { INVALID_FILE_SIZE_VALUE = 0xFFFFFFFFu };
uint32_t GetFileSizeLow(FileHandle file);

// Nonzero on success; *moved receives the bytes read or written.
int ReadFromFile(FileHandle file, void* buffer, uint32_t size, uint32_t* moved);
int WriteToFile(FileHandle file, const void* buffer, uint32_t size, uint32_t* moved);
void CloseFile(FileHandle file);

// PathFileExistsA.
int PathExists(const char* path);

// FindFirstFileA on the path: nonzero when an entry exists there; *isFolder
// tells whether it carries the directory attribute.
int FindDirectoryEntry(const char* path, int* isFolder);

// GetDiskFreeSpaceExA on a drive text such as "C:": total bytes and total
// free bytes of the drive. Nonzero on success.
int GetDriveSpace(const char* drive, uint64_t* totalBytes, uint64_t* freeBytes);
