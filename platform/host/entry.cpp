// The host edition's process entry: runs the updater's WinMain as Windows
// would and records the exit code in the transcript.
#include "platform/entry.h"
#include "platform/host/transcript.h"

#include <cstdio>

int main(int, char**) {
  char commandLine[] = "";
  int code = WinMain(nullptr, nullptr, commandLine, 1);
  char fields[32];
  snprintf(fields, sizeof fields, "\"code\":%d", code);
  WriteTranscriptEvent("exit", fields);
  return code;
}
