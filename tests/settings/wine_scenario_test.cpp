// UpDate.exe under Wine with a recorded version 1.2: it asks whether to go
// on, and answering No ends the run with exit code 0 and every file as it
// was, the same transcript as the host edition gives.
#include "tests/settings/settings_files.h"
#include "tests/settings/settings_scenarios.h"
#include "tests/wine/main_flow_lines.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// The per-user AppData folders of the Wine prefix.
static std::vector<std::string> WineRoamingFolders() {
  std::vector<std::string> folders;
  const char* state = getenv("UPDATER_WINE_STATE");
  std::error_code error;
  if (state == nullptr) return folders;
  for (const auto& user :
       std::filesystem::directory_iterator(std::string(state) + "/prefix/drive_c/users", error)) {
    std::filesystem::path roaming = user.path() / "AppData" / "Roaming";
    if (std::filesystem::is_directory(roaming, error)) folders.push_back(roaming.string());
  }
  return folders;
}

TEST(SettingsUnderWine, ALaterRecordedVersionAsksAndNoChangesNothing) {
  std::string folder = MakeTempFolder("settings");
  ASSERT_FALSE(folder.empty());
  std::string scene = folder + "/scene";
  ASSERT_TRUE(MakeRecordedInstallation(scene + "/install", scene + "/appdata", "1.2"));
  bool exists = false;
  std::string settings = ReadWholeFile(scene + "/appdata/ホロメリダ/Velmora.ini", &exists);
  ASSERT_TRUE(exists);
  std::vector<std::string> roaming = WineRoamingFolders();
  ASSERT_FALSE(roaming.empty());
  for (const std::string& appData : roaming) {
    ASSERT_FALSE(WriteSettingsFile(appData, settings).empty()) << appData;
  }
  std::map<std::string, std::string> before = SnapshotFolder(scene);

  std::string report = folder + "/wine.jsonl";
  EXPECT_EQ(RunUnderWine({UPDATER_WINDOWS_BIN "/wine_driver.exe", "--report", WindowsPath(report),
                          "--answers", "no", "--", WindowsPath(UPDATER_WINDOWS_EXE)},
                         folder + "/wine.log"),
            0);
  EXPECT_EQ(ReadLines(report), (std::vector<std::string>{NOT_NEEDED_DECLINED_BOX, ExitLine(0)}));
  EXPECT_EQ(SnapshotFolder(scene), before);
  for (const std::string& appData : roaming) {
    std::string path = appData + "/ホロメリダ/Velmora.ini";
    EXPECT_EQ(ReadWholeFile(path, &exists), settings) << path;
    std::filesystem::remove(path);
  }
  std::filesystem::remove_all(folder);
}
