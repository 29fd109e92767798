// Windows, the modeless dialog and the thread's message queue.
#pragma once

#include "platform/types.h"

// Window messages and commands the updater sends or handles. The values are
// Win32's; the Win32 back end checks that they agree with windows.h.
enum : uint32_t {
  MESSAGE_DESTROY = 0x0002,
  MESSAGE_CLOSE = 0x0010,
  MESSAGE_SETICON = 0x0080,
  MESSAGE_INITDIALOG = 0x0110,
  MESSAGE_COMMAND = 0x0111,
  MESSAGE_PBM_SETPOS = 0x0402,
};
enum { ICON_KIND_SMALL = 0 };

// The dialog procedure: nonzero when it handled the message.
typedef intptr_t (*DialogProcedure)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                    intptr_t lParam);

// Makes the common-controls window classes of the dialog template (the
// progress bar) available. Nonzero on success.
int PrepareDialogClasses();

// CreateDialogParamA: a modeless dialog from template templateId of the
// module, lParam 0. Null when it cannot be created.
WindowHandle CreateModelessDialog(InstanceHandle module, int templateId, WindowHandle owner,
                                  DialogProcedure procedure);
void ShowWindowAs(WindowHandle window, int showCommand);
void PaintWindowNow(WindowHandle window);
void DestroyWindowNow(WindowHandle window);

// SendMessageA: returns once the receiver has handled the message.
intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam);
// PostMessageA. Nonzero on success.
int PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// PostQuitMessage.
void PostQuit(int exitCode);

// One message taken off the thread's queue; its content is the back end's.
struct QueuedMessage {
  alignas(8) unsigned char storage[64];
};
// GetMessageA for all windows of the thread: positive for a message, 0 for
// the quit message, -1 on error.
int FetchMessage(QueuedMessage* message);
// PeekMessageA with PM_REMOVE: nonzero when a message was taken.
int TakePendingMessage(QueuedMessage* message);
// IsDialogMessageA: nonzero when the dialog manager consumed the message.
int OfferToDialog(WindowHandle dialog, QueuedMessage* message);
// TranslateMessage then DispatchMessageA.
void TranslateAndDispatch(QueuedMessage* message);
// WaitMessage.
void WaitForMessage();

// FindWindowA by title, any class; null when none exists.
WindowHandle FindWindowByTitle(const char* title);
void GiveFocus(WindowHandle window);

void SetWindowTitle(WindowHandle window, const char* title);
void SetItemText(WindowHandle dialog, int itemId, const char* text);
WindowHandle GetItem(WindowHandle dialog, int itemId);
// LoadIconA from the module; null when the module has no such icon.
IconHandle LoadModuleIcon(InstanceHandle module, int iconId);
// GetSystemMenu and RemoveMenu(SC_CLOSE, MF_BYCOMMAND).
void RemoveCloseCommand(WindowHandle window);
