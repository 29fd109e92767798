// The initialisation-file case table run natively on the host and through
// the Win32 back end under Wine must give the same bytes, except where a
// case names why Wine cannot stand in for Windows.
#include "tests/settings/profile_cases.h"
#include "tests/settings/profile_report.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

static std::string Quoted(const std::string& text) { return "'" + text + "'"; }

TEST(ProfileAgreement, HostAndWineGiveTheSameBytes) {
  std::string root = MakeTemporaryFolder();
  ASSERT_FALSE(root.empty());
  std::string native = root + "/native";
  std::string wine = root + "/wine";
  ASSERT_EQ(mkdir(native.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(wine.c_str(), 0755), 0);

  ASSERT_TRUE(RunProfileCases(WindowsPathOf(native).c_str(),
                              WindowsPathOf(native + "/report.txt").c_str()));
  std::string command = Quoted(std::string(UPDATER_SOURCE_DIR) + "/scripts/wine.sh") + " run " +
                        Quoted(std::string(UPDATER_WINDOWS_BIN) + "/profile_agreement.exe") + " " +
                        Quoted(WindowsPathOf(wine)) + " " +
                        Quoted(WindowsPathOf(wine + "/report.txt")) + " </dev/null >/dev/null 2>&1";
  ASSERT_EQ(system(command.c_str()), 0) << command;

  ProfileReport hostReport = ReadProfileReport(native + "/report.txt");
  ProfileReport wineReport = ReadProfileReport(wine + "/report.txt");
  for (int i = 0; i < ProfileCaseCount; ++i) {
    const ProfileCase& entry = ProfileCases[i];
    ASSERT_EQ(hostReport.count(entry.name), 1u) << entry.name;
    ASSERT_EQ(wineReport.count(entry.name), 1u) << entry.name;
    // The host follows Windows everywhere, Wine included or not.
    EXPECT_EQ(hostReport[entry.name], ExpectedProfileLines(entry)) << entry.name;
    if (entry.wineDiffers == nullptr) {
      EXPECT_EQ(wineReport[entry.name], hostReport[entry.name]) << entry.name;
    } else {
      EXPECT_NE(wineReport[entry.name], hostReport[entry.name])
          << entry.name << " is excluded because " << entry.wineDiffers
          << ", but Wine now agrees: include it again";
    }
  }
  EXPECT_EQ(hostReport.size(), (size_t)ProfileCaseCount);
  EXPECT_EQ(wineReport.size(), (size_t)ProfileCaseCount);
}
