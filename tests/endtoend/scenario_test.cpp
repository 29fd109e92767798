// Whole update runs, from a sample installation to the final report: the host
// edition (its transcript) and UpDate.exe under Wine (the driver's report),
// scenario by scenario. Both must show the same boxes in the same order and
// leave the disk in the same expected state.
#include "tests/wine/runner.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string CAPTION = u8"カルネヴィオ - Update Program";
const std::string UPDATE_FAILED = u8"アップデートに失敗しました。";
const std::string RECORD_FAILED = u8"アップデート情報の更新に失敗しました。";
const std::string CONFIRM = u8"「カルネヴィオ」のプログラムのアップデートを行います。\n"
                            u8"アップデートを行う前に本体プログラムの終了を確認して下さい。";
const std::string FINISHED = u8"アップデートが終了しました。";
const std::string ABORTED = u8"アップデートが中止されました。";
const std::string NOT_FOUND = u8"「カルネヴィオ」のインストール先の検出に失敗しました。";
const std::string DAMAGED = u8"インストール先のデータが破損している可能性があります。\n"
                            u8"再度ゲームをインストールし直してからアップデートを行って下さい。";
const std::string NOT_NEEDED =
    u8"アップデートする必要がありませんでしたが、\n引き続きアップデートを行いますか？";
const std::string LIST_FAILED = u8"指定されたファイルが見つかりませんでした。\n"
                                u8"アップデートは成功しましたが、\n"
                                u8"アップデート情報の更新に失敗しました。";

// The setup lists every installation starts with, and their merge.
const char PACKAGE_LIST_OPTION[] = "--package-setup-list=a;\\r\\nb;\\r\\n";
const char INSTALL_LIST_OPTION[] = "--install-setup-list=b;\\r\\n";
const std::string MERGED_LIST = std::string("a;\nb;\r\n") + std::string(5, '\0');

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Box(const char* owner, const std::string& caption, const std::string& text, int style,
                const char* answer) {
  return std::string("{\"event\":\"messagebox\",\"owner\":\"") + owner +
         "\",\"caption\":" + Json(caption) + ",\"text\":" + Json(text) +
         ",\"style\":" + std::to_string(style) + ",\"answer\":\"" + answer + "\"}";
}

std::string Exit(int code) { return "{\"event\":\"exit\",\"code\":" + std::to_string(code) + "}"; }

// The boxes and the exit of a transcript or driver report, in order.
std::vector<std::string> BoxesAndExit(const std::string& path) {
  std::vector<std::string> kept;
  for (const std::string& line : ReadLines(path)) {
    if (line.rfind("{\"event\":\"messagebox\"", 0) == 0 ||
        line.rfind("{\"event\":\"exit\"", 0) == 0) {
      kept.push_back(line);
    }
  }
  return kept;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A file's content as a short text, so that a difference reads well.
std::string Digest(const std::string& bytes) {
  return std::to_string(bytes.size()) + " bytes #" + std::to_string(std::hash<std::string>{}(bytes));
}

// Every file under a folder with the digest of its bytes; folders as "<folder>".
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    std::string name = fs::relative(entry.path(), folder).string();
    files[name] = entry.is_directory() ? "<folder>" : Digest(ReadBytes(entry.path().string()));
  }
  return files;
}

// The roaming AppData folder of the Wine prefix's user, where UpDate.exe
// looks for the product settings file.
std::string WineAppData() {
  const char* state = getenv("UPDATER_WINE_STATE");
  std::string users = std::string(state != nullptr ? state : "") + "/prefix/drive_c/users";
  std::string found;
  DIR* folder = opendir(users.c_str());
  if (folder == nullptr) return found;
  while (dirent* entry = readdir(folder)) {
    std::string roaming = users + "/" + entry->d_name + "/AppData/Roaming";
    struct stat info;
    if (entry->d_name[0] != '.' && stat(roaming.c_str(), &info) == 0) found = roaming;
  }
  closedir(folder);
  return found;
}

int MakeInstallation(const std::vector<std::string>& options, const std::string& log) {
  std::string command = UPDATER_MAKE_INSTALLATION;
  for (const std::string& option : options) command += " '" + option + "'";
  command += " >>'" + log + "' 2>&1";
  return system(command.c_str());
}

// Runs a copy of the host updater with exactly these environment settings;
// its exit code, and its peak resident memory in KiB.
int RunHostEdition(const std::string& program, const std::vector<std::string>& settings,
                   const std::string& log, long* peakKilobytes) {
  std::vector<std::string> environment = settings;
  environment.push_back("PATH=/usr/bin:/bin");
  std::vector<char*> envp;
  for (std::string& setting : environment) envp.push_back(&setting[0]);
  envp.push_back(nullptr);
  pid_t child = fork();
  if (child == 0) {
    int input = open("/dev/null", O_RDONLY);
    int output = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (input >= 0) dup2(input, STDIN_FILENO);
    if (output >= 0) {
      dup2(output, STDOUT_FILENO);
      dup2(output, STDERR_FILENO);
    }
    execle(program.c_str(), program.c_str(), (char*)nullptr, envp.data());
    _exit(127);
  }
  int status = 0;
  rusage usage = {};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1;
  *peakKilobytes = usage.ru_maxrss;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What a run must leave behind, besides an unchanged rest of the install
// folder.
struct Outcome {
  bool fileReplaced;    // dll\MUR.dll holds the package's bytes
  bool listMerged;      // Setup.dat holds the merged list
  bool versionRecorded;  // the settings file records 1.1
};
const Outcome UPDATED = {true, true, true};
const Outcome UNCHANGED = {false, false, false};

struct Scenario {
  const char* name;
  std::vector<std::string> options;  // more options of the installation maker
  bool settingsFile;
  void (*arrange)(const std::string& install);
  const char* answers;
  int exitCode;
  std::vector<std::string> boxes;
  Outcome outcome;
  const char* updaterFolder;
};

void DestinationIsAFolder(const std::string& install) {
  ASSERT_EQ(mkdir((install + "/dll/MUR.dll").c_str(), 0755), 0);
}

const std::vector<Scenario>& Scenarios() {
  static const std::vector<Scenario> scenarios = {
      {"happy path", {}, true, nullptr, "ok,ok", 0,
       {Box("none", CAPTION, CONFIRM, 0x31, "ok"), Box("none", CAPTION, FINISHED, 0, "ok")},
       UPDATED, "updater"},
      // 表 ends in the byte 0x5C, which must not split the updater's folder.
      {"updater folder with a 0x5C trail byte", {}, true, nullptr, "ok,ok", 0,
       {Box("none", CAPTION, CONFIRM, 0x31, "ok"), Box("none", CAPTION, FINISHED, 0, "ok")},
       UPDATED, u8"表示"},
      {"already applied, updated anyway", {"--version=1.1"}, true, nullptr, "yes,ok,ok", 0,
       {Box("none", CAPTION, NOT_NEEDED, 0x24, "yes"), Box("none", CAPTION, CONFIRM, 0x31, "ok"),
        Box("none", CAPTION, FINISHED, 0, "ok")},
       UPDATED, "updater"},
      {"no settings file", {}, false, nullptr, "ok", 1,
       {Box("none", CAPTION, NOT_FOUND, 0x30, "ok")}, UNCHANGED, "updater"},
      {"damaged executable", {"--damage-exe"}, true, nullptr, "ok", 2,
       {Box("none", CAPTION, DAMAGED, 0x30, "ok")}, UNCHANGED, "updater"},
      {"already applied, No", {"--version=1.1"}, true, nullptr, "no", 0,
       {Box("none", CAPTION, NOT_NEEDED, 0x24, "no")}, UNCHANGED, "updater"},
      {"Cancel to the confirmation", {}, true, nullptr, "cancel", 0,
       {Box("none", CAPTION, CONFIRM, 0x31, "cancel")}, UNCHANGED, "updater"},
      {"package file missing", {"--no-mur"}, true, nullptr, "ok,ok,ok", 0,
       {Box("none", CAPTION, CONFIRM, 0x31, "ok"),
        Box("dialog", UPDATE_FAILED,
            u8"指定されたファイルが見つかりませんでした。\ndll\\MUR.dll", 0x30, "ok"),
        Box("none", CAPTION, ABORTED, 0x30, "ok")},
       UNCHANGED, "updater"},
      {"destination is a folder", {}, true, DestinationIsAFolder, "ok,ok,ok", 0,
       {Box("none", CAPTION, CONFIRM, 0x31, "ok"),
        Box("dialog", UPDATE_FAILED, u8"指定されたファイルが作成出来ませんでした。\ndll\\MUR.dll",
            0x30, "ok"),
        Box("none", CAPTION, ABORTED, 0x30, "ok")},
       UNCHANGED, "updater"},
      {"no installed setup list", {"--no-install-setup-list"}, true, nullptr, "ok,ok,ok,ok", 0,
       {Box("none", CAPTION, CONFIRM, 0x31, "ok"),
        Box("dialog", RECORD_FAILED, LIST_FAILED + "Setup.dat", 0x30, "ok"),
        Box("dialog", RECORD_FAILED, LIST_FAILED + "[0x00000003]Setup.dat", 0x30, "ok"),
        Box("none", CAPTION, ABORTED, 0x30, "ok")},
       {true, false, false}, "updater"},
  };
  return scenarios;
}

// One target's copy of a scenario: its folders, made by the installation
// maker, and the program copied beside the package folder.
struct Stage {
  std::string install;
  std::string appData;
  std::string updaterFolder;
  std::string settingsFile;
  std::map<std::string, std::string> before;
  std::string settingsBefore;
};

void MakeStage(const Scenario& scenario, const std::string& root, const std::string& appData,
               const std::string& program, const std::string& programName, Stage* stage) {
  stage->install = root + "/install";
  stage->appData = appData;
  stage->updaterFolder = root + "/" + scenario.updaterFolder;
  stage->settingsFile = appData + u8"/ホロメリダ/Velmora.ini";
  unlink(stage->settingsFile.c_str());
  std::vector<std::string> options = {"--install=" + stage->install,
                                      "--updater=" + stage->updaterFolder, PACKAGE_LIST_OPTION,
                                      INSTALL_LIST_OPTION};
  if (scenario.settingsFile) options.push_back("--appdata=" + appData);
  options.insert(options.end(), scenario.options.begin(), scenario.options.end());
  ASSERT_EQ(MakeInstallation(options, root + "/make.log"), 0) << scenario.name;
  if (scenario.arrange != nullptr) scenario.arrange(stage->install);
  fs::copy_file(program, stage->updaterFolder + "/" + programName);
  stage->before = Snapshot(stage->install);
  stage->settingsBefore = ReadBytes(stage->settingsFile);
}

void ExpectOutcome(const Scenario& scenario, const Stage& stage, const char* target) {
  std::map<std::string, std::string> expected = stage.before;
  if (scenario.outcome.fileReplaced) {
    expected["dll/MUR.dll"] = Digest(ReadBytes(stage.updaterFolder + "/data/dll/MUR.dll"));
  }
  if (scenario.outcome.listMerged) expected["Setup.dat"] = Digest(MERGED_LIST);
  EXPECT_EQ(Snapshot(stage.install), expected) << scenario.name << " on " << target;
  std::string settings = ReadBytes(stage.settingsFile);
  if (scenario.outcome.versionRecorded) {
    EXPECT_NE(settings.find("[SYSTEM_UPDATE]"), std::string::npos) << scenario.name;
    EXPECT_NE(settings.find("version=1.1"), std::string::npos) << scenario.name << " on "
                                                               << target;
  } else {
    EXPECT_EQ(settings, stage.settingsBefore) << scenario.name << " on " << target;
  }
}

TEST(EndToEnd, EachScenarioEndsAlikeOnTheHostAndUnderWine) {
  const std::string wineAppData = WineAppData();
  ASSERT_FALSE(wineAppData.empty()) << "no AppData folder in the Wine prefix";
  for (const Scenario& scenario : Scenarios()) {
    std::string root = MakeTempFolder("endtoend");
    ASSERT_FALSE(root.empty());
    // A failed scenario keeps its folder: transcripts, reports and logs.
    SCOPED_TRACE(std::string(scenario.name) + " in " + root);

    Stage host;
    ASSERT_EQ(mkdir((root + "/host").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((root + "/host-appdata").c_str(), 0755), 0);
    MakeStage(scenario, root + "/host", root + "/host-appdata", UPDATER_HOST_UPDATER, "updater",
              &host);
    std::string transcript = root + "/host.jsonl";
    long peak = 0;
    int hostCode = RunHostEdition(host.updaterFolder + "/updater",
                                  {"APPDATA=" + host.appData, "PROGRAMDATA=",
                                   "UPDATER_TRANSCRIPT=" + transcript,
                                   "UPDATER_WINDOW_DIR=" + root + "/windows",
                                   std::string("UPDATER_ANSWERS=") + scenario.answers},
                                  root + "/host.log", &peak);
    EXPECT_EQ(hostCode, scenario.exitCode) << scenario.name;
    std::vector<std::string> expected = scenario.boxes;
    expected.push_back(Exit(scenario.exitCode));
    std::vector<std::string> hostBoxes = BoxesAndExit(transcript);
    EXPECT_EQ(hostBoxes, expected) << scenario.name << " on the host";
    ExpectOutcome(scenario, host, "the host");

    Stage wine;
    ASSERT_EQ(mkdir((root + "/wine").c_str(), 0755), 0);
    MakeStage(scenario, root + "/wine", wineAppData, UPDATER_WINDOWS_EXE, "UpDate.exe", &wine);
    std::string report = root + "/wine.jsonl";
    int driverCode = RunUnderWine(
        {UPDATER_WINDOWS_BIN "/wine_driver.exe", "--report", WindowsPath(report), "--answers",
         scenario.answers, "--", WindowsPath(wine.updaterFolder + "/UpDate.exe")},
        root + "/wine.log");
    EXPECT_EQ(driverCode, 0) << scenario.name;
    std::vector<std::string> wineBoxes = BoxesAndExit(report);
    EXPECT_EQ(wineBoxes, hostBoxes) << scenario.name << ": Wine against the host";
    ExpectOutcome(scenario, wine, "Wine");

    unlink(wine.settingsFile.c_str());
    if (!::testing::Test::HasFailure()) fs::remove_all(root);
  }
}

// A second updater started while the first asks its question finds the
// first's box and leaves at once, showing nothing.
TEST(EndToEnd, SecondUpdaterLeavesWhileTheFirstAsks) {
  std::string root = MakeTempFolder("endtoend-guard");
  ASSERT_FALSE(root.empty());
  const std::string wineAppData = WineAppData();
  ASSERT_FALSE(wineAppData.empty());
  const std::string install = root + "/install";
  ASSERT_EQ(MakeInstallation({"--install=" + install, "--appdata=" + wineAppData,
                              "--updater=" + root + "/updater"},
                             root + "/make.log"),
            0);
  fs::copy_file(UPDATER_WINDOWS_EXE, root + "/updater/UpDate.exe");
  std::map<std::string, std::string> before = Snapshot(install);
  std::string first = root + "/first.jsonl";
  std::string second = root + "/second.jsonl";
  EXPECT_EQ(RunUnderWine({UPDATER_WINDOWS_BIN "/wine_driver.exe", "--report", WindowsPath(first),
                          "--answers", "cancel", "--second", WindowsPath(second), "--",
                          WindowsPath(root + "/updater/UpDate.exe")},
                         root + "/wine.log"),
            0);
  unlink((wineAppData + u8"/ホロメリダ/Velmora.ini").c_str());
  const std::vector<std::string> expectedFirst = {Box("none", CAPTION, CONFIRM, 0x31, "cancel"),
                                                  Exit(0)};
  EXPECT_EQ(BoxesAndExit(first), expectedFirst);
  EXPECT_EQ(BoxesAndExit(second), std::vector<std::string>{Exit(0)});

  // The same on the host, the first waiting on a terminal.
  const std::string appData = root + "/host-appdata";
  ASSERT_EQ(MakeInstallation({"--install=" + install, "--appdata=" + appData},
                             root + "/make.log"),
            0);
  std::vector<std::string> settings = {"APPDATA=" + appData, "PROGRAMDATA=",
                                       "UPDATER_WINDOW_DIR=" + root + "/windows"};
  std::vector<std::string> firstSettings = settings;
  firstSettings.push_back("UPDATER_TRANSCRIPT=" + root + "/host-first.jsonl");
  std::vector<std::string> secondSettings = settings;
  secondSettings.push_back("UPDATER_TRANSCRIPT=" + root + "/host-second.jsonl");
  TerminalUpdater waiting;
  ASSERT_TRUE(StartUpdaterOnTerminal(firstSettings, &waiting));
  long peak = 0;
  EXPECT_EQ(RunHostEdition(UPDATER_HOST_UPDATER, secondSettings, root + "/host.log", &peak), 0);
  EXPECT_EQ(AnswerAndWait(&waiting, "cancel\n"), 0);
  EXPECT_EQ(BoxesAndExit(root + "/host-first.jsonl"), expectedFirst);
  EXPECT_EQ(BoxesAndExit(root + "/host-second.jsonl"), std::vector<std::string>{Exit(0)});
  EXPECT_EQ(Snapshot(install), before);
  if (!::testing::Test::HasFailure()) fs::remove_all(root);
}

// The copy streams through one buffer: a package sixteen times larger
// leaves the updater's peak memory where it was, far under 64 MiB.
TEST(EndToEnd, PeakMemoryDoesNotGrowWithThePackage) {
  std::string root = MakeTempFolder("endtoend-memory");
  ASSERT_FALSE(root.empty());
  long peaks[2] = {0, 0};
  const char* sizes[2] = {"--mur-size=16777216", "--mur-size=268435456"};
  for (int i = 0; i < 2; ++i) {
    std::string stage = root + "/" + std::to_string(i);
    ASSERT_EQ(MakeInstallation({"--install=" + stage + "/install",
                                "--appdata=" + stage + "/appdata",
                                "--updater=" + stage + "/updater", sizes[i]},
                               root + "/make.log"),
              0);
    fs::copy_file(UPDATER_HOST_UPDATER, stage + "/updater/updater");
    EXPECT_EQ(RunHostEdition(stage + "/updater/updater",
                             {"APPDATA=" + stage + "/appdata", "PROGRAMDATA=",
                              "UPDATER_WINDOW_DIR=" + root + "/windows", "UPDATER_ANSWERS=ok,ok"},
                             root + "/host.log", &peaks[i]),
              0);
    EXPECT_EQ(ReadBytes(stage + "/install/dll/MUR.dll"),
              ReadBytes(stage + "/updater/data/dll/MUR.dll"));
    fs::remove_all(stage);
  }
  EXPECT_LT(peaks[1], 64 * 1024) << "KiB";
  EXPECT_LT(peaks[1], peaks[0] + 4 * 1024) << "KiB; with 16 MiB: " << peaks[0];
  if (!::testing::Test::HasFailure()) fs::remove_all(root);
}

}  // namespace
