// Windows and the message queue of the host edition. Only the progress
// dialog exists: the host's own model of the modeless dialog keeps the template's
// controls and calls the dialog procedure as the Win32 dialog manager does,
// on one thread with one queue. Env UPDATER_DIALOG_POSTS lets a run post
// messages to the dialog while it works (see PlanDialogPost).
#include "platform/window.h"

#include "platform/host/host_paths.h"
#include "platform/host/testing.h"
#include "platform/host/transcript.h"
#include "platform/host/window_registry.h"
#include "res/resource.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

struct PlatformWindow {
  int inUse;
  int destroyed;
  int visible;
  int itemId;                 // 0 for the dialog itself
  PlatformWindow* parent;     // the dialog, for its controls
  DialogProcedure procedure;  // the dialog's only
  char className[32];
  char text[MESSAGE_TEXT_SIZE];
  int position;      // progress bar
  int closeInMenu;   // the dialog's system menu still has Close
  int registration;  // title registration, dialog only
  int destroying;    // WM_DESTROY is being handled
  IconHandle smallIcon;
};

enum { MAX_WINDOWS = 16, QUEUE_SIZE = 256 };
static PlatformWindow Windows[MAX_WINDOWS];

struct HostMessage {
  WindowHandle window;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};
static_assert(sizeof(HostMessage) <= sizeof(QueuedMessage), "message storage too small");

static HostMessage Queue[QUEUE_SIZE];
static int QueueHead;
static int QueueCount;
static int QuitPosted;
static int QuitCode;

// A window of another process, found by title; only focus is asked of it.
static PlatformWindow ForeignWindow;

// The last progress dialog created, kept for inspection after it is gone.
static PlatformWindow* LastDialog;

// Messages to post to the dialog once the percentage has been shown
// afterUpdates times (0: as soon as the dialog is initialised).
struct PlannedPost {
  int afterUpdates;
  uint32_t message;
  uintptr_t wParam;
};
enum { MAX_PLANNED_POSTS = 32 };
static PlannedPost PlannedPosts[MAX_PLANNED_POSTS];
static int PlannedPostCount;
static int PercentUpdates;

void ResetHostWindows() {
  for (PlatformWindow& window : Windows) {
    if (window.inUse && !window.destroyed && window.registration >= 0 && window.itemId == 0) {
      UnregisterWindowTitle(window.registration);
    }
  }
  memset(Windows, 0, sizeof Windows);
  QueueHead = QueueCount = QuitPosted = QuitCode = 0;
  LastDialog = nullptr;
  PlannedPostCount = PercentUpdates = 0;
}

int PlanDialogPost(int afterUpdates, uint32_t message, uintptr_t wParam) {
  if (afterUpdates < 0 || PlannedPostCount == MAX_PLANNED_POSTS) return 0;
  PlannedPosts[PlannedPostCount++] = {afterUpdates, message, wParam};
  return 1;
}

// UPDATER_DIALOG_POSTS: a comma list of "close" (WM_CLOSE) or a command
// identifier (WM_COMMAND with that wParam), each optionally followed by
// "@N" to post it when the percentage is shown for the Nth time.
static void PlanPostsFromEnvironment() {
  const char* list = getenv("UPDATER_DIALOG_POSTS");
  if (list == nullptr) return;
  for (const char* entry = list; *entry != '\0';) {
    size_t length = strcspn(entry, ",");
    char text[32];
    snprintf(text, sizeof text, "%.*s", (int)length, entry);
    char* at = strchr(text, '@');
    char* end = nullptr;
    long after = 0;
    int valid = length > 0 && length < sizeof text;
    if (valid && at != nullptr) {
      *at = '\0';
      after = strtol(at + 1, &end, 10);
      valid = end != at + 1 && *end == '\0' && after >= 0 && after <= 100000;
    }
    if (valid && strcmp(text, "close") == 0) {
      valid = PlanDialogPost((int)after, MESSAGE_CLOSE, 0);
    } else if (valid) {
      unsigned long command = strtoul(text, &end, 10);
      valid = end != text && *end == '\0' && command <= 0xFFFFFFFFul &&
              PlanDialogPost((int)after, MESSAGE_COMMAND, (uintptr_t)command);
    }
    if (!valid) {
      fprintf(stderr, "updater: ignoring '%.*s' in UPDATER_DIALOG_POSTS\n", (int)length, entry);
    }
    entry += length;
    if (*entry == ',') ++entry;
  }
}

static void PostPlannedFor(WindowHandle dialog, int updates) {
  for (int i = 0; i < PlannedPostCount; ++i) {
    if (PlannedPosts[i].afterUpdates == updates) {
      PostWindowMessage(dialog, PlannedPosts[i].message, PlannedPosts[i].wParam, 0);
    }
  }
}

static int IsLive(WindowHandle window) {
  return window != nullptr && window != &ForeignWindow && window->inUse && !window->destroyed;
}

static PlatformWindow* NewWindow() {
  for (PlatformWindow& window : Windows) {
    if (!window.inUse) {
      memset(&window, 0, sizeof window);
      window.inUse = 1;
      window.registration = -1;
      return &window;
    }
  }
  return nullptr;
}

static void WriteWindowEvent(const char* action, WindowHandle dialog) {
  char title[2048];
  JsonStringFromCp932(dialog->text, title, sizeof title);
  char fields[2200];
  snprintf(fields, sizeof fields, "\"action\":\"%s\",\"title\":%s", action, title);
  WriteTranscriptEvent("dialog", fields);
}

// On a terminal the dialog is one line on stderr: a bar and its percentage.
static void DrawProgressLine(WindowHandle dialog) {
  if (!isatty(STDERR_FILENO)) return;
  WindowHandle bar = GetItem(dialog, IDC_PROGRESS);
  WindowHandle percent = GetItem(dialog, IDC_PERCENT);
  if (bar == nullptr || percent == nullptr) return;
  enum { WIDTH = 40 };
  char line[WIDTH + 1];
  int filled = bar->position * WIDTH / 100;
  for (int i = 0; i < WIDTH; ++i) line[i] = i < filled ? '#' : '.';
  line[WIDTH] = '\0';
  fprintf(stderr, "\r[%s] %s", line, percent->text);
  fflush(stderr);
}

int PrepareDialogClasses() { return 1; }

static WindowHandle AddControl(WindowHandle dialog, int id, const char* className,
                               const char* text) {
  PlatformWindow* control = NewWindow();
  if (control == nullptr) return nullptr;
  control->itemId = id;
  control->parent = dialog;
  snprintf(control->className, sizeof control->className, "%s", className);
  snprintf(control->text, sizeof control->text, "%s", text);
  return control;
}

WindowHandle CreateModelessDialog(InstanceHandle, int templateId, WindowHandle,
                                  DialogProcedure procedure) {
  if (CheckFault(FAULT_CREATE_DIALOG, nullptr) >= 0) return nullptr;
  if (templateId != IDD_UPDATE) return nullptr;
  PlatformWindow* dialog = NewWindow();
  if (dialog == nullptr) return nullptr;
  dialog->procedure = procedure;
  dialog->closeInMenu = 1;
  snprintf(dialog->className, sizeof dialog->className, "#32770");
  snprintf(dialog->text, sizeof dialog->text, "Update Program");
  // アップデートを行っています。
  static const char STATUS_TEXT[] =
      "\x83\x41\x83\x62\x83\x76\x83\x66\x81\x5B\x83\x67\x82\xF0\x8D\x73\x82\xC1\x82\xC4\x82\xA2"
      "\x82\xDC\x82\xB7\x81\x42";
  if (AddControl(dialog, IDC_PROGRESS, "msctls_progress32", "") == nullptr ||
      AddControl(dialog, IDC_STATUS, "Static", STATUS_TEXT) == nullptr ||
      AddControl(dialog, IDC_PERCENT, "Static", "") == nullptr) {
    for (PlatformWindow& window : Windows) {
      if (&window == dialog || window.parent == dialog) window.inUse = 0;
    }
    return nullptr;
  }
  LastDialog = dialog;
  dialog->registration = RegisterWindowTitle(dialog->text);
  procedure(dialog, MESSAGE_INITDIALOG, 0, 0);
  WriteWindowEvent("create", dialog);
  PlanPostsFromEnvironment();
  PostPlannedFor(dialog, 0);
  return dialog;
}

void ShowWindowAs(WindowHandle window, int showCommand) {
  if (IsLive(window)) window->visible = showCommand != 0;
}

void PaintWindowNow(WindowHandle window) {
  if (IsLive(window) && window->itemId == 0) DrawProgressLine(window);
}

// As on Windows, the dialog gets WM_DESTROY while its controls still exist,
// and a DestroyWindow from inside WM_DESTROY does nothing more.
void DestroyWindowNow(WindowHandle window) {
  if (!IsLive(window) || window->destroying) return;
  if (window->itemId == 0) {
    window->destroying = 1;
    if (window->procedure != nullptr) window->procedure(window, MESSAGE_DESTROY, 0, 0);
    for (PlatformWindow& control : Windows) {
      if (control.inUse && control.parent == window) control.destroyed = 1;
    }
    UnregisterWindowTitle(window->registration);
    window->registration = -1;
    if (isatty(STDERR_FILENO)) fputc('\n', stderr);
    WriteWindowEvent("destroy", window);
  }
  window->destroyed = 1;
}

intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) {
  if (!IsLive(window)) return 0;
  if (window->itemId != 0) {
    if (message == MESSAGE_PBM_SETPOS && strcmp(window->className, "msctls_progress32") == 0) {
      int previous = window->position;
      int position = (int)wParam;
      window->position = position < 0 ? 0 : position > 100 ? 100 : position;
      char fields[64];
      snprintf(fields, sizeof fields, "\"position\":%d", window->position);
      WriteTranscriptEvent("progress", fields);
      DrawProgressLine(window->parent);
      return previous;
    }
    return 0;
  }
  intptr_t handled =
      window->procedure != nullptr ? window->procedure(window, message, wParam, lParam) : 0;
  // The dialog manager's default work, for the one message that needs it.
  if (!handled && message == MESSAGE_SETICON && wParam == ICON_KIND_SMALL) {
    IconHandle previous = window->smallIcon;
    window->smallIcon = (IconHandle)lParam;
    return (intptr_t)previous;
  }
  return handled;
}

int PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (QueueCount == QUEUE_SIZE) return 0;
  Queue[(QueueHead + QueueCount) % QUEUE_SIZE] = {window, message, wParam, lParam};
  ++QueueCount;
  return 1;
}

void PostQuit(int exitCode) {
  QuitPosted = 1;
  QuitCode = exitCode;
}

static int TakeQueued(QueuedMessage* message) {
  if (QueueCount == 0) return 0;
  memcpy(message->storage, &Queue[QueueHead], sizeof(HostMessage));
  QueueHead = (QueueHead + 1) % QUEUE_SIZE;
  --QueueCount;
  return 1;
}

// Posted messages come before the quit message, as on Windows. Nothing
// outside the thread can post to the host queue, so an empty queue without
// a quit message would block forever: that is reported as an error.
int FetchMessage(QueuedMessage* message) {
  if (TakeQueued(message)) return 1;
  if (QuitPosted) {
    QuitPosted = 0;
    return 0;
  }
  return -1;
}

int TakePendingMessage(QueuedMessage* message) { return TakeQueued(message); }

static void Dispatch(const HostMessage* message) {
  WindowHandle target = message->window;
  if (!IsLive(target)) return;
  char fields[96];
  snprintf(fields, sizeof fields, "\"message\":%u,\"wParam\":%lu", message->message,
           (unsigned long)message->wParam);
  WriteTranscriptEvent("dispatch", fields);
  SendWindowMessage(target, message->message, message->wParam, message->lParam);
}

int OfferToDialog(WindowHandle dialog, QueuedMessage* message) {
  HostMessage taken;
  memcpy(&taken, message->storage, sizeof taken);
  if (!IsLive(dialog) || dialog->itemId != 0) return 0;
  if (taken.window != dialog && (!IsLive(taken.window) || taken.window->parent != dialog)) {
    return 0;
  }
  Dispatch(&taken);
  return 1;
}

void TranslateAndDispatch(QueuedMessage* message) {
  HostMessage taken;
  memcpy(&taken, message->storage, sizeof taken);
  Dispatch(&taken);
}

void WaitForMessage() {}

WindowHandle FindWindowByTitle(const char* title) {
  for (PlatformWindow& window : Windows) {
    if (IsLive(&window) && window.itemId == 0 && strcmp(window.text, title) == 0) return &window;
  }
  return IsTitleRegistered(title) ? &ForeignWindow : nullptr;
}

void GiveFocus(WindowHandle) {}

void SetWindowTitle(WindowHandle window, const char* title) {
  if (!IsLive(window)) return;
  snprintf(window->text, sizeof window->text, "%s", title);
  if (window->itemId == 0) ChangeRegisteredTitle(window->registration, title);
}

WindowHandle GetItem(WindowHandle dialog, int itemId) {
  for (PlatformWindow& window : Windows) {
    if (IsLive(&window) && window.parent == dialog && window.itemId == itemId) return &window;
  }
  return nullptr;
}

void SetItemText(WindowHandle dialog, int itemId, const char* text) {
  WindowHandle item = GetItem(dialog, itemId);
  if (item == nullptr) return;
  snprintf(item->text, sizeof item->text, "%s", text);
  char value[2048];
  JsonStringFromCp932(text, value, sizeof value);
  char fields[2200];
  if (itemId == IDC_PERCENT) {
    snprintf(fields, sizeof fields, "\"text\":%s", value);
    WriteTranscriptEvent("percent", fields);
    ++PercentUpdates;
    PostPlannedFor(dialog, PercentUpdates);
  } else {
    snprintf(fields, sizeof fields, "\"item\":%d,\"text\":%s", itemId, value);
    WriteTranscriptEvent("itemtext", fields);
  }
  DrawProgressLine(dialog);
}

// The updater's module carries no icon.
IconHandle LoadModuleIcon(InstanceHandle, int) { return nullptr; }

void RemoveCloseCommand(WindowHandle window) {
  if (IsLive(window)) window->closeInMenu = 0;
}

// A control of the dialog, live or not.
static const PlatformWindow* ControlOf(const PlatformWindow* dialog, int itemId) {
  for (const PlatformWindow& window : Windows) {
    if (window.inUse && window.parent == dialog && window.itemId == itemId) return &window;
  }
  return nullptr;
}

static void CopyControlText(const PlatformWindow* dialog, int itemId, char* out, size_t size) {
  const PlatformWindow* control = ControlOf(dialog, itemId);
  snprintf(out, size, "%s", control != nullptr ? control->text : "");
}

int ViewHostDialog(HostDialogView* view) {
  memset(view, 0, sizeof *view);
  if (LastDialog == nullptr) return 0;
  view->destroyed = LastDialog->destroyed;
  view->visible = LastDialog->visible;
  view->closeInMenu = LastDialog->closeInMenu;
  view->hasSmallIcon = LastDialog->smallIcon != nullptr;
  const PlatformWindow* bar = ControlOf(LastDialog, IDC_PROGRESS);
  view->progress = bar != nullptr ? bar->position : -1;
  snprintf(view->title, sizeof view->title, "%s", LastDialog->text);
  CopyControlText(LastDialog, IDC_STATUS, view->status, sizeof view->status);
  CopyControlText(LastDialog, IDC_PERCENT, view->percent, sizeof view->percent);
  return 1;
}
