// Sample installations for the tests, made by tools/make_installation.
#pragma once

#include <string>
#include <vector>

// Runs make_installation with the options; its standard output goes to
// *output when given. The exit code, or -1 when it could not be run.
int MakeSampleInstallation(const std::vector<std::string>& options, std::string* output = nullptr);

// A value that --print-layout reported ("window", "record_offset", ...);
// -1 when it is missing.
long long LayoutValue(const std::string& output, const char* name);
