// Reading the reports of the initialisation-file case table.
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
