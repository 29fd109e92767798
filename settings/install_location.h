// Finding the install folder through the product settings file, and the
// record of the update version applied.
#pragma once

// Nonzero when the settings file was found; UpdateState.appDataFolder and
// UpdateState.installFolder ("*" without an install key) are then filled.
int LocateInstallation();
// Nonzero when the settings file records this package version or a later one.
int IsUpdateAlreadyApplied();
// Writes the package version into the settings file. Always 1.
int RecordUpdateVersion();
// <appDataFolder>\<brand folder>\<short name>.ini into out (PATH_TEXT_SIZE
// bytes); 0 when the path does not fit.
int BuildSettingsPath(const char* appDataFolder, char* out);
