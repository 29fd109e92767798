// Message boxes of the host edition: answered from env UPDATER_ANSWERS when
// it is set, else asked on the terminal, else given their first button as
// Enter would. While a box waits its caption is a registered window title.
#include "platform/messagebox.h"

#include "platform/host/host_paths.h"
#include "platform/host/transcript.h"
#include "platform/host/window_registry.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static int AnswersTaken;

void ResetHostMessageBoxes() { AnswersTaken = 0; }

struct Button {
  const char* name;
  int answer;
};

static int ButtonsOf(unsigned style, Button* buttons) {
  switch (style & 0x0F) {
    case BOX_OK_CANCEL:
      buttons[0] = {"ok", ANSWER_OK};
      buttons[1] = {"cancel", ANSWER_CANCEL};
      return 2;
    case BOX_YES_NO:
      buttons[0] = {"yes", ANSWER_YES};
      buttons[1] = {"no", ANSWER_NO};
      return 2;
    default:
      buttons[0] = {"ok", ANSWER_OK};
      return 1;
  }
}

// The next entry of UPDATER_ANSWERS into out; 0 when none is left.
static int NextListedAnswer(char* out, size_t size) {
  const char* list = getenv("UPDATER_ANSWERS");
  if (list == nullptr) return 0;
  const char* start = list;
  for (int skipped = 0; skipped < AnswersTaken; ++skipped) {
    start = strchr(start, ',');
    if (start == nullptr) return 0;
    ++start;
  }
  size_t length = strcspn(start, ",");
  if (length == 0 && start[0] == '\0') return 0;
  ++AnswersTaken;
  snprintf(out, size, "%.*s", (int)length, start);
  return 1;
}

static int Choose(const Button* buttons, int count, const char* wanted) {
  for (int i = 0; i < count; ++i) {
    if (strcmp(buttons[i].name, wanted) == 0) return i;
  }
  fprintf(stderr, "updater: the answer '%s' is not a button of this box; taking '%s'\n", wanted,
          buttons[0].name);
  return 0;
}

static int AskOnTerminal(const Button* buttons, int count) {
  for (;;) {
    fprintf(stderr, "[");
    for (int i = 0; i < count; ++i) fprintf(stderr, "%s%s", i ? "/" : "", buttons[i].name);
    fprintf(stderr, "] (Enter: %s) > ", buttons[0].name);
    fflush(stderr);
    char line[64];
    if (fgets(line, sizeof line, stdin) == nullptr) return 0;
    line[strcspn(line, "\r\n")] = '\0';
    if (line[0] == '\0') return 0;
    for (int i = 0; i < count; ++i) {
      if (strcmp(buttons[i].name, line) == 0) return i;
    }
  }
}

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned style) {
  Button buttons[2];
  int count = ButtonsOf(style, buttons);
  int registration = RegisterWindowTitle(caption);
  int answersListed = getenv("UPDATER_ANSWERS") != nullptr;
  int onTerminal = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);

  char captionUtf8[2048];
  char textUtf8[4096];
  if (!Cp932ToUtf8(caption, captionUtf8, sizeof captionUtf8)) strcpy(captionUtf8, "?");
  if (!Cp932ToUtf8(text, textUtf8, sizeof textUtf8)) strcpy(textUtf8, "?");

  char listed[64];
  int chosen = 0;
  if (isatty(STDERR_FILENO)) fprintf(stderr, "\n== %s ==\n%s\n", captionUtf8, textUtf8);
  if (answersListed) {
    if (NextListedAnswer(listed, sizeof listed)) chosen = Choose(buttons, count, listed);
  } else if (onTerminal) {
    chosen = AskOnTerminal(buttons, count);
  }
  UnregisterWindowTitle(registration);

  char captionJson[4096];
  char textJson[8192];
  JsonStringFromCp932(caption, captionJson, sizeof captionJson);
  JsonStringFromCp932(text, textJson, sizeof textJson);
  char fields[13000];
  snprintf(fields, sizeof fields,
           "\"owner\":\"%s\",\"caption\":%s,\"text\":%s,\"style\":%u,\"answer\":\"%s\"",
           owner != nullptr ? "dialog" : "none", captionJson, textJson, style,
           buttons[chosen].name);
  WriteTranscriptEvent("messagebox", fields);
  return buttons[chosen].answer;
}
