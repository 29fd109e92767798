// Message boxes: MessageBoxA, modal, styles given as numbers.
#pragma once

#include "platform/types.h"

enum {
  BOX_OK = 0x00,
  BOX_OK_CANCEL = 0x01,
  BOX_YES_NO = 0x04,
  BOX_ICON_QUESTION = 0x20,
  BOX_ICON_WARNING = 0x30,
};
enum { ANSWER_OK = 1, ANSWER_CANCEL = 2, ANSWER_YES = 6, ANSWER_NO = 7 };

// Shows the box and returns the button chosen. owner may be null.
int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned style);
