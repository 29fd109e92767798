#include "tests/ui/sample_run.h"

#include "app/message_catalogue.h"
#include "app/package_definition.h"
#include "platform/host/transcript.h"
#include "platform/text.h"
#include "platform/types.h"
#include "tests/wine/runner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

// ホロメリダ/Velmora.ini
static const char SETTINGS_FILE[] =
    "/\xE3\x83\x9B\xE3\x83\xAD\xE3\x83\xA1\xE3\x83\xAA\xE3\x83\x80/Velmora.ini";

static bool CopyFile(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
  out.close();
  return in.good() && out.good() && chmod(to.c_str(), 0755) == 0;
}

int RunProgram(const std::vector<std::string>& arguments,
               const std::vector<std::string>& settings) {
  std::vector<std::string> copies = arguments;
  std::vector<char*> argv;
  for (std::string& argument : copies) argv.push_back(&argument[0]);
  argv.push_back(nullptr);
  pid_t child = fork();
  if (child == 0) {
    for (const std::string& setting : settings) {
      size_t equals = setting.find('=');
      if (equals != std::string::npos) {
        setenv(setting.substr(0, equals).c_str(), setting.substr(equals + 1).c_str(), 1);
      }
    }
    int quiet = open("/dev/null", O_RDWR);
    if (quiet >= 0) {
      dup2(quiet, STDIN_FILENO);
      dup2(quiet, STDOUT_FILENO);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool MakeSample(const std::string& program, const std::string& appData, uint32_t murSize,
                Sample* sample) {
  sample->root = MakeTempFolder("dialog-run");
  if (sample->root.empty()) return false;
  sample->install = sample->root + "/install";
  sample->updater = sample->root + "/updater";
  sample->appData = appData.empty() ? sample->root + "/appdata" : appData;
  const std::vector<std::string> make = {
      UPDATER_MAKE_INSTALLATION, "--install=" + sample->install, "--appdata=" + sample->appData,
      "--updater=" + sample->updater, "--mur-size=" + std::to_string(murSize)};
  if (RunProgram(make, {}) != 0) return false;
  size_t name = program.rfind('/');
  return CopyFile(program, sample->updater + program.substr(name));
}

void RemoveSample(const Sample& sample) {
  unlink((sample.appData + SETTINGS_FILE).c_str());
  if (sample.root.empty()) return;
  std::string command = "rm -rf '" + sample.root + "'";
  if (system(command.c_str()) != 0) fprintf(stderr, "could not remove %s\n", sample.root.c_str());
}

std::string RecordedVersion(const std::string& appData) {
  std::string section;
  std::string version = "*";
  for (std::string line : ReadLines(appData + SETTINGS_FILE)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      section = line;
    } else if (section == "[SYSTEM_UPDATE]" && line.compare(0, 8, "version=") == 0) {
      version = line.substr(8);
    }
  }
  return version;
}

std::vector<std::string> UserVisibleLines(const std::vector<std::string>& lines) {
  std::vector<std::string> visible;
  for (const std::string& line : lines) {
    for (const char* kind : {"messagebox", "dialog", "systemmenu", "exit"}) {
      std::string head = std::string("{\"event\":\"") + kind + "\"";
      if (line.compare(0, head.size(), head) == 0) visible.push_back(line);
    }
  }
  return visible;
}

static std::string Json(const char* cp932) {
  char out[8192];
  JsonStringFromCp932(cp932, out, sizeof out);
  return out;
}

static std::string Caption() {
  char caption[MESSAGE_TEXT_SIZE];
  FormatText(caption, sizeof caption, Package.captionFormat, Package.productTitle);
  return Json(caption);
}

std::string MainFlowBox(const char* cp932Text, int style) {
  return "{\"event\":\"messagebox\",\"owner\":\"none\",\"caption\":" + Caption() +
         ",\"text\":" + Json(cp932Text) + ",\"style\":" + std::to_string(style) +
         ",\"answer\":\"ok\"}";
}

std::string ConfirmBox() {
  char text[MESSAGE_TEXT_SIZE];
  FormatText(text, sizeof text, MSG_CONFIRM_START, Package.productTitle);
  return MainFlowBox(text, 0x31);
}

std::string DialogLine(const char* action) {
  return std::string("{\"event\":\"dialog\",\"action\":\"") + action + "\",\"title\":" + Caption() +
         "}";
}

std::string ExitLine(int code) {
  return "{\"event\":\"exit\",\"code\":" + std::to_string(code) + "}";
}
