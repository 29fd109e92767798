#include "tests/setuplist/list_check.h"

#include "app/update_state.h"
#include "platform/host/host_paths.h"
#include "platform/host/testing.h"
#include "setuplist/merged_list.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

static int PointAt(char* field, const std::string& hostPath) {
  char windowsPath[PATH_TEXT_SIZE];
  return WindowsPathFromHost(hostPath.c_str(), windowsPath, sizeof windowsPath) &&
         snprintf(field, PATH_TEXT_SIZE, "%s", windowsPath) < PATH_TEXT_SIZE;
}

int PrepareMergeFolders(const std::string& root) {
  if (mkdir((root + "/data").c_str(), 0755) != 0) return 0;
  if (mkdir((root + "/install").c_str(), 0755) != 0) return 0;
  setenv("UPDATER_TRANSCRIPT", (root + "/transcript.jsonl").c_str(), 1);
  setenv("UPDATER_WINDOW_DIR", (root + "/windows").c_str(), 1);
  unsetenv("UPDATER_ANSWERS");
  memset(&State, 0, sizeof State);
  snprintf(State.caption, sizeof State.caption, "Velmora - Update Program");
  return PointAt(State.packageFolder, root + "/data") &&
         PointAt(State.installFolder, root + "/install");
}

static std::string TextOf(const std::string& file) { return file.substr(0, file.find('\0')); }

std::string ModelMergedFile(const std::string& packageFile, const std::string& installedFile) {
  std::string package = TextOf(packageFile);
  std::string installed = TextOf(installedFile);
  std::string merged;
  size_t line = 0;
  while (line < package.size()) {
    size_t end = package.find(';', line);
    std::string entry = package.substr(line, end == std::string::npos ? end : end - line);
    if (installed.find(entry) == std::string::npos) merged += entry + ";\n";
    size_t lineBreak = package.find_first_of("\r\n", line);
    if (lineBreak == std::string::npos) {
      line = package.size();
    } else {
      line = lineBreak + (package.compare(lineBreak, 2, "\r\n") == 0 ? 2 : 1);
    }
  }
  merged += installed;
  if (merged.size() < packageFile.size() + installedFile.size()) {
    merged.resize(packageFile.size() + installedFile.size(), '\0');
  }
  return merged;
}

std::string ComposedList(const std::string& package, const std::string& installed,
                         const InstalledTextIndex* index) {
  uint64_t length = ComposeMergedList(package.c_str(), (uint32_t)package.size(), installed.c_str(),
                                      (uint32_t)installed.size(), index, nullptr, 0);
  std::string merged(length, '\0');
  ComposeMergedList(package.c_str(), (uint32_t)package.size(), installed.c_str(),
                    (uint32_t)installed.size(), index, &merged[0], merged.size());
  return merged;
}

std::string MergedFileFault(const std::string& installedBefore, const std::string& after) {
  std::string installed = TextOf(installedBefore);
  std::string text = TextOf(after);
  if (after.find_first_not_of('\0', text.size()) != std::string::npos) {
    return "text after the zero bytes";
  }
  if (text.size() < installed.size() ||
      text.compare(text.size() - installed.size(), installed.size(), installed) != 0) {
    return "the installed text is not whole at the end";
  }
  std::string added = text.substr(0, text.size() - installed.size());
  size_t at = 0;
  while (at < added.size()) {
    size_t semicolon = added.find(';', at);
    if (semicolon == std::string::npos || added.compare(semicolon, 2, ";\n") != 0) {
      return "an added entry is not ended by \";\\n\"";
    }
    std::string entry = added.substr(at, semicolon - at);
    if (entry.empty()) return "an empty entry was added";
    if (installed.find(entry) != std::string::npos) return "an entry already present was added";
    at = semicolon + 2;
  }
  return "";
}

struct MergeFault {
  const char* name;
  FaultOperation op;
  int skip;
  FaultEffect effect;
};

// Reads come package list first, then the installed list; allocations
// beyond the two lists' are the merge's own.
static const MergeFault MergeFaults[] = {
    {"package list not opened", FAULT_OPEN_READ, 0, FAULT_FAIL},
    {"installed list not opened", FAULT_OPEN_READ, 1, FAULT_FAIL},
    {"package list size unknown", FAULT_FILE_SIZE, 0, FAULT_FAIL},
    {"installed list size unknown", FAULT_FILE_SIZE, 1, FAULT_FAIL},
    {"package list read fails", FAULT_READ, 0, FAULT_FAIL},
    {"installed list read fails", FAULT_READ, 1, FAULT_FAIL},
    {"package list read short", FAULT_READ, 0, FAULT_SHORT},
    {"installed list read short", FAULT_READ, 1, FAULT_SHORT},
    {"allocation 1 fails", FAULT_ALLOCATE, 0, FAULT_FAIL},
    {"allocation 2 fails", FAULT_ALLOCATE, 1, FAULT_FAIL},
    {"allocation 3 fails", FAULT_ALLOCATE, 2, FAULT_FAIL},
    {"allocation 4 fails", FAULT_ALLOCATE, 3, FAULT_FAIL},
    {"allocation 5 fails", FAULT_ALLOCATE, 4, FAULT_FAIL},
    {"allocation 6 fails", FAULT_ALLOCATE, 5, FAULT_FAIL},
    {"installed list not opened for writing", FAULT_OPEN_REWRITE, 0, FAULT_FAIL},
    {"write fails", FAULT_WRITE, 0, FAULT_FAIL},
    {"write short", FAULT_WRITE, 0, FAULT_SHORT},
};

const char* InjectOneMergeFault(unsigned choice) {
  unsigned count = sizeof MergeFaults / sizeof MergeFaults[0];
  if (choice % (count + 1) == count) return "no fault";
  const MergeFault& fault = MergeFaults[choice % (count + 1)];
  InjectFault(fault.op, nullptr, fault.skip, 1, fault.effect);
  return fault.name;
}
