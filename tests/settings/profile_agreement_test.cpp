// The initialisation-file case table run natively on the host and through
// the Win32 back end under Wine must give the same bytes, except where a
// case names why Wine cannot stand in for Windows.
#include "tests/settings/profile_cases.h"
#include "tests/settings/profile_report.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

TEST(ProfileAgreement, HostAndWineGiveTheSameBytes) {
  std::string root = MakeTempFolder("settings");
  ASSERT_FALSE(root.empty());
  std::string native = root + "/native";
  std::string wine = root + "/wine";
  ASSERT_EQ(mkdir(native.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(wine.c_str(), 0755), 0);

  ASSERT_TRUE(
      RunProfileCases(WindowsPath(native).c_str(), WindowsPath(native + "/report.txt").c_str()));
  ASSERT_EQ(RunUnderWine({UPDATER_WINDOWS_BIN "/profile_agreement.exe", WindowsPath(wine),
                          WindowsPath(wine + "/report.txt")},
                         root + "/wine.log"),
            0);

  ProfileReport hostReport = ReadProfileReport(native + "/report.txt");
  ProfileReport wineReport = ReadProfileReport(wine + "/report.txt");
  EXPECT_EQ(hostReport.size(), (size_t)ProfileCaseCount);
  EXPECT_EQ(wineReport.size(), (size_t)ProfileCaseCount);
  for (int i = 0; i < ProfileCaseCount; ++i) {
    const ProfileCase& entry = ProfileCases[i];
    ASSERT_EQ(wineReport.count(entry.name), 1u) << entry.name;
    if (entry.wineDiffers == nullptr) {
      EXPECT_EQ(wineReport[entry.name], hostReport[entry.name]) << entry.name;
    } else {
      // Kept honest: an exclusion that Wine no longer needs must go.
      EXPECT_NE(wineReport[entry.name], hostReport[entry.name])
          << entry.name << " is left out because " << entry.wineDiffers << ", but Wine now agrees";
    }
  }
  std::filesystem::remove_all(root);
}
