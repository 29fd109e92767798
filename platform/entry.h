// The program's entry point. On Windows the C runtime calls it as the GUI
// subsystem's WinMain; the host back end's main() calls it the same way.
#pragma once

#include "platform/types.h"

#if defined(_WIN32)
#define UPDATER_ENTRY_CALL __stdcall
#else
#define UPDATER_ENTRY_CALL
#endif

extern "C" int UPDATER_ENTRY_CALL WinMain(InstanceHandle instance, InstanceHandle previous,
                                          char* commandLine, int showCommand);
