// The host edition run as a program through the settings scenes: no
// AppData folder, a settings file without the install key, and a recorded
// version that makes the update unnecessary.
#include "tests/settings/settings_files.h"
#include "tests/settings/settings_scenarios.h"
#include "tests/wine/main_flow_lines.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

class HostScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = MakeTempFolder("settings");
    ASSERT_FALSE(folder.empty());
    scene = folder + "/scene";
    ASSERT_EQ(mkdir(scene.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((folder + "/windows").c_str(), 0755), 0);
    transcript = folder + "/transcript.jsonl";
    // The updater inherits this process's environment: no AppData folder
    // reaches it unless a scene gives one.
    unsetenv("APPDATA");
    unsetenv("PROGRAMDATA");
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  int Run(const std::vector<std::string>& scenery, const char* answers) {
    std::vector<std::string> settings = scenery;
    settings.push_back("UPDATER_TRANSCRIPT=" + transcript);
    settings.push_back("UPDATER_WINDOW_DIR=" + folder + "/windows");
    settings.push_back(std::string("UPDATER_ANSWERS=") + answers);
    return RunHostUpdater(settings);
  }
  std::string folder, scene, transcript;
};

TEST_F(HostScenario, NoAppDataFolderEndsWithExitOneAfterTwoBoxes) {
  EXPECT_EQ(Run({}, "ok,ok"), 1);
  EXPECT_EQ(ReadLines(transcript),
            (std::vector<std::string>{NO_APPDATA_BOX, NOT_FOUND_BOX, ExitLine(1)}));
}

TEST_F(HostScenario, SettingsWithoutTheInstallKeyFailTheIntegrityCheck) {
  ASSERT_FALSE(
      WriteSettingsFile(scene + "/appdata", "[SYSTEM]\r\nProductCode=VELMORA\r\n").empty());
  EXPECT_EQ(Run({"APPDATA=" + scene + "/appdata"}, "ok"), 2);
  EXPECT_EQ(ReadLines(transcript), (std::vector<std::string>{DAMAGED_BOX, ExitLine(2)}));
}

TEST_F(HostScenario, ALaterRecordedVersionAsksAndNoChangesNothing) {
  ASSERT_TRUE(MakeRecordedInstallation(scene + "/install", scene + "/appdata", "1.2"));
  std::map<std::string, std::string> before = SnapshotFolder(scene);
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(Run({"APPDATA=" + scene + "/appdata"}, "no"), 0);
  EXPECT_EQ(ReadLines(transcript),
            (std::vector<std::string>{NOT_NEEDED_DECLINED_BOX, ExitLine(0)}));
  EXPECT_EQ(SnapshotFolder(scene), before);
}
