// Whole runs of the updater against a sample installation made by the
// make_installation tool: the host edition as a program of its own, or
// UpDate.exe under Wine through the Wine driver. Both report the same
// transcript lines for what the user saw.
#pragma once

#include "tests/support/host_files.h"

#include <cstdint>
#include <string>
#include <vector>

struct Sample {
  std::string root;     // a temporary folder holding the rest
  std::string install;  // the install folder
  std::string updater;  // the updater's folder: a copy of the program and data/
  std::string appData;  // where the settings file lives
};

// Makes the installation, its settings file under appData (a folder of root
// when empty) and a package whose MUR.dll has murSize bytes, and copies
// program into the updater's folder. False when any of it failed.
bool MakeSample(const std::string& program, const std::string& appData, uint32_t murSize,
                Sample* sample);
void RemoveSample(const Sample& sample);

// The recorded update version of the settings file under appData, "*" when
// none is recorded.
std::string RecordedVersion(const std::string& appData);


// Runs a program with NAME=VALUE settings added to the environment, stdin
// and stdout detached. The exit code, or -1.
int RunProgram(const std::vector<std::string>& arguments, const std::vector<std::string>& settings);

// The transcript lines of what the user saw: boxes, the dialog, the system
// menu probe and the exit.
std::vector<std::string> UserVisibleLines(const std::vector<std::string>& lines);

// Expected lines: a box of the main flow (no owner, the caption), the
// progress dialog, the exit.
std::string MainFlowBox(const char* cp932Text, int style);
std::string ConfirmBox();
std::string DialogLine(const char* action);
std::string ExitLine(int code);
