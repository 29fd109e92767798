// The host edition's single-instance guard: a waiting box keeps a second
// updater out, and the guard goes with the process that held it.
#include "tests/wine/main_flow_lines.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct HostScene {
  std::string folder;
  std::vector<std::string> settings;
};

static HostScene MakeScene() {
  HostScene scene;
  scene.folder = MakeTempFolder("instance");
  scene.settings = NoInstallationSettings(scene.folder);
  EXPECT_FALSE(scene.settings.empty());
  return scene;
}

static std::vector<std::string> With(const HostScene& scene, const std::string& transcript) {
  return WithSetting(scene.settings, "UPDATER_TRANSCRIPT=" + scene.folder + "/" + transcript);
}

TEST(HostSingleInstance, SecondUpdaterLeavesSilentlyWhileTheFirstBoxWaits) {
  HostScene scene = MakeScene();
  TerminalUpdater first;
  ASSERT_TRUE(StartUpdaterOnTerminal(With(scene, "first.jsonl"), &first));

  EXPECT_EQ(RunHostUpdater(With(scene, "second.jsonl")), 0);
  EXPECT_EQ(ReadLines(scene.folder + "/second.jsonl"), (std::vector<std::string>{ExitLine(0)}));

  EXPECT_EQ(AnswerAndWait(&first, "\n"), 1);
  EXPECT_EQ(ReadLines(scene.folder + "/first.jsonl"),
            (std::vector<std::string>{NOT_FOUND_BOX, ExitLine(1)}));

  // Once the first has gone, the next one runs.
  EXPECT_EQ(RunHostUpdater(With(scene, "third.jsonl")), 1);
  EXPECT_EQ(ReadLines(scene.folder + "/third.jsonl"),
            (std::vector<std::string>{NOT_FOUND_BOX, ExitLine(1)}));
}

TEST(HostSingleInstance, AKilledUpdaterStopsNoOther) {
  HostScene scene = MakeScene();
  TerminalUpdater first;
  ASSERT_TRUE(StartUpdaterOnTerminal(With(scene, "first.jsonl"), &first));
  ASSERT_EQ(RunHostUpdater(With(scene, "second.jsonl")), 0);
  KillUpdater(&first);

  EXPECT_EQ(RunHostUpdater(With(scene, "third.jsonl")), 1);
  EXPECT_EQ(ReadLines(scene.folder + "/third.jsonl"),
            (std::vector<std::string>{NOT_FOUND_BOX, ExitLine(1)}));
}
