#include "platform/host/window_registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// UPDATER_WINDOW_DIR keeps parallel test runs apart; by default all
// updaters of one user share a folder.
static int RegistryFolder(char* out, size_t size) {
  const char* chosen = getenv("UPDATER_WINDOW_DIR");
  int written;
  if (chosen != nullptr && chosen[0] != '\0') {
    written = snprintf(out, size, "%s", chosen);
  } else {
    written = snprintf(out, size, "/tmp/updater-windows-%u", (unsigned)getuid());
  }
  if (written < 0 || (size_t)written >= size) return 0;
  mkdir(out, 0700);
  return 1;
}

static void WriteTitle(int descriptor, const char* title) {
  if (ftruncate(descriptor, 0) != 0) return;
  size_t length = strlen(title);
  ssize_t written = pwrite(descriptor, title, length, 0);
  (void)written;
}

int RegisterWindowTitle(const char* title) {
  static unsigned serial;
  char folder[1024];
  if (!RegistryFolder(folder, sizeof folder)) return -1;
  // Made under a hidden name and renamed once locked, so that a reader never
  // takes a registration in the making for a stale one.
  char staging[1200];
  char path[1200];
  snprintf(staging, sizeof staging, "%s/.%ld-%u", folder, (long)getpid(), serial);
  snprintf(path, sizeof path, "%s/%ld-%u", folder, (long)getpid(), serial);
  ++serial;
  int descriptor = open(staging, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (descriptor < 0) return -1;
  int registered = flock(descriptor, LOCK_EX | LOCK_NB) == 0;
  if (registered) {
    WriteTitle(descriptor, title);
    registered = rename(staging, path) == 0;
  }
  if (!registered) {
    unlink(staging);
    close(descriptor);
    return -1;
  }
  return descriptor;
}

void ChangeRegisteredTitle(int token, const char* title) {
  if (token >= 0) WriteTitle(token, title);
}

void UnregisterWindowTitle(int token) {
  if (token < 0) return;
  char link[64];
  char path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", token);
  ssize_t length = readlink(link, path, sizeof path - 1);
  if (length > 0) {
    path[length] = '\0';
    unlink(path);
  }
  close(token);
}

int IsTitleRegistered(const char* title) {
  char folder[1024];
  if (!RegistryFolder(folder, sizeof folder)) return 0;
  DIR* dir = opendir(folder);
  if (dir == nullptr) return 0;
  size_t titleLength = strlen(title);
  int found = 0;
  struct dirent* entry;
  while (!found && (entry = readdir(dir)) != nullptr) {
    if (entry->d_name[0] == '.') continue;
    char path[1400];
    snprintf(path, sizeof path, "%s/%s", folder, entry->d_name);
    int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) continue;
    if (flock(descriptor, LOCK_SH | LOCK_NB) == 0) {
      // Nobody holds it: the window's process has gone.
      unlink(path);
    } else {
      char stored[1100];
      ssize_t length = read(descriptor, stored, sizeof stored);
      found = length >= 0 && (size_t)length == titleLength && memcmp(stored, title, titleLength) == 0;
    }
    close(descriptor);
  }
  closedir(dir);
  return found;
}
