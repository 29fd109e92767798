#include <windows.h>

#include "platform/messagebox.h"

static_assert(BOX_OK == MB_OK && BOX_OK_CANCEL == MB_OKCANCEL && BOX_YES_NO == MB_YESNO, "");
static_assert(BOX_ICON_QUESTION == MB_ICONQUESTION && BOX_ICON_WARNING == MB_ICONWARNING, "");
static_assert(ANSWER_OK == IDOK && ANSWER_CANCEL == IDCANCEL && ANSWER_YES == IDYES &&
                  ANSWER_NO == IDNO,
              "");

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned style) {
  return MessageBoxA(reinterpret_cast<HWND>(owner), text, caption, style);
}
