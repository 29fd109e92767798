// Special folders, the module's own path and path splitting.
#pragma once

#include "platform/types.h"

enum { FOLDER_APPDATA = 26, FOLDER_COMMON_APPDATA = 35 };

// SHGetSpecialFolderPathA without creating the folder: out holds
// PATH_TEXT_SIZE bytes. Nonzero on success.
int GetSpecialFolder(int folderId, char* out);

// GetModuleFileNameA for the module: the full path into out (size bytes).
// Returns the length copied, 0 on failure.
uint32_t GetModulePath(InstanceHandle module, char* out, uint32_t size);

// PathRemoveFileSpecA: removes the last path element and the separator
// before it; a drive root keeps its backslash. Double-byte aware, so the
// trail byte 0x5C of a code-page-932 character is never a separator.
void RemoveLastPathElement(char* path);
