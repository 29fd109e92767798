// The host reader and writer of initialisation files: the case table as
// Windows answers it, and the writer's refusals and failures, which must
// never leave a damaged or half-written file.
#include "platform/host/testing.h"
#include "platform/profile.h"
#include "tests/settings/profile_cases.h"
#include "tests/settings/profile_report.h"
#include "tests/settings/settings_files.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

class HostProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHostState();
    folder = MakeTempFolder("settings");
    ASSERT_FALSE(folder.empty());
  }
  void TearDown() override {
    ResetHostState();
    std::filesystem::remove_all(folder);
  }
  std::string folder;
};

TEST_F(HostProfile, FollowsWindowsOnEveryCaseOfTheTable) {
  ASSERT_TRUE(
      RunProfileCases(WindowsPath(folder).c_str(), WindowsPath(folder + "/report.txt").c_str()));
  ProfileReport report = ReadProfileReport(folder + "/report.txt");
  for (int i = 0; i < ProfileCaseCount; ++i) {
    EXPECT_EQ(report[ProfileCases[i].name], ExpectedProfileLines(ProfileCases[i]))
        << ProfileCases[i].name;
  }
}

static const char ORIGINAL[] = "[INSTALL]\r\nInstallFold=C:\\G\r\n[SYSTEM_UPDATE]\nversion=1.0\n";

TEST_F(HostProfile, AFailedWriteKeepsTheOldFileWholeAndLeavesNothingBeside) {
  const FaultEffect effects[] = {FAULT_FAIL, FAULT_SHORT};
  for (FaultEffect effect : effects) {
    SCOPED_TRACE(effect == FAULT_FAIL ? "refused" : "cut short");
    ResetHostState();
    std::string path = folder + "/Velmora.ini";
    ASSERT_TRUE(WriteWholeFile(path, ORIGINAL));
    InjectFault(FAULT_PROFILE_WRITE, "Velmora.ini", 0, 1, effect);
    EXPECT_EQ(WriteProfileText("SYSTEM_UPDATE", "version", "1.1", WindowsPath(path).c_str()), 0);
    bool exists = false;
    EXPECT_EQ(ReadWholeFile(path, &exists), ORIGINAL);
    EXPECT_EQ(SnapshotFolder(folder).size(), 1u);
  }
}

TEST_F(HostProfile, AReadThatFailsGivesTheDefault) {
  std::string path = folder + "/Velmora.ini";
  ASSERT_TRUE(WriteWholeFile(path, ORIGINAL));
  InjectFault(FAULT_PROFILE_READ, "Velmora.ini", 0, 1, FAULT_FAIL);
  char out[16];
  EXPECT_EQ(
      ReadProfileText("INSTALL", "InstallFold", "*", out, sizeof out, WindowsPath(path).c_str()),
      1u);
  EXPECT_STREQ(out, "*");
  EXPECT_EQ(
      ReadProfileText("INSTALL", "InstallFold", "*", out, sizeof out, WindowsPath(path).c_str()),
      4u);
  EXPECT_STREQ(out, "C:\\G");
}

TEST_F(HostProfile, AFolderOrAMissingFolderIsNoSettingsFile) {
  std::string asFolder = folder + "/Velmora.ini";
  ASSERT_EQ(mkdir(asFolder.c_str(), 0755), 0);
  char out[16];
  EXPECT_EQ(ReadProfileText("INSTALL", "InstallFold", "*", out, sizeof out,
                            WindowsPath(asFolder).c_str()),
            1u);
  EXPECT_STREQ(out, "*");
  EXPECT_EQ(WriteProfileText("SYSTEM_UPDATE", "version", "1.1", WindowsPath(asFolder).c_str()), 0);
  std::string inMissingFolder = folder + "/none/Velmora.ini";
  EXPECT_EQ(
      WriteProfileText("SYSTEM_UPDATE", "version", "1.1", WindowsPath(inMissingFolder).c_str()), 0);
  EXPECT_TRUE(SnapshotFolder(folder).empty());
}

TEST_F(HostProfile, ALineBreakInANameOrValueIsRefusedAndTheFileKept) {
  std::string path = folder + "/Velmora.ini";
  ASSERT_TRUE(WriteWholeFile(path, ORIGINAL));
  std::string windowsPath = WindowsPath(path);
  EXPECT_EQ(WriteProfileText("SYSTEM_UPDATE", "version", "1.1\r\n[INSTALL]", windowsPath.c_str()),
            0);
  EXPECT_EQ(WriteProfileText("SYSTEM_UPDATE", "ver\nsion", "1.1", windowsPath.c_str()), 0);
  EXPECT_EQ(WriteProfileText("SYSTEM\rUPDATE", "version", "1.1", windowsPath.c_str()), 0);
  bool exists = false;
  EXPECT_EQ(ReadWholeFile(path, &exists), ORIGINAL);
}

TEST_F(HostProfile, AReadOnlyFileIsNotWritten) {
  std::string path = folder + "/Velmora.ini";
  ASSERT_TRUE(WriteWholeFile(path, ORIGINAL));
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(WriteProfileText("SYSTEM_UPDATE", "version", "1.1", WindowsPath(path).c_str()), 0);
  bool exists = false;
  EXPECT_EQ(ReadWholeFile(path, &exists), ORIGINAL);
}

TEST_F(HostProfile, AReplacedFileKeepsItsPermissions) {
  std::string path = folder + "/Velmora.ini";
  ASSERT_TRUE(WriteWholeFile(path, ORIGINAL));
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  EXPECT_EQ(WriteProfileText("SYSTEM_UPDATE", "version", "1.1", WindowsPath(path).c_str()), 1);
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}
