// Runs the initialisation-file case table through the back end this
// program is linked with: profile_agreement FOLDER REPORT (Windows paths).
#include "tests/settings/profile_cases.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  return RunProfileCases(argv[1], argv[2]) ? 0 : 1;
}
