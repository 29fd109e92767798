// Handle and size types shared by every platform service. The handles are
// opaque: each back end decides what stands behind them.
#pragma once

#include <cstddef>
#include <cstdint>

typedef struct PlatformWindow* WindowHandle;
typedef struct PlatformFile* FileHandle;
typedef struct PlatformModule* ModuleHandle;
typedef struct PlatformInstance* InstanceHandle;
typedef struct PlatformIcon* IconHandle;

// Path texts are zero-terminated code-page-932 byte strings of this size.
enum { PATH_TEXT_SIZE = 260 };
// Message texts are formatted into buffers of this size.
enum { MESSAGE_TEXT_SIZE = 1024 };
