// Looks RCDATA resources up through the platform's resource functions and
// writes what it found, so that a host test can compare the Win32 back end
// with the host reader on the same modules.
//
//   resource_probe.exe REPORT NAME[,NAME...] MODULE...
//
// REPORT gets, per module, "MODULE open 0" or "MODULE open 1" and then per
// name "NAME -" (not found) or "NAME SIZE HEX" (the bytes in hexadecimal).
#include "platform/resources.h"

#include <cstdio>
#include <cstring>

enum { NAME_LIST_SIZE = 1024 };

static void Probe(FILE* report, const char* path, const char* names) {
  ModuleHandle module = OpenResourceModule(path);
  fprintf(report, "%s open %d\n", path, module != nullptr ? 1 : 0);
  char list[NAME_LIST_SIZE];
  snprintf(list, sizeof list, "%s", names);
  for (char* name = strtok(list, ","); module != nullptr && name != nullptr;
       name = strtok(nullptr, ",")) {
    const void* data = nullptr;
    uint32_t size = 0;
    if (FindNamedData(module, name, &data, &size) && data != nullptr) {
      fprintf(report, "%s %u ", name, size);
      for (uint32_t k = 0; k < size; ++k) fprintf(report, "%02X", ((const uint8_t*)data)[k]);
      fprintf(report, "\n");
    } else {
      fprintf(report, "%s -\n", name);
    }
  }
  ReleaseModule(module);
}

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  FILE* report = fopen(argv[1], "wb");
  if (report == nullptr) return 1;
  for (int i = 3; i < argc; ++i) Probe(report, argv[i], argv[2]);
  fclose(report);
  return 0;
}
