// Runs the case table through platform/win32 and writes one line a case to
// the file named by the argument, for the host test to compare.
#include "tests/platform/platform_cases.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  FILE* out = fopen(argv[1], "wb");
  if (out == nullptr) return 1;
  for (int i = 0; i < CaseCount(); ++i) {
    char line[CASE_LINE_SIZE];
    RunCase(i, line, sizeof line);
    fprintf(out, "%s\n", line);
  }
  return fclose(out) == 0 ? 0 : 1;
}
