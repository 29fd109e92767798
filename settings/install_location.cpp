#include "settings/install_location.h"

#include "app/update_state.h"

// STAND-IN until the settings file is read: no installation is ever found.
int LocateInstallation() { return 0; }

// STAND-IN: no version is ever recorded.
int IsUpdateAlreadyApplied() { return 0; }

// STAND-IN: records nothing.
int RecordUpdateVersion() { return 1; }

// STAND-IN: no settings path is composed.
int BuildSettingsPath(const char*, char* out) {
  out[0] = '\0';
  return 0;
}
