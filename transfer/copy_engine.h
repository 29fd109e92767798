// The file copy engine: measures the package, checks the free space, copies
// every listed file in chunks under the progress dialog, then merges the
// setup list.
#pragma once

#include <cstdint>

enum : uint32_t { CHUNK_SIZE = 0xFFFE };

// 1 when every file was copied and the merge returned 0, else 0.
int CopyPackageFiles();
// CopyPackageFiles on a given null-ended file list instead of the package's.
int CopyListedFiles(const char* const* fileList);
// 1 when the install drive has room for neededBytes, else 0 (message shown).
int CheckFreeSpace(uint32_t neededBytes);
