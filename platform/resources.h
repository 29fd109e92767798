// Resource modules: the product's RESOURCE.dll is opened for its data only.
#pragma once

#include "platform/types.h"

// Opens a module so that its resources can be read. Nothing in it runs
// (on Windows: a data file and image resource). Null on failure.
ModuleHandle OpenResourceModule(const char* path);

// FindResourceA with type RT_RCDATA and a name: nonzero when found.
// The found resource is then loaded and locked; *data is null when that
// yields no data. The bytes stay valid until the module is released.
int FindNamedData(ModuleHandle module, const char* name, const void** data, uint32_t* size);

void ReleaseModule(ModuleHandle module);
