// A resource module with code: its entry point creates the file named by
// env UPDATER_MARK_FILE, so a test can tell whether loading it ran it.
// Its records are placeholders that make_installation seals.
#include <cstdio>
#include <cstdlib>

enum { PROCESS_ATTACH = 1 };

extern "C" int __stdcall DllMain(void*, unsigned long reason, void*) {
  const char* mark = getenv("UPDATER_MARK_FILE");
  if (reason == PROCESS_ATTACH && mark != nullptr) {
    FILE* file = fopen(mark, "w");
    if (file != nullptr) {
      fputs("entry point ran\n", file);
      fclose(file);
    }
  }
  return 1;
}

// Linked by the loader program, so that an ordinary load can be shown to
// leave the mark.
extern "C" __declspec(dllexport) int MarkModuleLoaded() { return 1; }
