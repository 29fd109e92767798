// Looks RCDATA resources up through the platform's resource functions and
// writes what it found, so that a host test can compare the Win32 back end
// with the host reader on the same modules.
//
//   resource_probe.exe REPORT MODULE NAME...
//
// REPORT gets "open 1" or "open 0", then per name "NAME -" (not found) or
// "NAME SIZE HEX" (the bytes in hexadecimal).
#include "platform/resources.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  FILE* report = fopen(argv[1], "w");
  if (report == nullptr) return 1;
  ModuleHandle module = OpenResourceModule(argv[2]);
  fprintf(report, "open %d\n", module != nullptr ? 1 : 0);
  for (int i = 3; module != nullptr && i < argc; ++i) {
    const void* data = nullptr;
    uint32_t size = 0;
    if (FindNamedData(module, argv[i], &data, &size) && data != nullptr) {
      fprintf(report, "%s %u ", argv[i], size);
      for (uint32_t k = 0; k < size; ++k) fprintf(report, "%02X", ((const uint8_t*)data)[k]);
      fprintf(report, "\n");
    } else {
      fprintf(report, "%s -\n", argv[i]);
    }
  }
  ReleaseModule(module);
  fclose(report);
  return 0;
}
