// The merge over arbitrary package and installed lists, with at most one
// fault injected: the list is merged correctly or left as it was, and the
// index answers as the plain search does. Input: a fault choice byte, a
// split byte, then the two lists' bytes.
#include "setuplist/setup_list_merge.h"

#include "platform/host/testing.h"
#include "tests/setuplist/list_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

static std::string Root;

static void Require(bool holds, const char* what) {
  if (holds) return;
  fprintf(stderr, "setup list merge: %s\n", what);
  abort();
}

static void RemoveRoot() {
  std::string command = "rm -rf '" + Root + "'";
  if (system(command.c_str()) != 0) fprintf(stderr, "%s failed\n", command.c_str());
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/updater-merge-fuzz-XXXXXX";
  Require(mkdtemp(pattern) != nullptr, "no temporary folder");
  Root = pattern;
  atexit(RemoveRoot);
  Require(PrepareMergeFolders(Root), "the list folders cannot be made");
  unsetenv("UPDATER_TRANSCRIPT");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  std::string lists((const char*)data + 2, size - 2);
  size_t split = lists.size() * data[1] / 256;
  std::string package = lists.substr(0, split);
  std::string installed = lists.substr(split);
  WriteHostFile(Root + "/data/Setup.dat", package);
  WriteHostFile(Root + "/install/Setup.dat", installed);
  ResetHostState();
  InjectOneMergeFault(data[0]);

  int code = MergeSetupList();
  std::string after = ReadHostFile(Root + "/install/Setup.dat");
  if (code == 0) {
    Require(MergedFileFault(installed, after).empty(), "the merged list is not sound");
    Require(after == ModelMergedFile(package, installed), "the merged list is not the model's");
  } else {
    Require(after == installed, "a failed merge changed the installed list");
  }

  ResetHostState();
  std::string packageText = package.substr(0, package.find('\0'));
  std::string installedText = installed.substr(0, installed.find('\0'));
  InstalledTextIndex index;
  Require(BuildInstalledTextIndex(installedText.c_str(), (uint32_t)installedText.size(), &index),
          "no memory for the index");
  std::string indexed = ComposedList(packageText, installedText, &index);
  ReleaseInstalledTextIndex(&index);
  Require(indexed == ComposedList(packageText, installedText, nullptr),
          "the index and the plain search disagree");
  return 0;
}
