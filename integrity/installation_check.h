// The checksum check of the product's resource module and executable.
#pragma once

#include "platform/types.h"

#include <cstdint>

// Records are read into zero-filled buffers of this size.
enum { NAMED_RECORD_SIZE = 260 };

// Copies the RCDATA resource `name` of module into out (NAMED_RECORD_SIZE
// bytes, zero-filled behind the resource). 1 on success; 0 when it is
// missing, yields no data or is larger than the buffer. Releases module on
// every path.
int LoadNamedRecord(const char* name, ModuleHandle module, uint8_t* out);

// 1 when the module file matches its own integrity record.
int VerifyResourceModule(const char* modulePath);

// 1 when the resource module and the product executable in installFolder
// both match their records, 0 otherwise.
int VerifyInstallation(const char* installFolder);
