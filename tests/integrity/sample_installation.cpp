#include "tests/integrity/sample_installation.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

int MakeSampleInstallation(const std::vector<std::string>& options, std::string* output) {
  char outputPath[] = "/tmp/updater-make-installation-XXXXXX";
  int outputFile = mkstemp(outputPath);
  if (outputFile < 0) return -1;
  std::vector<std::string> command = {UPDATER_MAKE_INSTALLATION};
  command.insert(command.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (std::string& argument : command) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = fork();
  if (child == 0) {
    dup2(outputFile, STDOUT_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(outputFile);
  int status = 0;
  int code = child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)
                 ? WEXITSTATUS(status)
                 : -1;
  if (output != nullptr) {
    std::ifstream file(outputPath);
    std::stringstream text;
    text << file.rdbuf();
    *output = text.str();
  }
  unlink(outputPath);
  return code;
}

long long LayoutValue(const std::string& output, const char* name) {
  std::string key = std::string(name) + "=";
  size_t at = output.find(key);
  if (at == std::string::npos || (at > 0 && output[at - 1] != '\n')) return -1;
  return atoll(output.c_str() + at + key.size());
}
