// The same case table through platform/win32 under Wine and through the
// host back end: every line must agree.
#include "tests/platform/platform_cases.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(BackEndsAgree, OnPathsAndFormatting) {
  std::string folder = MakeTempFolder("agreement");
  std::string report = folder + "/win32.txt";
  ASSERT_EQ(RunUnderWine({UPDATER_WINDOWS_BIN "/win32_platform_cases.exe", WindowsPath(report)},
                         folder + "/wine.log"),
            0);
  std::vector<std::string> host;
  for (int i = 0; i < CaseCount(); ++i) {
    char line[CASE_LINE_SIZE];
    RunCase(i, line, sizeof line);
    host.push_back(line);
  }
  EXPECT_EQ(ReadLines(report), host);
}
