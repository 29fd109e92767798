// The progress dialog's procedure; the dialog runs the whole update.
#pragma once

#include "platform/window.h"

intptr_t ProgressDialogProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                            intptr_t lParam);
