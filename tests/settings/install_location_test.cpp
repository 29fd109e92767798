// Finding the install folder through the product settings file, comparing
// the recorded version and recording the package version.
#include "app/update_state.h"
#include "platform/host/testing.h"
#include "settings/install_location.h"
#include "tests/settings/settings_files.h"
#include "tests/settings/settings_scenarios.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

// ホロメリダ and カルネヴィオ in code page 932.
#define BRAND "\x83\x7A\x83\x8D\x83\x81\x83\x8A\x83\x5F"
#define TITLE "\x83\x4A\x83\x8B\x83\x6C\x83\x94\x83\x42\x83\x49"

class InstallLocation : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHostState();
    memset(&State, 0, sizeof State);
    folder = MakeTempFolder("settings");
    ASSERT_FALSE(folder.empty());
    perUser = folder + "/roaming";
    allUsers = folder + "/programdata";
    ASSERT_EQ(mkdir(perUser.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(allUsers.c_str(), 0755), 0);
    transcript = folder + "/transcript.jsonl";
    setenv("UPDATER_TRANSCRIPT", transcript.c_str(), 1);
    setenv("UPDATER_ANSWERS", "ok", 1);
    setenv("APPDATA", perUser.c_str(), 1);
    setenv("PROGRAMDATA", allUsers.c_str(), 1);
  }
  void TearDown() override {
    for (const char* name : {"UPDATER_TRANSCRIPT", "UPDATER_ANSWERS", "APPDATA", "PROGRAMDATA"}) {
      unsetenv(name);
    }
    ResetHostState();
    std::filesystem::remove_all(folder);
  }
  std::string folder, perUser, allUsers, transcript;
};

TEST_F(InstallLocation, SettingsPathJoinsTheFolderTheBrandAndTheShortName) {
  char path[PATH_TEXT_SIZE];
  EXPECT_EQ(BuildSettingsPath("C:\\Users\\u\\AppData\\Roaming", path), 1);
  EXPECT_STREQ(path, "C:\\Users\\u\\AppData\\Roaming\\" BRAND "\\Velmora.ini");
}

TEST_F(InstallLocation, SettingsPathThatDoesNotFitIsRefusedWithoutOverrun) {
  // "\" BRAND "\Velmora.ini" adds 23 bytes: a 236-byte folder just fits.
  const struct {
    size_t folderLength;
    int fits;
  } cases[] = {{236, 1}, {237, 0}, {400, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folderLength);
    std::string appData = "C:\\" + std::string(c.folderLength - 3, 'a');
    char out[PATH_TEXT_SIZE + 64];
    memset(out, '#', sizeof out);
    EXPECT_EQ(BuildSettingsPath(appData.c_str(), out), c.fits);
    EXPECT_EQ(strlen(out), c.fits ? (size_t)PATH_TEXT_SIZE - 1 : 0u);
    EXPECT_EQ(std::string(out + PATH_TEXT_SIZE, 64), std::string(64, '#'));
  }
}

TEST_F(InstallLocation, ReadsTheInstallFolderFromThePerUserSettingsFile) {
  ASSERT_FALSE(
      WriteSettingsFile(perUser, "[INSTALL]\r\nInstallFold=C:\\Games\\" TITLE "\r\n").empty());
  ASSERT_FALSE(WriteSettingsFile(allUsers, "[INSTALL]\r\nInstallFold=D:\\Other\r\n").empty());
  EXPECT_EQ(LocateInstallation(), 1);
  EXPECT_STREQ(State.installFolder, "C:\\Games\\" TITLE);
  EXPECT_EQ(State.appDataFolder, WindowsPath(perUser));
  EXPECT_TRUE(ReadLines(transcript).empty());
}

TEST_F(InstallLocation, WithoutAnInstallKeyTheFolderIsAStar) {
  ASSERT_FALSE(WriteSettingsFile(perUser, "[SYSTEM_UPDATE]\r\nversion=1.0\r\n").empty());
  EXPECT_EQ(LocateInstallation(), 1);
  EXPECT_STREQ(State.installFolder, "*");
}

TEST_F(InstallLocation, TheAllUsersFolderStandsInOnlyWhenThePerUserOneIsMissing) {
  ASSERT_FALSE(WriteSettingsFile(allUsers, "[INSTALL]\r\nInstallFold=D:\\All\r\n").empty());
  const struct {
    const char* name;
    const char* perUserSetting;  // null: unset
    int found;
  } cases[] = {
      {"per-user unset", nullptr, 1},
      {"per-user folder absent", "/nonexistent-updater-appdata", 1},
      {"per-user folder without the file", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    memset(&State, 0, sizeof State);
    if (c.perUserSetting == nullptr) {
      unsetenv("APPDATA");
    } else {
      setenv("APPDATA", c.perUserSetting[0] ? c.perUserSetting : perUser.c_str(), 1);
    }
    EXPECT_EQ(LocateInstallation(), c.found);
    EXPECT_STREQ(State.installFolder, c.found ? "D:\\All" : "");
    EXPECT_EQ(State.appDataFolder, c.found ? WindowsPath(allUsers) : WindowsPath(perUser));
  }
  EXPECT_TRUE(ReadLines(transcript).empty());
}

TEST_F(InstallLocation, NoAppDataFolderAtAllIsReportedAsAnUnknownError) {
  unsetenv("APPDATA");
  unsetenv("PROGRAMDATA");
  EXPECT_EQ(LocateInstallation(), 0);
  EXPECT_EQ(ReadLines(transcript), std::vector<std::string>{NO_APPDATA_BOX});
}

TEST_F(InstallLocation, NoFileOrAFolderInItsPlaceIsSilentlyNotFound) {
  EXPECT_EQ(LocateInstallation(), 0);
  ASSERT_TRUE(std::filesystem::create_directories(perUser + "/ホロメリダ/Velmora.ini"));
  EXPECT_EQ(LocateInstallation(), 0);
  EXPECT_STREQ(State.installFolder, "");
  EXPECT_TRUE(ReadLines(transcript).empty());
}

TEST_F(InstallLocation, AnAppDataFolderTooLongForTheSettingsPathIsNotFound) {
  std::string longFolder = perUser + "/" + std::string(240, 'a');
  ASSERT_EQ(mkdir(longFolder.c_str(), 0755), 0);
  setenv("APPDATA", longFolder.c_str(), 1);
  EXPECT_EQ(LocateInstallation(), 0);
  EXPECT_STREQ(State.installFolder, "");
  EXPECT_TRUE(ReadLines(transcript).empty());
}

TEST_F(InstallLocation, ALongInstallFolderIsCutToItsBuffer) {
  std::string longFolder = "C:\\" + std::string(300, 'g');
  ASSERT_FALSE(
      WriteSettingsFile(perUser, "[INSTALL]\r\nInstallFold=" + longFolder + "\r\n").empty());
  EXPECT_EQ(LocateInstallation(), 1);
  EXPECT_EQ(std::string(State.installFolder), longFolder.substr(0, PATH_TEXT_SIZE - 1));
  EXPECT_EQ(State.appDataFolder, WindowsPath(perUser));
}

TEST_F(InstallLocation, RecordedVersionsCompareAsSinglePrecisionDecimals) {
  const struct {
    const char* recorded;  // null: no version key
    int applied;
  } cases[] = {
      {"1.1", 1},        {"1.10", 1},      {"1.2", 1}, {"1.05", 0},  {"1.0", 0},
      {"1.9", 1},        {"abc", 0},       {"", 0},    {"*1.2", 0},  {"1.1.5", 1},
      {"1.09999999", 1}, {"1.0999999", 0}, {" 2 ", 1}, {nullptr, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.recorded != nullptr ? c.recorded : "(no key)");
    std::string contents = "[INSTALL]\r\nInstallFold=C:\\G\r\n";
    if (c.recorded != nullptr)
      contents += "[SYSTEM_UPDATE]\r\nversion=" + std::string(c.recorded) + "\r\n";
    ASSERT_FALSE(WriteSettingsFile(perUser, contents).empty());
    ASSERT_EQ(LocateInstallation(), 1);
    EXPECT_EQ(IsUpdateAlreadyApplied(), c.applied);
  }
}

TEST_F(InstallLocation, RecordingWritesThePackageVersionAndKeepsTheRest) {
  const char* before = "[INSTALL]\r\nInstallFold=C:\\G\r\n\r\n[SYSTEM_UPDATE]\r\nversion=1.0\r\n";
  std::string path = WriteSettingsFile(perUser, before);
  ASSERT_FALSE(path.empty());
  ASSERT_EQ(LocateInstallation(), 1);
  EXPECT_EQ(IsUpdateAlreadyApplied(), 0);
  EXPECT_EQ(RecordUpdateVersion(), 1);
  bool exists = false;
  EXPECT_EQ(ReadWholeFile(path, &exists),
            "[INSTALL]\r\nInstallFold=C:\\G\r\n\r\n[SYSTEM_UPDATE]\r\nversion=1.1\r\n");
  EXPECT_EQ(IsUpdateAlreadyApplied(), 1);
}

TEST_F(InstallLocation, AFailedRecordGoesUnnoticedAndLeavesTheOldRecord) {
  const char* before = "[INSTALL]\r\nInstallFold=C:\\G\r\n";
  std::string path = WriteSettingsFile(perUser, before);
  ASSERT_EQ(LocateInstallation(), 1);
  InjectFault(FAULT_PROFILE_WRITE, nullptr, 0, 1, FAULT_FAIL);
  EXPECT_EQ(RecordUpdateVersion(), 1);
  EXPECT_EQ(FaultCallCount(FAULT_PROFILE_WRITE), 1);
  bool exists = false;
  EXPECT_EQ(ReadWholeFile(path, &exists), before);
  EXPECT_EQ(IsUpdateAlreadyApplied(), 0);
}
