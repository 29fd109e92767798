// The driver against a fixture program whose boxes, dialog and exit codes
// are known, so that what the driver reports about UpDate.exe can be trusted.
#include "tests/wine/runner.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <string>
#include <vector>

static const std::string DRIVER = UPDATER_WINDOWS_BIN "/wine_driver.exe";
static const std::string FIXTURE = UPDATER_WINDOWS_BIN "/wine_fixture.exe";

struct DriverRun {
  int driverCode;
  std::vector<std::string> report;
};

static DriverRun Drive(const std::vector<std::string>& options,
                       const std::vector<std::string>& program) {
  std::string folder = MakeTempFolder("driver");
  std::string report = folder + "/report.jsonl";
  std::vector<std::string> arguments = {DRIVER, "--report", WindowsPath(report)};
  arguments.insert(arguments.end(), options.begin(), options.end());
  arguments.push_back("--");
  arguments.push_back(WindowsPath(FIXTURE));
  arguments.insert(arguments.end(), program.begin(), program.end());
  DriverRun run;
  run.driverCode = RunUnderWine(arguments, folder + "/wine.log");
  run.report = ReadLines(report);
  return run;
}

static std::string Box(const char* owner, const char* text, int style, const char* answer) {
  return std::string("{\"event\":\"messagebox\",\"owner\":\"") + owner +
         "\",\"caption\":\"テスト\",\"text\":" + text + ",\"style\":" + std::to_string(style) +
         ",\"answer\":\"" + answer + "\"}";
}

static std::string Exit(int code) {
  return "{\"event\":\"exit\",\"code\":" + std::to_string(code) + "}";
}

TEST(WineDriver, ReadsEachBoxAndClicksTheListedAnswers) {
  struct Case {
    const char* answers;
    const char* second;
    const char* third;
    int exitCode;
  };
  // A list that runs out, or names a button the box lacks, takes the first button.
  const Case cases[] = {
      {"ok,no,cancel,ok", "no", "cancel", 72},
      {"yes", "yes", "ok", 61},
      {"ok,yes,ok", "yes", "ok", 61},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    DriverRun run = Drive({"--answers", c.answers}, {"boxes"});
    EXPECT_EQ(run.driverCode, 0);
    std::vector<std::string> expected = {
        Box("none", "\"line one\\nline \\\"two\\\" \\\\\"", 0, "ok"),
        Box("none", "\"question\"", 0x24, c.second),
        Box("none", "\"warning\"", 0x31, c.third),
        Box("none", "\"error\"", 0x10, "ok"),
        Exit(c.exitCode),
    };
    EXPECT_EQ(run.report, expected);
  }
}

TEST(WineDriver, StartsTheProgramWithTheGivenEnvironmentAndFolder) {
  // The setting replaces the value the driver itself inherited.
  setenv("FIXTURE_VALUE", "inherited", 1);
  std::string folder = MakeTempFolder("cwd");
  DriverRun run = Drive({"--env", "FIXTURE_VALUE=given", "--cwd", WindowsPath(folder)},
                        {"environment"});
  unsetenv("FIXTURE_VALUE");
  EXPECT_EQ(run.driverCode, 0);
  std::string shown = "\"given|" + WindowsPath(folder) + "\"";
  std::string escaped;
  for (char c : shown) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  EXPECT_EQ(run.report, (std::vector<std::string>{Box("none", escaped.c_str(), 0, "ok"), Exit(0)}));
}

TEST(WineDriver, PostsTheDialogCommandsAndReadsItsSystemMenu) {
  const std::string create = "{\"event\":\"dialog\",\"action\":\"create\",\"title\":\"Fixture Dialog\"}";
  const std::string destroy = "{\"event\":\"dialog\",\"action\":\"destroy\",\"title\":\"Fixture Dialog\"}";
  DriverRun all = Drive({"--dialog-menu", "--dialog", "close", "--dialog", "cancel", "--dialog", "stop"},
                        {"dialog"});
  EXPECT_EQ(all.driverCode, 0);
  EXPECT_EQ(all.report, (std::vector<std::string>{create, "{\"event\":\"systemmenu\",\"close\":0}",
                                                 Box("dialog", "\"owned\"", 0x30, "ok"), destroy,
                                                 Exit(7)}));

  DriverRun withClose = Drive({"--dialog-menu", "--dialog", "stop"}, {"dialog", "close"});
  EXPECT_EQ(withClose.driverCode, 0);
  EXPECT_EQ(withClose.report, (std::vector<std::string>{create, "{\"event\":\"systemmenu\",\"close\":1}",
                                                       Box("dialog", "\"owned\"", 0x30, "ok"),
                                                       destroy, Exit(4)}));
}

TEST(WineDriver, KillsAProgramThatOutlivesTheTimeout) {
  DriverRun run = Drive({"--timeout", "2"}, {"dialog"});
  EXPECT_EQ(run.driverCode, 3);
  ASSERT_EQ(run.report.size(), 4u);
  EXPECT_EQ(run.report[2], "{\"event\":\"timeout\",\"seconds\":2}");
  EXPECT_EQ(run.report[3], Exit(255));
}

TEST(WineDriver, HoldsEachWindowWhileATestTakesAScreenshot) {
  std::string folder = MakeTempFolder("pause");
  std::string pause = folder + "/pause";
  std::string report = folder + "/report.jsonl";
  int driver = StartUnderWine({DRIVER, "--report", WindowsPath(report), "--pause", WindowsPath(pause),
                               "--", WindowsPath(FIXTURE), "boxes"},
                              folder + "/wine.log");
  ASSERT_GT(driver, 0);
  int held = 0;
  for (time_t deadline = time(nullptr) + 20; !held && time(nullptr) < deadline; usleep(50000)) {
    held = access(pause.c_str(), F_OK) == 0;
  }
  EXPECT_TRUE(held);
  // Nothing is answered while the test holds the first box.
  EXPECT_TRUE(ReadLines(report).empty());
  std::string shot = folder + "/box.png";
  EXPECT_TRUE(TakeScreenshot(shot));
  // A drawn box, not an empty screen: the picture has more than one colour.
  std::string colours = "identify -format '%k' '" + shot + "'";
  FILE* identify = popen(colours.c_str(), "r");
  ASSERT_NE(identify, nullptr);
  int count = 0;
  EXPECT_EQ(fscanf(identify, "%d", &count), 1);
  pclose(identify);
  EXPECT_GT(count, 1);

  // Each later box and the end follow once the marker is removed each time.
  for (int box = 0; box < 4; ++box) {
    for (time_t deadline = time(nullptr) + 20; access(pause.c_str(), F_OK) != 0 &&
                                               time(nullptr) < deadline;
         usleep(20000)) {
    }
    unlink(pause.c_str());
  }
  EXPECT_EQ(WaitForProgram(driver), 0);
  EXPECT_EQ(ReadLines(report).size(), 5u);
}
