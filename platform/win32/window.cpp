#include <windows.h>
#include <commctrl.h>

#include "platform/window.h"

#include <cstring>

static_assert(MESSAGE_DESTROY == WM_DESTROY && MESSAGE_CLOSE == WM_CLOSE &&
                  MESSAGE_SETICON == WM_SETICON && MESSAGE_INITDIALOG == WM_INITDIALOG &&
                  MESSAGE_COMMAND == WM_COMMAND && MESSAGE_PBM_SETPOS == PBM_SETPOS,
              "message values");
static_assert(ICON_KIND_SMALL == ICON_SMALL, "icon kind");
static_assert(sizeof(MSG) <= sizeof(QueuedMessage), "message storage too small");

// The progress bar's class lives in comctl32, which is not a known DLL:
// importing it would let a comctl32.dll beside the updater be loaded. It is
// loaded from the system folder once the search is restricted.
int PrepareDialogClasses() {
  HMODULE controls = LoadLibraryExA("comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (controls == nullptr) return 0;
  typedef BOOL(WINAPI * InitControls)(const INITCOMMONCONTROLSEX*);
  InitControls init =
      reinterpret_cast<InitControls>(reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
  if (init == nullptr) return 0;
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
  return init(&classes) ? 1 : 0;
}

// DLGPROC is a stdcall function; the system's one dialog calls through this.
static DialogProcedure ActiveProcedure;

static INT_PTR CALLBACK DialogThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (ActiveProcedure == nullptr) return FALSE;
  return ActiveProcedure(reinterpret_cast<WindowHandle>(window), message, wParam, lParam);
}

WindowHandle CreateModelessDialog(InstanceHandle module, int templateId, WindowHandle owner,
                                  DialogProcedure procedure) {
  ActiveProcedure = procedure;
  HWND dialog = CreateDialogParamA(reinterpret_cast<HINSTANCE>(module), MAKEINTRESOURCEA(templateId),
                                   reinterpret_cast<HWND>(owner), DialogThunk, 0);
  return reinterpret_cast<WindowHandle>(dialog);
}

void ShowWindowAs(WindowHandle window, int showCommand) {
  ShowWindow(reinterpret_cast<HWND>(window), showCommand);
}

void PaintWindowNow(WindowHandle window) { UpdateWindow(reinterpret_cast<HWND>(window)); }

void DestroyWindowNow(WindowHandle window) { DestroyWindow(reinterpret_cast<HWND>(window)); }

intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) {
  return SendMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

int PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return PostMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam) ? 1 : 0;
}

void PostQuit(int exitCode) { PostQuitMessage(exitCode); }

static MSG* AsMsg(QueuedMessage* message) { return reinterpret_cast<MSG*>(message->storage); }

int FetchMessage(QueuedMessage* message) {
  BOOL result = GetMessageA(AsMsg(message), nullptr, 0, 0);
  return result == -1 ? -1 : result ? 1 : 0;
}

int TakePendingMessage(QueuedMessage* message) {
  return PeekMessageA(AsMsg(message), nullptr, 0, 0, PM_REMOVE) ? 1 : 0;
}

int OfferToDialog(WindowHandle dialog, QueuedMessage* message) {
  return IsDialogMessageA(reinterpret_cast<HWND>(dialog), AsMsg(message)) ? 1 : 0;
}

void TranslateAndDispatch(QueuedMessage* message) {
  TranslateMessage(AsMsg(message));
  DispatchMessageA(AsMsg(message));
}

void WaitForMessage() { WaitMessage(); }

WindowHandle FindWindowByTitle(const char* title) {
  return reinterpret_cast<WindowHandle>(FindWindowA(nullptr, title));
}

void GiveFocus(WindowHandle window) { SetFocus(reinterpret_cast<HWND>(window)); }

void SetWindowTitle(WindowHandle window, const char* title) {
  SetWindowTextA(reinterpret_cast<HWND>(window), title);
}

void SetItemText(WindowHandle dialog, int itemId, const char* text) {
  SetDlgItemTextA(reinterpret_cast<HWND>(dialog), itemId, text);
}

WindowHandle GetItem(WindowHandle dialog, int itemId) {
  return reinterpret_cast<WindowHandle>(GetDlgItem(reinterpret_cast<HWND>(dialog), itemId));
}

IconHandle LoadModuleIcon(InstanceHandle module, int iconId) {
  return reinterpret_cast<IconHandle>(
      LoadIconA(reinterpret_cast<HINSTANCE>(module), MAKEINTRESOURCEA(iconId)));
}

void RemoveCloseCommand(WindowHandle window) {
  HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window), FALSE);
  if (menu != nullptr) RemoveMenu(menu, SC_CLOSE, MF_BYCOMMAND);
}
