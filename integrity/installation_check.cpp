#include "integrity/installation_check.h"

// STAND-IN until the checksum records are read: every installation passes.
int VerifyInstallation(const char*) { return 1; }
