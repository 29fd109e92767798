// UpDate.exe under Wine against the host edition: the same boxes in the same
// order, and the same single-instance behaviour.
#include "tests/wine/main_flow_lines.h"
#include "tests/wine/runner.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

// Removes the product settings file from every user's AppData folder of
// the Wine prefix; nonzero when none is left.
static int RemoveWineSettingsFiles() {
  const char* state = getenv("UPDATER_WINE_STATE");
  if (state == nullptr) return 0;
  std::string users = std::string(state) + "/prefix/drive_c/users";
  DIR* folder = opendir(users.c_str());
  if (folder == nullptr) return 0;
  int clear = 1;
  int roamingSeen = 0;
  while (dirent* entry = readdir(folder)) {
    std::string roaming = users + "/" + entry->d_name + "/AppData/Roaming";
    struct stat info;
    if (entry->d_name[0] == '.' || stat(roaming.c_str(), &info) != 0) continue;
    roamingSeen = 1;
    std::string settings = roaming + "/ホロメリダ/Velmora.ini";
    unlink(settings.c_str());
    clear &= stat(settings.c_str(), &info) != 0;
  }
  closedir(folder);
  return clear && roamingSeen;
}

TEST(UpdaterUnderWine, NoInstallationIsReportedAsOnTheHostAndKeepsASecondOut) {
  ASSERT_TRUE(RemoveWineSettingsFiles());
  std::string folder = MakeTempFolder("mainflow");
  std::string first = folder + "/first.jsonl";
  std::string second = folder + "/second.jsonl";
  int driverCode =
      RunUnderWine({UPDATER_WINDOWS_BIN "/wine_driver.exe", "--report", WindowsPath(first),
                    "--second", WindowsPath(second), "--", WindowsPath(UPDATER_WINDOWS_EXE)},
                   folder + "/wine.log");
  EXPECT_EQ(driverCode, 0);
  std::vector<std::string> wineFirst = ReadLines(first);
  std::vector<std::string> wineSecond = ReadLines(second);
  EXPECT_EQ(wineFirst, (std::vector<std::string>{NOT_FOUND_BOX, ExitLine(1)}));
  EXPECT_EQ(wineSecond, (std::vector<std::string>{ExitLine(0)}));

  // The host edition in the same scene: no settings file, the first box
  // waiting while a second updater starts.
  std::vector<std::string> settings = NoInstallationSettings(folder);
  ASSERT_FALSE(settings.empty());
  TerminalUpdater host;
  ASSERT_TRUE(StartUpdaterOnTerminal(
      WithSetting(settings, "UPDATER_TRANSCRIPT=" + folder + "/host-first.jsonl"), &host));
  EXPECT_EQ(RunHostUpdater(WithSetting(settings, "UPDATER_TRANSCRIPT=" + folder + "/host-second.jsonl")),
            0);
  EXPECT_EQ(AnswerAndWait(&host, "\n"), 1);
  EXPECT_EQ(ReadLines(folder + "/host-first.jsonl"), wineFirst);
  EXPECT_EQ(ReadLines(folder + "/host-second.jsonl"), wineSecond);
}
