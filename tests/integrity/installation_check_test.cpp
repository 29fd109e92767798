// The check on sample installations made by make_installation, read
// through the host back end.
#include "app/message_catalogue.h"
#include "app/package_definition.h"
#include "integrity/installation_check.h"
#include "platform/host/host_paths.h"
#include "platform/host/testing.h"
#include "platform/host/transcript.h"
#include "platform/resources.h"
#include "tests/integrity/sample_installation.h"
#include "tests/support/back_end_paths.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A fresh installation made with the options; its install folder as a
// Windows path.
std::string Installation(const std::vector<std::string>& options) {
  std::string install = MakeTempFolder("integrity") + "/game";
  std::vector<std::string> all = {"--install=" + install};
  all.insert(all.end(), options.begin(), options.end());
  EXPECT_EQ(MakeSampleInstallation(all), 0);
  return BackEndPath(install);
}

TEST(VerifyInstallation, AcceptsIntactInstallationsOnly) {
  struct Case {
    std::vector<std::string> options;
    int verdict;
  };
  const Case cases[] = {
      {{}, 1},
      {{"--pe64"}, 1},
      {{"--language=0"}, 1},
      {{"--exe-size=0"}, 1},
      {{"--exe-size=4"}, 1},
      {{"--exe-size=3"}, 1},
      {{"--exe-text-suffix=\\r\\n"}, 1},
      {{"--record-size=260"}, 1},
      {{"--record-size=261"}, 0},
      // A text of exactly 260 bytes has no zero inside the record; one more
      // byte makes the resource too large.
      {{"--exe-text-suffix=" + std::string(244, 'g')}, 1},
      {{"--exe-text-suffix=" + std::string(245, 'g')}, 0},
      {{"--damage-exe"}, 0},
      {{"--damage-exe-at=0"}, 0},
      {{"--damage-module-outside-window"}, 0},
      {{"--damage-module-inside-window"}, 0},
      {{"--damage-module-at=0"}, 0},
      {{"--exe-text=00000000"}, 0},
      {{"--no-record"}, 0},
      {{"--no-exe-text"}, 0},
      {{"--no-module"}, 0},
      {{"--no-exe"}, 0},
  };
  for (const Case& c : cases) {
    std::string what;
    for (const std::string& option : c.options) what += option.substr(0, 40) + " ";
    SCOPED_TRACE(what);
    ResetHostState();
    EXPECT_EQ(VerifyInstallation(Installation(c.options).c_str()), c.verdict);
  }
}

// Changing any byte outside the window is seen; inside it only the record's
// own figures lie, so a change there is seen through them.
TEST(VerifyInstallation, SeesAChangeOfAnyModuleByte) {
  std::string install = MakeTempFolder("integrity") + "/game";
  std::string layout;
  ASSERT_EQ(MakeSampleInstallation({"--install=" + install, "--print-layout"}, &layout), 0);
  long long size = LayoutValue(layout, "module_size");
  ASSERT_GT(size, 0);
  for (long long at = 0; at < size; at += 97) {
    ASSERT_EQ(MakeSampleInstallation({"--install=" + install, "--damage-module-at=" +
                                                                  std::to_string(at)}),
              0);
    EXPECT_EQ(VerifyInstallation(BackEndPath(install).c_str()), 0) << at;
  }
}

TEST(VerifyInstallation, FailsWhenAFileCannotBeReadWhole) {
  struct Case {
    const char* what;
    FaultOperation op;
    const char* path;
    FaultEffect effect;
  };
  const Case cases[] = {
      {"module not loadable", FAULT_OPEN_MODULE, nullptr, FAULT_FAIL},
      {"module not opened", FAULT_OPEN_READ, "RESOURCE.dll", FAULT_FAIL},
      {"module size unknown", FAULT_FILE_SIZE, "RESOURCE.dll", FAULT_FAIL},
      {"module read fails", FAULT_READ, "RESOURCE.dll", FAULT_FAIL},
      {"module read short", FAULT_READ, "RESOURCE.dll", FAULT_SHORT},
      {"executable not opened", FAULT_OPEN_READ, "Velmora.exe", FAULT_FAIL},
      {"executable size unknown", FAULT_FILE_SIZE, "Velmora.exe", FAULT_FAIL},
      {"executable read fails", FAULT_READ, "Velmora.exe", FAULT_FAIL},
      {"executable read short", FAULT_READ, "Velmora.exe", FAULT_SHORT},
      {"no memory", FAULT_ALLOCATE, nullptr, FAULT_FAIL},
  };
  std::string install = Installation({});
  ResetHostState();
  ASSERT_EQ(VerifyInstallation(install.c_str()), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHostState();
    InjectFault(c.op, c.path, 0, 1, c.effect);
    EXPECT_EQ(VerifyInstallation(install.c_str()), 0);
    EXPECT_GE(FaultCallCount(c.op), 1);
  }
  ResetHostState();
}

// Without memory for one figure's text the check still reads the executable
// and fails only at the comparison.
TEST(VerifyInstallation, AFigureWithoutMemoryReadsAsZero) {
  std::string install = Installation({});
  ResetHostState();
  // The allocations: the module's bytes, the XOR text, the sum text.
  InjectFault(FAULT_ALLOCATE, nullptr, 1, 1, FAULT_FAIL);
  EXPECT_EQ(VerifyInstallation(install.c_str()), 0);
  EXPECT_EQ(FaultCallCount(FAULT_OPEN_READ), 2);
  EXPECT_EQ(FaultCallCount(FAULT_ALLOCATE), 4);
  ResetHostState();
}

// The module path takes 17 bytes and the executable path 12 after the
// folder: a folder of 242 bytes still fits, one of 243 is refused.
TEST(VerifyInstallation, RefusesAFolderWhosePathsDoNotFit) {
  std::string base = MakeTempFolder("integrity-long");
  for (size_t length : {242u, 243u, 300u}) {
    SCOPED_TRACE(length);
    // "Z:", the base folder and a '/', then elements Linux accepts.
    size_t needed = length - 2 - base.size() - 1;
    std::string rest(needed, 'a');
    for (size_t i = 99; i + 1 < needed; i += 100) rest[i] = '/';
    std::string folder = base + "/" + rest;
    std::string windows = BackEndPath(folder);
    ASSERT_EQ(windows.size(), length);
    ASSERT_EQ(MakeSampleInstallation({"--install=" + folder}), 0);
    ResetHostState();
    EXPECT_EQ(VerifyInstallation(windows.c_str()), length <= 242 ? 1 : 0);
  }
}

// Names are found as Windows finds them, whatever their case.
TEST(LoadNamedRecord, CopiesTheRecordAndZeroFillsTheRest) {
  std::string install = MakeTempFolder("integrity") + "/game";
  ASSERT_EQ(MakeSampleInstallation({"--install=" + install, "--exe-text=ABC"}), 0);
  std::string module = BackEndPath(install) + "\\dll\\resource.DLL";
  uint8_t record[NAMED_RECORD_SIZE];
  memset(record, 0xEE, sizeof record);
  ResetHostState();
  ASSERT_EQ(LoadNamedRecord("velmora.exe", OpenResourceModule(module.c_str()), record), 1);
  EXPECT_EQ(memcmp(record, "ABC", 3), 0);
  for (size_t i = 3; i < sizeof record; ++i) ASSERT_EQ(record[i], 0) << i;
  EXPECT_EQ(LoadNamedRecord("Velmora.ini", OpenResourceModule(module.c_str()), record), 0);
}

}  // namespace

namespace {

struct HostRun {
  int exitCode;
  std::vector<std::string> transcript;
};

HostRun RunOnInstallation(const std::vector<std::string>& options, const char* answers) {
  std::string folder = MakeTempFolder("integrity-run");
  std::vector<std::string> all = {"--install=" + folder + "/game",
                                  "--appdata=" + folder + "/appdata"};
  all.insert(all.end(), options.begin(), options.end());
  EXPECT_EQ(MakeSampleInstallation(all), 0);
  mkdir((folder + "/windows").c_str(), 0700);
  HostRun run;
  run.exitCode = RunHostUpdater({"APPDATA=" + folder + "/appdata", "PROGRAMDATA=",
                                 "UPDATER_WINDOW_DIR=" + folder + "/windows",
                                 "UPDATER_TRANSCRIPT=" + folder + "/transcript.jsonl",
                                 std::string("UPDATER_ANSWERS=") + answers});
  run.transcript = ReadLines(folder + "/transcript.jsonl");
  return run;
}

std::string JsonText(const char* cp932) {
  char json[2048];
  JsonStringFromCp932(cp932, json, sizeof json);
  return std::string("\"text\":") + json + ",";
}

TEST(HostUpdater, RefusesADamagedInstallationWithExitTwo) {
  for (const char* damage : {"--damage-exe", "--damage-module-outside-window",
                             "--damage-module-inside-window"}) {
    SCOPED_TRACE(damage);
    HostRun run = RunOnInstallation({damage}, "ok");
    EXPECT_EQ(run.exitCode, 2);
    ASSERT_EQ(run.transcript.size(), 2u);
    EXPECT_NE(run.transcript[0].find(JsonText(MSG_INSTALL_DAMAGED)), std::string::npos);
    EXPECT_EQ(run.transcript[1], "{\"event\":\"exit\",\"code\":2}");
  }
}

TEST(HostUpdater, LetsAnIntactInstallationThroughToTheConfirmation) {
  char confirm[MESSAGE_TEXT_SIZE];
  snprintf(confirm, sizeof confirm, MSG_CONFIRM_START, Package.productTitle);
  HostRun run = RunOnInstallation({}, "cancel");
  EXPECT_EQ(run.exitCode, 0);
  ASSERT_EQ(run.transcript.size(), 2u);
  EXPECT_NE(run.transcript[0].find(JsonText(confirm)), std::string::npos);
  EXPECT_EQ(run.transcript[1], "{\"event\":\"exit\",\"code\":0}");
}

}  // namespace
