// Windows initialisation files, read and written as byte strings.
#pragma once

#include "platform/types.h"

// GetPrivateProfileStringA with a section and a key: copies the value, or
// the default text when the file, section or key is missing, into out
// (capacity bytes). Returns the number of bytes copied, without the zero.
uint32_t ReadProfileText(const char* section, const char* key, const char* defaultText,
                         char* out, uint32_t capacity, const char* path);

// WritePrivateProfileStringA: creates the file, section or key as needed and
// replaces an existing value. Nonzero on success.
int WriteProfileText(const char* section, const char* key, const char* value, const char* path);
