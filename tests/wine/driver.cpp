// Drives a Windows program as a user would and reports what it showed, one
// JSON object a line, in the host edition's transcript format, so that a
// test can compare a Wine run with a host run line by line.
//
//   wine_driver.exe --report FILE [options] -- PROGRAM [ARGUMENTS...]
//
//   --report FILE      where the JSON lines go (required; appended to)
//   --answers LIST     ok,cancel,yes,no: one per message box, in order; with
//                      none left (or one the box lacks) a box takes its first
//                      button
//   --cwd DIR          working directory of the program
//   --env NAME=VALUE   set in the program's environment (repeatable)
//   --timeout SECONDS  kill the program after this long (default 60); the
//                      report then ends with a "timeout" event
//   --dialog ACTION    when the progress dialog appears, post it: close
//                      (WM_CLOSE), cancel (WM_COMMAND 2) or stop (WM_COMMAND
//                      1006); repeatable, posted in the order given
//   --dialog-menu      report whether the progress dialog's system menu has
//                      Close: {"event":"systemmenu","close":1|0|-1}
//                      (-1: no system menu)
//   --second FILE      while the first message box is up, drive a second
//                      copy of the program (no answers) into FILE, then answer
//   --pause FILE       when a box or the progress dialog appears, create
//                      FILE and wait until it is removed (for screenshots)
//
// Events: messagebox (owner, caption, text, style, answer), dialog
// create/destroy (title), systemmenu, timeout, error, and exit (code).
// The icon part of a box's style is read inside the program, by the probe
// DLL beside this driver, because icons cannot be compared across
// processes. Exit code: 0 when the program ran to its end, 2 for a usage
// error, 3 when the program was killed at the timeout, 4 when it could not
// be started or probed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

enum { DRIVER_DONE = 0, DRIVER_USAGE = 2, DRIVER_TIMEOUT = 3, DRIVER_FAILED = 4 };
enum { MAX_LISTED = 16, MAX_HANDLED = 64, POLL_MS = 10, LINE_SIZE = 8192 };
enum { BOX_TEXT_ID = 0xFFFF, PROGRESS_BAR_ID = 1008, STOP_COMMAND = 1006 };

struct RunOptions {
  const char* report;
  const char* answers;
  const char* folder;
  const char* environment[MAX_LISTED];
  int environmentCount;
  const char* dialogActions[MAX_LISTED];
  int dialogActionCount;
  int dialogMenu;
  const char* secondReport;
  const char* pauseFile;
  DWORD timeoutMs;
  char commandLine[4096];
};

// One driven process and what has been seen of it.
struct Run {
  const RunOptions* options;
  HANDLE report;
  PROCESS_INFORMATION process;
  HWND handled[MAX_HANDLED];
  int handledCount;
  HWND dialog;
  char dialogTitle[1024];
  int answersTaken;
  int secondDone;
  DWORD probeModule;
  int failed;
};

// A button of a message box: its id and the word the transcripts use.
struct Button {
  int id;
  const char* name;
};
static const Button BUTTONS[] = {{IDOK, "ok"},     {IDCANCEL, "cancel"}, {IDABORT, "abort"},
                                 {IDRETRY, "retry"}, {IDIGNORE, "ignore"}, {IDYES, "yes"},
                                 {IDNO, "no"}};

// The button sets of the MessageBox styles, each in the order the box
// offers them (its first is what Enter chooses).
struct ButtonSet {
  unsigned style;
  int ids[3];
  int count;
};
static const ButtonSet BUTTON_SETS[] = {
    {MB_OK, {IDOK}, 1},
    {MB_OKCANCEL, {IDOK, IDCANCEL}, 2},
    {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, 3},
    {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, 3},
    {MB_YESNO, {IDYES, IDNO}, 2},
    {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, 2},
};

static const char* ButtonName(int id) {
  for (const Button& button : BUTTONS) {
    if (button.id == id) return button.name;
  }
  return "?";
}

static int ButtonId(const char* name, size_t length) {
  for (const Button& button : BUTTONS) {
    if (strlen(button.name) == length && strncmp(button.name, name, length) == 0) return button.id;
  }
  return 0;
}

// A report line under construction; text that does not fit is cut, never
// written past the buffer.
struct Line {
  char text[LINE_SIZE];
  size_t length;
};

static void Append(Line* line, const char* text) {
  size_t length = strlen(text);
  size_t room = sizeof line->text - 1 - line->length;
  if (length > room) length = room;
  memcpy(line->text + line->length, text, length);
  line->length += length;
  line->text[line->length] = '\0';
}

static void AppendNumber(Line* line, long value) {
  char number[24];
  snprintf(number, sizeof number, "%ld", value);
  Append(line, number);
}

// A code-page-932 text as a JSON string in UTF-8, escaped as the host
// transcript escapes it.
static void AppendJsonText(Line* line, const char* cp932) {
  wchar_t wide[2048];
  char utf8[6144];
  int wideLength = MultiByteToWideChar(932, 0, cp932, -1, wide, (int)(sizeof wide / sizeof wide[0]));
  if (wideLength == 0 ||
      WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, (int)sizeof utf8, nullptr, nullptr) == 0) {
    snprintf(utf8, sizeof utf8, "%s", "(text not in code page 932)");
  }
  Append(line, "\"");
  for (const unsigned char* p = (const unsigned char*)utf8; *p != '\0'; ++p) {
    char piece[8] = {(char)*p, '\0'};
    if (*p == '"' || *p == '\\') {
      snprintf(piece, sizeof piece, "\\%c", *p);
    } else if (*p == '\n') {
      snprintf(piece, sizeof piece, "\\n");
    } else if (*p == '\r') {
      snprintf(piece, sizeof piece, "\\r");
    } else if (*p < 0x20) {
      snprintf(piece, sizeof piece, "\\u%04x", *p);
    }
    Append(line, piece);
  }
  Append(line, "\"");
}

static void WriteLine(Run* run, Line* line) {
  Append(line, "}\n");
  DWORD written = 0;
  WriteFile(run->report, line->text, (DWORD)line->length, &written, nullptr);
}

static void StartLine(Line* line, const char* event) {
  line->length = 0;
  line->text[0] = '\0';
  Append(line, "{\"event\":\"");
  Append(line, event);
  Append(line, "\"");
}

static void ReportError(Run* run, const char* what) {
  Line line;
  StartLine(&line, "error");
  Append(&line, ",\"what\":\"");
  Append(&line, what);
  Append(&line, "\",\"code\":");
  AppendNumber(&line, (long)GetLastError());
  WriteLine(run, &line);
  run->failed = 1;
}

// The probe DLL runs inside the driven program: it is loaded there with
// LoadLibraryA (kernel32 lies at the same address in every 32-bit process)
// and its functions are called on threads of their own; each answers in its
// thread's exit code.
static int ProbePath(char* out, size_t size) {
  char own[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, own, sizeof own);
  if (length == 0 || length >= sizeof own) return 0;
  char* slash = strrchr(own, '\\');
  if (slash == nullptr) return 0;
  *slash = '\0';
  int written = snprintf(out, size, "%s\\wine_probe.dll", own);
  return written > 0 && (size_t)written < size;
}

static int RunRemoteThread(HANDLE process, LPTHREAD_START_ROUTINE start, void* parameter,
                           DWORD* result) {
  HANDLE thread = CreateRemoteThread(process, nullptr, 0, start, parameter, 0, nullptr);
  int done = 0;
  if (thread != nullptr) {
    done = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0 && GetExitCodeThread(thread, result);
    CloseHandle(thread);
  }
  return done;
}

static int LoadProbe(Run* run) {
  if (run->probeModule != 0) return 1;
  char path[MAX_PATH];
  if (!ProbePath(path, sizeof path)) return 0;
  size_t size = strlen(path) + 1;
  HANDLE process = run->process.hProcess;
  void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote == nullptr) return 0;
  DWORD module = 0;
  LPTHREAD_START_ROUTINE loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
  if (WriteProcessMemory(process, remote, path, size, nullptr) && loadLibrary != nullptr &&
      RunRemoteThread(process, loadLibrary, remote, &module)) {
    run->probeModule = module;
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return run->probeModule != 0;
}

// Calls the probe's function `name` in the program with the window as its
// parameter. Nonzero when it ran; *result is its answer.
static int CallProbe(Run* run, const char* name, HWND window, DWORD* result) {
  if (!LoadProbe(run)) return 0;
  char path[MAX_PATH];
  if (!ProbePath(path, sizeof path)) return 0;
  // The function's place in the image is the same in both processes.
  HMODULE local = LoadLibraryA(path);
  if (local == nullptr) return 0;
  FARPROC function = GetProcAddress(local, name);
  int called = 0;
  if (function != nullptr) {
    DWORD offset = (DWORD)(reinterpret_cast<uintptr_t>(function) - reinterpret_cast<uintptr_t>(local));
    LPTHREAD_START_ROUTINE start =
        reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<uintptr_t>(run->probeModule + offset));
    called = RunRemoteThread(run->process.hProcess, start, window, result);
  }
  FreeLibrary(local);
  return called;
}

static int WasHandled(const Run* run, HWND window) {
  for (int i = 0; i < run->handledCount; ++i) {
    if (run->handled[i] == window) return 1;
  }
  return 0;
}

static void NoteHandled(Run* run, HWND window) {
  if (run->handledCount < MAX_HANDLED) run->handled[run->handledCount++] = window;
}

static int IsMessageBox(HWND window) {
  char className[64];
  return GetClassNameA(window, className, sizeof className) > 0 &&
         strcmp(className, "#32770") == 0 && GetDlgItem(window, BOX_TEXT_ID) != nullptr;
}

static int IsProgressDialog(HWND window) {
  char className[64];
  return GetClassNameA(window, className, sizeof className) > 0 &&
         strcmp(className, "#32770") == 0 && GetDlgItem(window, BOX_TEXT_ID) == nullptr;
}

struct Search {
  DWORD processId;
  int wantBox;
  const Run* run;
  HWND found;
};

static BOOL CALLBACK ConsiderWindow(HWND window, LPARAM parameter) {
  Search* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window) || WasHandled(search->run, window)) {
    return TRUE;
  }
  if (search->wantBox ? IsMessageBox(window) : IsProgressDialog(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A visible window of the program not handled yet: a message box when
// wantBox, else the progress dialog.
static HWND FindNewWindow(Run* run, int wantBox) {
  Search search = {run->process.dwProcessId, wantBox, run, nullptr};
  EnumWindows(ConsiderWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

static void PauseForTest(Run* run) {
  const char* path = run->options->pauseFile;
  if (path == nullptr) return;
  HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  if (marker == INVALID_HANDLE_VALUE) {
    ReportError(run, "pause file");
    return;
  }
  CloseHandle(marker);
  for (int waited = 0; waited < 600000 && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
       waited += 50) {
    Sleep(50);
  }
}

// The next listed answer as a button id, 0 when the list is used up.
static int NextAnswer(Run* run) {
  const char* list = run->options->answers;
  if (list == nullptr) return 0;
  const char* start = list;
  for (int skipped = 0; skipped < run->answersTaken; ++skipped) {
    start = strchr(start, ',');
    if (start == nullptr) return 0;
    ++start;
  }
  size_t length = strcspn(start, ",");
  if (length == 0 && start[0] == '\0') return 0;
  ++run->answersTaken;
  int id = ButtonId(start, length);
  if (id == 0) fprintf(stderr, "wine_driver: unknown answer '%.*s'\n", (int)length, start);
  return id;
}

static const ButtonSet* ButtonsOf(HWND box) {
  unsigned present = 0;
  for (const Button& button : BUTTONS) {
    HWND item = GetDlgItem(box, button.id);
    if (item != nullptr && IsWindowVisible(item)) present |= 1u << button.id;
  }
  for (const ButtonSet& set : BUTTON_SETS) {
    unsigned wanted = 0;
    for (int i = 0; i < set.count; ++i) wanted |= 1u << set.ids[i];
    if (wanted == present) return &set;
  }
  return nullptr;
}

static const char* OwnerName(Run* run, HWND box) {
  HWND owner = GetWindow(box, GW_OWNER);
  if (owner == nullptr) return "none";
  DWORD process = 0;
  GetWindowThreadProcessId(owner, &process);
  return process == run->process.dwProcessId && IsProgressDialog(owner) ? "dialog" : "other";
}

static void WaitUntilGone(HWND window) {
  for (int waited = 0; waited < 10000 && IsWindow(window); waited += POLL_MS) Sleep(POLL_MS);
}

static void DriveProcess(const RunOptions* options, HANDLE report, int* outcome);

static void DriveSecond(Run* run) {
  RunOptions second = *run->options;
  second.report = run->options->secondReport;
  second.answers = nullptr;
  second.secondReport = nullptr;
  HANDLE report = CreateFileA(second.report, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (report == INVALID_HANDLE_VALUE) {
    ReportError(run, "second report");
    return;
  }
  int outcome = DRIVER_DONE;
  DriveProcess(&second, report, &outcome);
  CloseHandle(report);
  if (outcome != DRIVER_DONE) run->failed = 1;
}

static void HandleBox(Run* run, HWND box) {
  NoteHandled(run, box);
  char caption[1024];
  char text[4096];
  GetWindowTextA(box, caption, sizeof caption);
  GetDlgItemTextA(box, BOX_TEXT_ID, text, sizeof text);
  const ButtonSet* buttons = ButtonsOf(box);
  DWORD icon = 0;
  if (!CallProbe(run, "ProbeBoxIcon", box, &icon)) ReportError(run, "icon probe");
  PauseForTest(run);
  if (run->options->secondReport != nullptr && !run->secondDone) {
    run->secondDone = 1;
    DriveSecond(run);
  }

  int chosen = buttons != nullptr ? buttons->ids[0] : IDOK;
  int wanted = NextAnswer(run);
  if (wanted != 0 && buttons != nullptr) {
    int offered = 0;
    for (int i = 0; i < buttons->count; ++i) offered |= buttons->ids[i] == wanted;
    if (offered) {
      chosen = wanted;
    } else {
      fprintf(stderr, "wine_driver: the box has no '%s'; taking '%s'\n", ButtonName(wanted),
              ButtonName(chosen));
    }
  }
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(chosen, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, chosen)));

  Line line;
  StartLine(&line, "messagebox");
  Append(&line, ",\"owner\":\"");
  Append(&line, OwnerName(run, box));
  Append(&line, "\",\"caption\":");
  AppendJsonText(&line, caption);
  Append(&line, ",\"text\":");
  AppendJsonText(&line, text);
  Append(&line, ",\"style\":");
  AppendNumber(&line, buttons != nullptr ? (long)(buttons->style | icon) : -1);
  Append(&line, ",\"answer\":\"");
  Append(&line, ButtonName(chosen));
  Append(&line, "\"");
  WriteLine(run, &line);
  WaitUntilGone(box);
}

static void WriteDialogEvent(Run* run, const char* action) {
  Line line;
  StartLine(&line, "dialog");
  Append(&line, ",\"action\":\"");
  Append(&line, action);
  Append(&line, "\",\"title\":");
  AppendJsonText(&line, run->dialogTitle);
  WriteLine(run, &line);
}

static void HandleDialog(Run* run, HWND dialog) {
  NoteHandled(run, dialog);
  run->dialog = dialog;
  GetWindowTextA(dialog, run->dialogTitle, sizeof run->dialogTitle);
  WriteDialogEvent(run, "create");
  if (run->options->dialogMenu) {
    DWORD close = 0;
    if (CallProbe(run, "ProbeCloseCommand", dialog, &close)) {
      Line line;
      StartLine(&line, "systemmenu");
      Append(&line, ",\"close\":");
      AppendNumber(&line, (long)(int)close);
      WriteLine(run, &line);
    } else {
      ReportError(run, "menu probe");
    }
  }
  PauseForTest(run);
  for (int i = 0; i < run->options->dialogActionCount; ++i) {
    const char* action = run->options->dialogActions[i];
    if (strcmp(action, "close") == 0) {
      PostMessageA(dialog, WM_CLOSE, 0, 0);
    } else if (strcmp(action, "cancel") == 0) {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
      PostMessageA(dialog, WM_COMMAND, STOP_COMMAND, 0);
    }
  }
}

static void WriteEnd(Run* run, const char* event, long value, const char* field) {
  Line line;
  StartLine(&line, event);
  Append(&line, ",\"");
  Append(&line, field);
  Append(&line, "\":");
  AppendNumber(&line, value);
  WriteLine(run, &line);
}

// The driver's environment with the options' NAME=VALUE entries set.
static char* BuildEnvironment(const RunOptions* options) {
  char* own = GetEnvironmentStringsA();
  if (own == nullptr) return nullptr;
  size_t ownSize = 0;
  while (own[ownSize] != '\0' || own[ownSize + 1] != '\0') ++ownSize;
  size_t size = ownSize + 2;
  for (int i = 0; i < options->environmentCount; ++i) size += strlen(options->environment[i]) + 1;
  char* block = static_cast<char*>(calloc(size, 1));
  if (block != nullptr) {
    size_t used = 0;
    for (const char* entry = own; *entry != '\0'; entry += strlen(entry) + 1) {
      int replaced = 0;
      for (int i = 0; i < options->environmentCount; ++i) {
        const char* setting = options->environment[i];
        size_t nameLength = strcspn(setting, "=");
        replaced |= _strnicmp(entry, setting, nameLength) == 0 && entry[nameLength] == '=';
      }
      if (!replaced) {
        memcpy(block + used, entry, strlen(entry) + 1);
        used += strlen(entry) + 1;
      }
    }
    for (int i = 0; i < options->environmentCount; ++i) {
      memcpy(block + used, options->environment[i], strlen(options->environment[i]) + 1);
      used += strlen(options->environment[i]) + 1;
    }
    block[used] = '\0';
  }
  FreeEnvironmentStringsA(own);
  return block;
}

static void DriveProcess(const RunOptions* options, HANDLE report, int* outcome) {
  Run run;
  memset(&run, 0, sizeof run);
  run.options = options;
  run.report = report;
  char commandLine[sizeof options->commandLine];
  memcpy(commandLine, options->commandLine, sizeof commandLine);
  char* environment = BuildEnvironment(options);
  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  int started = environment != nullptr &&
                CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, environment,
                               options->folder, &startup, &run.process);
  free(environment);
  *outcome = DRIVER_FAILED;
  if (!started) {
    ReportError(&run, "start");
    return;
  }

  DWORD startTime = GetTickCount();
  int timedOut = 0;
  while (!timedOut && WaitForSingleObject(run.process.hProcess, POLL_MS) == WAIT_TIMEOUT) {
    if (run.dialog != nullptr && !IsWindow(run.dialog)) {
      WriteDialogEvent(&run, "destroy");
      run.dialog = nullptr;
    }
    HWND dialog = run.dialog == nullptr ? FindNewWindow(&run, 0) : nullptr;
    if (dialog != nullptr) HandleDialog(&run, dialog);
    HWND box = FindNewWindow(&run, 1);
    if (box != nullptr) HandleBox(&run, box);
    if (GetTickCount() - startTime > options->timeoutMs) {
      timedOut = 1;
      TerminateProcess(run.process.hProcess, 255);
      WaitForSingleObject(run.process.hProcess, 5000);
    }
  }
  if (run.dialog != nullptr) WriteDialogEvent(&run, "destroy");
  if (timedOut) WriteEnd(&run, "timeout", (long)(options->timeoutMs / 1000), "seconds");
  DWORD code = 0;
  GetExitCodeProcess(run.process.hProcess, &code);
  WriteEnd(&run, "exit", (long)code, "code");
  CloseHandle(run.process.hThread);
  CloseHandle(run.process.hProcess);
  *outcome = timedOut ? DRIVER_TIMEOUT : run.failed ? DRIVER_FAILED : DRIVER_DONE;
}

// Quotes one argument as the C runtime's parser reads it back.
static int AppendArgument(char* out, size_t size, const char* argument) {
  size_t used = strlen(out);
  int needsQuotes = argument[0] == '\0' || strpbrk(argument, " \t\"") != nullptr;
  char piece[1024];
  size_t length = 0;
  if (used > 0) piece[length++] = ' ';
  if (needsQuotes) piece[length++] = '"';
  for (const char* p = argument; *p != '\0' && length + 4 < sizeof piece; ++p) {
    if (*p == '"') piece[length++] = '\\';
    piece[length++] = *p;
  }
  if (needsQuotes) piece[length++] = '"';
  piece[length] = '\0';
  if (used + length + 1 > size) return 0;
  memcpy(out + used, piece, length + 1);
  return 1;
}

static int ParseOptions(int argc, char** argv, RunOptions* options) {
  memset(options, 0, sizeof *options);
  options->timeoutMs = 60000;
  int i = 1;
  for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
    const char* name = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (strcmp(name, "--dialog-menu") == 0) {
      options->dialogMenu = 1;
      continue;
    }
    if (value == nullptr) return 0;
    ++i;
    if (strcmp(name, "--report") == 0) {
      options->report = value;
    } else if (strcmp(name, "--answers") == 0) {
      options->answers = value;
    } else if (strcmp(name, "--cwd") == 0) {
      options->folder = value;
    } else if (strcmp(name, "--env") == 0 && options->environmentCount < MAX_LISTED &&
               strchr(value, '=') != nullptr) {
      options->environment[options->environmentCount++] = value;
    } else if (strcmp(name, "--timeout") == 0 && atoi(value) > 0) {
      options->timeoutMs = (DWORD)atoi(value) * 1000;
    } else if (strcmp(name, "--dialog") == 0 && options->dialogActionCount < MAX_LISTED &&
               (strcmp(value, "close") == 0 || strcmp(value, "cancel") == 0 ||
                strcmp(value, "stop") == 0)) {
      options->dialogActions[options->dialogActionCount++] = value;
    } else if (strcmp(name, "--second") == 0) {
      options->secondReport = value;
    } else if (strcmp(name, "--pause") == 0) {
      options->pauseFile = value;
    } else {
      return 0;
    }
  }
  if (options->report == nullptr || i + 1 >= argc) return 0;
  for (++i; i < argc; ++i) {
    if (!AppendArgument(options->commandLine, sizeof options->commandLine, argv[i])) return 0;
  }
  return 1;
}

int main(int argc, char** argv) {
  static RunOptions options;
  if (!ParseOptions(argc, argv, &options)) {
    fprintf(stderr, "usage: wine_driver.exe --report FILE [options] -- PROGRAM [ARGUMENTS...]\n");
    return DRIVER_USAGE;
  }
  HANDLE report = CreateFileA(options.report, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (report == INVALID_HANDLE_VALUE) {
    fprintf(stderr, "wine_driver: cannot open the report %s\n", options.report);
    return DRIVER_FAILED;
  }
  int outcome = DRIVER_DONE;
  DriveProcess(&options, report, &outcome);
  CloseHandle(report);
  return outcome;
}
