#include "tests/wine/runner.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

std::string MakeTempFolder(const char* tag) {
  std::string pattern = std::string("/tmp/updater-") + tag + "-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  return mkdtemp(name.data()) != nullptr ? std::string(name.data()) : std::string();
}

std::string WindowsPath(const std::string& hostPath) {
  std::string path = "Z:" + hostPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) lines.push_back(line);
  return lines;
}

std::vector<std::string> NoInstallationSettings(const std::string& folder) {
  std::string appData = folder + "/appdata";
  std::string windows = folder + "/windows";
  if (mkdir(appData.c_str(), 0700) != 0 || mkdir(windows.c_str(), 0700) != 0) return {};
  return {"APPDATA=" + appData, "PROGRAMDATA=", "UPDATER_WINDOW_DIR=" + windows};
}

std::vector<std::string> WithSetting(std::vector<std::string> settings, const std::string& setting) {
  settings.push_back(setting);
  return settings;
}

static int ExitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

// Applies NAME=VALUE settings in a child before exec.
static void ApplySettings(const std::vector<std::string>& settings) {
  unsetenv("UPDATER_ANSWERS");
  for (const std::string& setting : settings) {
    size_t equals = setting.find('=');
    if (equals == std::string::npos) continue;
    setenv(setting.substr(0, equals).c_str(), setting.substr(equals + 1).c_str(), 1);
  }
}

static std::vector<char*> ArgumentVector(std::vector<std::string>& arguments) {
  std::vector<char*> vector;
  for (std::string& argument : arguments) vector.push_back(&argument[0]);
  vector.push_back(nullptr);
  return vector;
}

int StartUnderWine(const std::vector<std::string>& arguments, const std::string& log) {
  std::vector<std::string> command = {UPDATER_SOURCE_DIR "/scripts/wine.sh", "run"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv = ArgumentVector(command);
  pid_t child = fork();
  if (child == 0) {
    // A file, not a pipe: Wine's processes keep inherited pipes open.
    int output = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    int input = open("/dev/null", O_RDONLY);
    if (output >= 0) {
      dup2(output, STDOUT_FILENO);
      dup2(output, STDERR_FILENO);
    }
    if (input >= 0) dup2(input, STDIN_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

int WaitForProgram(int pid) {
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid) return -1;
  return ExitCodeOf(status);
}

int RunUnderWine(const std::vector<std::string>& arguments, const std::string& log) {
  return WaitForProgram(StartUnderWine(arguments, log));
}

int TakeScreenshot(const std::string& path) {
  const char* state = getenv("UPDATER_WINE_STATE");
  if (state == nullptr) return 0;
  std::vector<std::string> display = ReadLines(std::string(state) + "/display");
  if (display.empty()) return 0;
  std::string command =
      "import -window root -display :" + display[0] + " '" + path + "' >/dev/null 2>&1";
  return system(command.c_str()) == 0;
}

int RunHostUpdater(const std::vector<std::string>& settings) {
  pid_t child = fork();
  if (child == 0) {
    ApplySettings(settings);
    int quiet = open("/dev/null", O_RDWR);
    if (quiet >= 0) {
      dup2(quiet, STDIN_FILENO);
      dup2(quiet, STDOUT_FILENO);
    }
    execl(UPDATER_HOST_UPDATER, UPDATER_HOST_UPDATER, (char*)nullptr);
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  return ExitCodeOf(status);
}

int StartUpdaterOnTerminal(const std::vector<std::string>& settings, TerminalUpdater* updater) {
  updater->pid = -1;
  updater->terminal = -1;
  int terminal = -1;
  pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    ApplySettings(settings);
    execl(UPDATER_HOST_UPDATER, UPDATER_HOST_UPDATER, (char*)nullptr);
    _exit(127);
  }
  if (child < 0) return 0;
  updater->pid = child;
  updater->terminal = terminal;
  // The prompt ends with "> " once the box's title is registered.
  std::string seen;
  time_t deadline = time(nullptr) + 10;
  while (seen.find("> ") == std::string::npos && time(nullptr) < deadline) {
    pollfd ready = {terminal, POLLIN, 0};
    if (poll(&ready, 1, 200) <= 0) continue;
    char buffer[512];
    ssize_t length = read(terminal, buffer, sizeof buffer);
    if (length <= 0) break;
    seen.append(buffer, (size_t)length);
  }
  return seen.find("> ") != std::string::npos;
}

// Reads what the updater writes until it closes the terminal, so that it
// never blocks on a full one.
static void DrainTerminal(int terminal) {
  time_t deadline = time(nullptr) + 10;
  while (time(nullptr) < deadline) {
    pollfd ready = {terminal, POLLIN, 0};
    if (poll(&ready, 1, 200) < 0) break;
    if (ready.revents == 0) continue;
    char buffer[512];
    if (read(terminal, buffer, sizeof buffer) <= 0) break;
  }
}

int AnswerAndWait(TerminalUpdater* updater, const char* line) {
  int code = -1;
  if (updater->pid > 0 && write(updater->terminal, line, strlen(line)) == (ssize_t)strlen(line)) {
    DrainTerminal(updater->terminal);
    int status = 0;
    for (int waited = 0; waited < 5000 && updater->pid > 0; waited += 10) {
      if (waitpid(updater->pid, &status, WNOHANG) == updater->pid) {
        code = ExitCodeOf(status);
        updater->pid = -1;
      } else {
        usleep(10000);
      }
    }
  }
  KillUpdater(updater);
  return code;
}

void KillUpdater(TerminalUpdater* updater) {
  if (updater->pid > 0) {
    kill(updater->pid, SIGKILL);
    int status = 0;
    waitpid(updater->pid, &status, 0);
    updater->pid = -1;
  }
  if (updater->terminal >= 0) close(updater->terminal);
  updater->terminal = -1;
}
