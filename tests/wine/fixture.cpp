// A Windows program that shows what the driver must read and answer, with
// known answers, so that the driver itself is tested:
//   wine_fixture.exe boxes             four boxes (styles 0, 0x24, 0x31,
//                                      0x10); exits with 10 * second answer
//                                      + third answer
//   wine_fixture.exe environment       one box showing env FIXTURE_VALUE
//                                      and the working directory
//   wine_fixture.exe dialog [close]    a modeless dialog without (or with)
//                                      Close in its system menu; exits with
//                                      the commands it got: 1 WM_CLOSE,
//                                      2 command 2, 4 command 1006, which also
//                                      shows a box owned by the dialog and
//                                      ends the dialog
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// テスト
static const char CAPTION[] = "\x83\x65\x83\x58\x83\x67";

static int ShowBoxes() {
  MessageBoxA(nullptr, "line one\nline \"two\" \\", CAPTION, MB_OK);
  int second = MessageBoxA(nullptr, "question", CAPTION, MB_YESNO | MB_ICONQUESTION);
  int third = MessageBoxA(nullptr, "warning", CAPTION, MB_OKCANCEL | MB_ICONWARNING);
  MessageBoxA(nullptr, "error", CAPTION, MB_OK | MB_ICONHAND);
  return second * 10 + third;
}

static int ShowEnvironment() {
  char folder[MAX_PATH];
  char text[2 * MAX_PATH];
  const char* value = getenv("FIXTURE_VALUE");
  if (GetCurrentDirectoryA(sizeof folder, folder) == 0) folder[0] = '\0';
  snprintf(text, sizeof text, "%s|%s", value != nullptr ? value : "(unset)", folder);
  MessageBoxA(nullptr, text, CAPTION, MB_OK);
  return 0;
}

static int Received;

static INT_PTR CALLBACK FixtureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_CLOSE:
      Received |= 1;
      return TRUE;
    case WM_COMMAND:
      if (wParam == IDCANCEL) Received |= 2;
      if (wParam == 1006) {
        Received |= 4;
        MessageBoxA(dialog, "owned", CAPTION, MB_OK | MB_ICONWARNING);
        DestroyWindow(dialog);
      }
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return TRUE;
    default:
      return FALSE;
  }
}

static int RunDialog(int keepClose) {
  static_assert(sizeof(DLGTEMPLATE) == 18, "packed dialog template");
  // Template, no menu, the standard class, title, no controls.
  alignas(4) WORD buffer[64];
  memset(buffer, 0, sizeof buffer);
  DLGTEMPLATE header;
  memset(&header, 0, sizeof header);
  header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  header.cx = 160;
  header.cy = 40;
  memcpy(buffer, &header, sizeof header);
  static const wchar_t TITLE[] = L"Fixture Dialog";
  memcpy(buffer + sizeof header / sizeof(WORD) + 2, TITLE, sizeof TITLE);
  HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                           reinterpret_cast<DLGTEMPLATE*>(buffer), nullptr,
                                           FixtureDialog, 0);
  if (dialog == nullptr) return 100;
  if (!keepClose) RemoveMenu(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND);
  ShowWindow(dialog, SW_SHOW);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return Received;
}

int main(int argc, char** argv) {
  if (argc >= 2 && strcmp(argv[1], "boxes") == 0) return ShowBoxes();
  if (argc >= 2 && strcmp(argv[1], "environment") == 0) return ShowEnvironment();
  if (argc >= 2 && strcmp(argv[1], "dialog") == 0) {
    return RunDialog(argc >= 3 && strcmp(argv[2], "close") == 0);
  }
  return 99;
}
