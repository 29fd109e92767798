// The host edition run as a program, watched through its transcript.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct UpdaterRun {
  int exitCode;
  std::vector<std::string> transcript;
};

std::string TempFolder() {
  char pattern[] = "/tmp/updater-main-flow-XXXXXX";
  const char* made = mkdtemp(pattern);
  return made != nullptr ? made : "";
}

// Runs the host updater with a clean environment plus the given settings.
UpdaterRun RunUpdater(const std::vector<std::string>& environment) {
  std::string folder = TempFolder();
  std::string transcript = folder + "/transcript.jsonl";
  std::vector<std::string> env = environment;
  env.push_back("UPDATER_TRANSCRIPT=" + transcript);
  env.push_back("UPDATER_WINDOW_DIR=" + folder + "/windows");
  env.push_back("PATH=/usr/bin:/bin");
  std::vector<char*> envp;
  for (std::string& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);

  pid_t child = fork();
  if (child == 0) {
    freopen("/dev/null", "r", stdin);
    char program[] = UPDATER_HOST_UPDATER;
    char* argv[] = {program, nullptr};
    execve(program, argv, envp.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  UpdaterRun run = {WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}};
  std::ifstream lines(transcript);
  for (std::string line; std::getline(lines, line);) run.transcript.push_back(line);
  return run;
}

TEST(MainFlow, NoInstallationFoundEndsWithExitOne) {
  std::string appData = TempFolder();
  UpdaterRun run = RunUpdater({"APPDATA=" + appData, "UPDATER_ANSWERS=ok"});
  EXPECT_EQ(run.exitCode, 1);
  ASSERT_EQ(run.transcript.size(), 2u);
  EXPECT_EQ(run.transcript[0],
            u8"{\"event\":\"messagebox\",\"owner\":\"none\",\"caption\":\"カルネヴィオ - Update "
            u8"Program\",\"text\":\"「カルネヴィオ」のインストール先の検出に失敗しました。\","
            u8"\"style\":48,\"answer\":\"ok\"}");
  EXPECT_EQ(run.transcript[1], "{\"event\":\"exit\",\"code\":1}");
}

}  // namespace
