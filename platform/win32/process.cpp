#include <windows.h>

#include "platform/process.h"

void RestrictDllSearch() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }
