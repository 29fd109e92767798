// The host edition run as a program, watched through its transcript.
#include "tests/wine/main_flow_lines.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(MainFlow, NoInstallationFoundEndsWithExitOne) {
  std::string folder = MakeTempFolder("main-flow");
  std::vector<std::string> settings = NoInstallationSettings(folder);
  ASSERT_FALSE(settings.empty());
  std::string transcript = folder + "/transcript.jsonl";
  settings.push_back("UPDATER_TRANSCRIPT=" + transcript);
  settings.push_back("UPDATER_ANSWERS=ok");
  EXPECT_EQ(RunHostUpdater(settings), 1);
  EXPECT_EQ(ReadLines(transcript), (std::vector<std::string>{NOT_FOUND_BOX, ExitLine(1)}));
}
