// Copies one large package file with the copy engine of the host edition,
// its per-chunk percentage, progress bar and message pump included, and
// with dd bs=65534 as the baseline, alternately in the same run. Reports the
// best time of each and their ratio (engine / dd).
//
//   copy_speed [MEGABYTES [FOLDER]]   default 1024 MiB under /var/tmp
#include "app/update_state.h"
#include "platform/host/host_paths.h"
#include "platform/window.h"
#include "res/resource.h"
#include "transfer/copy_engine.h"
#include "ui/progress_dialog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

const int ROUNDS = 3;

double Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

bool MakePackageFile(const std::string& path, long megabytes) {
  int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (file < 0) return false;
  static char block[1 << 20];
  bool ok = true;
  for (long i = 0; i < megabytes && ok; ++i) {
    for (size_t j = 0; j < sizeof block; ++j) block[j] = (char)((j * 131 + (size_t)i) & 0xFF);
    ok = write(file, block, sizeof block) == (ssize_t)sizeof block;
  }
  close(file);
  return ok;
}

// Dirty pages of the previous copy are written back outside the timing.
void Settle(const std::string& destination) {
  unlink(destination.c_str());
  sync();
}

double TimeEngine(const std::string& destination) {
  Settle(destination);
  const char* const list[] = {"package.bin", nullptr};
  double start = Now();
  int copied = CopyListedFiles(list);
  double elapsed = Now() - start;
  return copied ? elapsed : -1.0;
}

double TimeDd(const std::string& source, const std::string& destination) {
  Settle(destination);
  std::string command =
      "dd if='" + source + "' of='" + destination + "' bs=65534 status=none";
  double start = Now();
  int status = system(command.c_str());
  double elapsed = Now() - start;
  return status == 0 ? elapsed : -1.0;
}

}  // namespace

int main(int argc, char** argv) {
  long megabytes = argc > 1 ? atol(argv[1]) : 1024;
  std::string base = argc > 2 ? argv[2] : "/var/tmp";
  std::string pattern = base + "/updater-copy-speed-XXXXXX";
  std::string folder = mkdtemp(pattern.data()) != nullptr ? pattern : "";
  if (megabytes <= 0 || folder.empty()) {
    fprintf(stderr, "usage: copy_speed [MEGABYTES [FOLDER]]\n");
    return 2;
  }
  std::string package = folder + "/data";
  std::string install = folder + "/install";
  mkdir(package.c_str(), 0755);
  mkdir(install.c_str(), 0755);
  std::string source = package + "/package.bin";
  std::string destination = install + "/package.bin";
  int status = 0;
  if (!MakePackageFile(source, megabytes)) {
    fprintf(stderr, "copy_speed: cannot write %s\n", source.c_str());
    status = 1;
  }

  char windowsPath[PATH_TEXT_SIZE];
  if (status == 0 && WindowsPathFromHost(package.c_str(), windowsPath, sizeof windowsPath)) {
    snprintf(State.packageFolder, sizeof State.packageFolder, "%s", windowsPath);
  }
  if (status == 0 && WindowsPathFromHost(install.c_str(), windowsPath, sizeof windowsPath)) {
    snprintf(State.installFolder, sizeof State.installFolder, "%s", windowsPath);
  }
  // A private window registry, so that no running updater sees this dialog.
  setenv("UPDATER_WINDOW_DIR", (folder + "/windows").c_str(), 1);
  State.dialog = CreateModelessDialog(nullptr, IDD_UPDATE, nullptr, ProgressDialogProc);
  if (State.dialog == nullptr) status = 1;

  double bestEngine = 1e30;
  double bestDd = 1e30;
  for (int round = 0; round < ROUNDS && status == 0; ++round) {
    // Alternate which goes first, so neither always meets a warmer cache.
    double dd = round % 2 == 0 ? TimeDd(source, destination) : -2.0;
    double engine = TimeEngine(destination);
    if (dd == -2.0) dd = TimeDd(source, destination);
    if (engine < 0 || dd < 0) {
      fprintf(stderr, "copy_speed: a copy failed in round %d\n", round + 1);
      status = 1;
      break;
    }
    printf("round %d: engine %.3f s, dd %.3f s\n", round + 1, engine, dd);
    if (engine < bestEngine) bestEngine = engine;
    if (dd < bestDd) bestDd = dd;
  }
  if (status == 0) {
    printf("copy of %ld MiB: engine %.3f s (%.0f MiB/s), dd bs=65534 %.3f s (%.0f MiB/s)\n",
           megabytes, bestEngine, (double)megabytes / bestEngine, bestDd,
           (double)megabytes / bestDd);
    printf("ratio engine/dd: %.3f\n", bestEngine / bestDd);
  }
  std::string command = "rm -rf '" + folder + "'";
  if (system(command.c_str()) != 0) status = 1;
  return status;
}
