// Resource modules on the host: the file is read whole and its resource
// tree walked directly, finding what FindResourceA finds in the same file.
#include "platform/resources.h"

#include "platform/host/host_paths.h"
#include "platform/host/pe_resources.h"
#include "platform/host/testing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

struct PlatformModule {
  uint8_t* bytes;
  PeImage image;
};

// What a 32-bit process could map at most.
static const off_t LARGEST_MODULE = 0x7FFFFFFF;

static uint8_t* ReadWholeFile(const char* hostPath, size_t* size) {
  uint8_t* bytes = nullptr;
  int descriptor = open(hostPath, O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  struct stat info;
  if (fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= LARGEST_MODULE) {
    size_t length = (size_t)info.st_size;
    bytes = (uint8_t*)malloc(length == 0 ? 1 : length);
    size_t done = 0;
    while (bytes != nullptr && done < length) {
      ssize_t count = read(descriptor, bytes + done, length - done);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) break;
      done += (size_t)count;
    }
    if (bytes != nullptr && done != length) {
      free(bytes);
      bytes = nullptr;
    }
    *size = length;
  }
  close(descriptor);
  return bytes;
}

ModuleHandle OpenResourceModule(const char* path) {
  if (CheckFault(FAULT_OPEN_MODULE, path) >= 0) return nullptr;
  char hostPath[4096];
  if (!HostPathFromWindows(path, hostPath, sizeof hostPath)) return nullptr;
  size_t size = 0;
  uint8_t* bytes = ReadWholeFile(hostPath, &size);
  if (bytes == nullptr) return nullptr;
  ModuleHandle module = (ModuleHandle)calloc(1, sizeof(PlatformModule));
  if (module == nullptr || !ParsePeImage(bytes, size, &module->image)) {
    free(module);
    free(bytes);
    return nullptr;
  }
  module->bytes = bytes;
  return module;
}

int FindNamedData(ModuleHandle module, const char* name, const void** data, uint32_t* size) {
  *data = nullptr;
  *size = 0;
  char utf8[1024];
  if (module == nullptr || !Cp932ToUtf8(name, utf8, sizeof utf8)) return 0;
  const uint8_t* found = nullptr;
  enum { RESOURCE_TYPE_RCDATA = 10 };
  if (!FindPeResource(&module->image, PeId(RESOURCE_TYPE_RCDATA), PeName(utf8), PE_FIRST_LANGUAGE,
                      &found, size)) {
    return 0;
  }
  *data = found;
  return 1;
}

void ReleaseModule(ModuleHandle module) {
  if (module == nullptr) return;
  free(module->bytes);
  free(module);
}
