// Loaded by the driver into the program it drives, to answer what can only
// be asked inside the process that owns a window: shared icons and the
// system menu are per process. Each export runs as a thread's start routine
// with a window as its parameter and answers in the thread's exit code.
#include <windows.h>

struct IconSearch {
  HICON found;
};

static BOOL CALLBACK FindIcon(HWND child, LPARAM parameter) {
  IconSearch* search = reinterpret_cast<IconSearch*>(parameter);
  char className[32];
  if (GetClassNameA(child, className, sizeof className) > 0 &&
      lstrcmpiA(className, "Static") == 0 && IsWindowVisible(child)) {
    HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    if (icon != nullptr) {
      search->found = icon;
      return FALSE;
    }
  }
  return TRUE;
}

// The icon style bits of a message box: MB_ICONHAND, MB_ICONQUESTION,
// MB_ICONEXCLAMATION or MB_ICONASTERISK, 0 for no icon, 0xFF for an icon
// that is none of the system's.
extern "C" __declspec(dllexport) DWORD WINAPI ProbeBoxIcon(void* parameter) {
  IconSearch search = {nullptr};
  EnumChildWindows(static_cast<HWND>(parameter), FindIcon, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return 0;
  struct Known {
    LPCSTR id;
    DWORD style;
  };
  static const Known KNOWN[] = {{IDI_HAND, MB_ICONHAND},
                                {IDI_QUESTION, MB_ICONQUESTION},
                                {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                                {IDI_ASTERISK, MB_ICONASTERISK}};
  DWORD style = 0xFF;
  for (const Known& known : KNOWN) {
    if (LoadIconA(nullptr, known.id) == search.found) style = known.style;
  }
  return style;
}

// 1 when the window's system menu has the Close command, 0 when it has not,
// 0xFFFFFFFF when the window has no system menu.
extern "C" __declspec(dllexport) DWORD WINAPI ProbeCloseCommand(void* parameter) {
  HMENU menu = GetSystemMenu(static_cast<HWND>(parameter), FALSE);
  if (menu == nullptr) return 0xFFFFFFFFu;
  return GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) == 0xFFFFFFFFu ? 0 : 1;
}
