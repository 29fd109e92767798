// The product settings scenes that the host edition and UpDate.exe under
// Wine are run through, and the transcript lines they must give.
#pragma once

#include <string>
#include <vector>

extern const char NO_APPDATA_BOX[];
extern const char DAMAGED_BOX[];
extern const char NOT_NEEDED_DECLINED_BOX[];

// Makes a sealed installation in install whose settings file under appData
// records version; nonzero on success.
int MakeRecordedInstallation(const std::string& install, const std::string& appData,
                             const char* version);
