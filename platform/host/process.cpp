#include "platform/process.h"

// The host loader takes no libraries from the program's folder.
void RestrictDllSearch() {}
