// Reading the reports of the initialisation-file case table, and the
// temporary folders the settings tests work in.
#pragma once

#include "tests/settings/profile_cases.h"

#include <map>
#include <string>
#include <vector>

typedef std::map<std::string, std::vector<std::string>> ProfileReport;

// The report's lines grouped by case name; empty when it cannot be read.
ProfileReport ReadProfileReport(const std::string& hostPath);

// The lines the table says a case gives: each read's result with the rest
// of its buffer untouched, and the file as it must be afterwards.
std::vector<std::string> ExpectedProfileLines(const ProfileCase& entry);

// A new empty folder under the system's temporary folder (host path).
std::string MakeTemporaryFolder();

// A host path as the Windows path the updater is given (drive Z:).
std::string WindowsPathOf(const std::string& hostPath);

// The whole file as bytes; *exists tells whether there was one.
std::string ReadWholeFile(const std::string& hostPath, bool* exists);
void WriteWholeFile(const std::string& hostPath, const std::string& bytes);
