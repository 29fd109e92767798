#include "settings/install_location.h"

#include "app/message_catalogue.h"
#include "app/package_definition.h"
#include "app/update_state.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/messagebox.h"
#include "platform/profile.h"
#include "platform/text.h"

#include <cstdlib>

static const char INSTALL_SECTION[] = "INSTALL";
static const char INSTALL_FOLDER_KEY[] = "InstallFold";
static const char UPDATE_SECTION[] = "SYSTEM_UPDATE";
static const char VERSION_KEY[] = "version";
// What a missing entry reads as.
static const char NO_ENTRY[] = "*";
// At most 254 characters of recorded version and the terminating zero.
enum { VERSION_TEXT_SIZE = 255 };

int BuildSettingsPath(const char* appDataFolder, char* out) {
  // A path cut to fit would name some other file: refuse it whole.
  if (FormatText(out, PATH_TEXT_SIZE, "%s\\%s\\%s.ini", appDataFolder, Package.brandFolder,
                 Package.shortName) < 0) {
    out[0] = '\0';
    return 0;
  }
  return 1;
}

int LocateInstallation() {
  if (!GetSpecialFolder(FOLDER_APPDATA, State.appDataFolder) &&
      !GetSpecialFolder(FOLDER_COMMON_APPDATA, State.appDataFolder)) {
    ShowMessageBox(nullptr, MSG_NO_APPDATA, CAPTION_UNKNOWN_ERROR, BOX_OK | BOX_ICON_QUESTION);
    return 0;
  }
  char path[PATH_TEXT_SIZE];
  int isFolder = 0;
  // The all-users folder stands in only when the per-user one cannot be
  // had, never when the per-user one merely lacks the settings file.
  if (!BuildSettingsPath(State.appDataFolder, path) || !FindDirectoryEntry(path, &isFolder) ||
      isFolder) {
    return 0;
  }
  ReadProfileText(INSTALL_SECTION, INSTALL_FOLDER_KEY, NO_ENTRY, State.installFolder,
                  sizeof State.installFolder, path);
  return 1;
}

int IsUpdateAlreadyApplied() {
  char path[PATH_TEXT_SIZE];
  if (!BuildSettingsPath(State.appDataFolder, path)) return 0;
  char recorded[VERSION_TEXT_SIZE];
  ReadProfileText(UPDATE_SECTION, VERSION_KEY, NO_ENTRY, recorded, sizeof recorded, path);
  if (recorded[0] == NO_ENTRY[0]) return 0;
  // Versions compare as single-precision decimals, so 1.9 is later than 1.10
  // and 1.09999999 equals 1.1.
  float package = (float)strtod(Package.packageVersion, nullptr);
  float found = (float)strtod(recorded, nullptr);
  return found >= package ? 1 : 0;
}

int RecordUpdateVersion() {
  char path[PATH_TEXT_SIZE];
  // A failed write goes unnoticed: the next run finds the older record.
  if (BuildSettingsPath(State.appDataFolder, path)) {
    WriteProfileText(UPDATE_SECTION, VERSION_KEY, Package.packageVersion, path);
  }
  return 1;
}
