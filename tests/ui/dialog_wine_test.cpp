// The real progress dialog under Wine, driven as a user would: its title,
// its system menu, and what a close request, the dialog manager's Cancel
// and the stop command do while it copies.
#include "app/message_catalogue.h"
#include "tests/ui/sample_run.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const uint32_t CHUNK = 65534;
// Big enough that the driver sees the dialog, and posts to it, while the
// copy still runs.
const uint32_t PACKAGE_SIZE = 1000 * CHUNK;
const std::string DRIVER = UPDATER_WINDOWS_BIN "/wine_driver.exe";

// The per-user AppData folder of the test run's Wine prefix, where
// UpDate.exe looks for the settings file.
std::string PrefixAppData() {
  const char* state = getenv("UPDATER_WINE_STATE");
  const passwd* user = getpwuid(getuid());
  if (state == nullptr || user == nullptr) return "";
  return std::string(state) + "/prefix/drive_c/users/" + user->pw_name + "/AppData/Roaming";
}

struct DrivenRun {
  int driverCode;
  std::vector<std::string> lines;
  std::string installed;
  std::string package;
  std::string version;
};

DrivenRun Drive(const std::vector<std::string>& options) {
  DrivenRun run = {-1, {}, "", "", ""};
  Sample sample;
  const std::string appData = PrefixAppData();
  EXPECT_FALSE(appData.empty()) << "UPDATER_WINE_STATE is not set";
  if (appData.empty() || !MakeSample(UPDATER_WINDOWS_EXE, appData, PACKAGE_SIZE, &sample)) {
    ADD_FAILURE() << "the sample installation could not be made";
    RemoveSample(sample);
    return run;
  }
  const std::string report = sample.root + "/report.jsonl";
  std::vector<std::string> arguments = {
      DRIVER, "--report", WindowsPath(report), "--answers", "ok,ok", "--timeout", "120"};
  arguments.insert(arguments.end(), options.begin(), options.end());
  arguments.push_back("--");
  arguments.push_back(WindowsPath(sample.updater + "/UpDate.exe"));
  run.driverCode = RunUnderWine(arguments, sample.root + "/wine.log");
  run.lines = UserVisibleLines(ReadLines(report));
  run.installed = ReadHostFile(sample.install + "/dll/MUR.dll");
  run.package = ReadHostFile(sample.updater + "/data/dll/MUR.dll");
  run.version = RecordedVersion(appData);
  RemoveSample(sample);
  return run;
}

const std::string NO_CLOSE_IN_MENU = "{\"event\":\"systemmenu\",\"close\":0}";

TEST(WineDialog, FinishedRunShowsTheCaptionAndNoCloseCommand) {
  DrivenRun run = Drive({"--dialog-menu"});
  EXPECT_EQ(run.driverCode, 0);
  EXPECT_EQ(run.lines, (std::vector<std::string>{ConfirmBox(), DialogLine("create"),
                                                 NO_CLOSE_IN_MENU, DialogLine("destroy"),
                                                 MainFlowBox(MSG_FINISHED, 0), ExitLine(0)}));
  EXPECT_EQ(run.version, "1.1");
  EXPECT_TRUE(run.installed == run.package) << "the installed file differs from the package's";
}

TEST(WineDialog, CloseAndDialogCancelChangeNothing) {
  DrivenRun run = Drive({"--dialog", "close", "--dialog", "cancel"});
  EXPECT_EQ(run.driverCode, 0);
  EXPECT_EQ(run.lines,
            (std::vector<std::string>{ConfirmBox(), DialogLine("create"), DialogLine("destroy"),
                                      MainFlowBox(MSG_FINISHED, 0), ExitLine(0)}));
  EXPECT_EQ(run.version, "1.1");
  EXPECT_TRUE(run.installed == run.package) << "the installed file differs from the package's";
}

// Posted at the same moment as in the test above, but followed by the stop
// command: the close request and Cancel did not end the copy, the stop did.
TEST(WineDialog, StopCommandEndsTheUpdateUnrecorded) {
  DrivenRun run = Drive({"--dialog", "close", "--dialog", "cancel", "--dialog", "stop"});
  EXPECT_EQ(run.driverCode, 0);
  EXPECT_EQ(run.lines,
            (std::vector<std::string>{ConfirmBox(), DialogLine("create"), DialogLine("destroy"),
                                      MainFlowBox(MSG_ABORTED, 0x30), ExitLine(0)}));
  EXPECT_EQ(run.version, "*");
  EXPECT_GE(run.installed.size(), 4u * CHUNK) << "the three posts are taken one per chunk";
  EXPECT_LT(run.installed.size(), run.package.size());
  EXPECT_EQ(run.installed.size() % CHUNK, 0u);
  EXPECT_TRUE(run.installed == run.package.substr(0, run.installed.size()));
}

}  // namespace
