#include <windows.h>

#include "platform/profile.h"

uint32_t ReadProfileText(const char* section, const char* key, const char* defaultText,
                         char* out, uint32_t capacity, const char* path) {
  return GetPrivateProfileStringA(section, key, defaultText, out, capacity, path);
}

int WriteProfileText(const char* section, const char* key, const char* value, const char* path) {
  return WritePrivateProfileStringA(section, key, value, path) ? 1 : 0;
}
