// Running the programs under test from a host test: the host updater, on a
// pseudo-terminal or not, and Windows programs under Wine through
// scripts/wine.sh.
#pragma once

#include <string>
#include <vector>

// A new empty folder under /tmp; empty text when it cannot be made.
std::string MakeTempFolder(const char* tag);

// The Windows path under which Wine sees a host path (drive Z: is "/").
std::string WindowsPath(const std::string& hostPath);

// The lines of a text file, without their line feeds; none when it is missing.
std::vector<std::string> ReadLines(const std::string& path);

// Runs a Windows program under Wine with the given arguments; its output
// goes to the file log. The exit code, or -1 when it could not be run.
int RunUnderWine(const std::vector<std::string>& arguments, const std::string& log);
// The same, started in the background: the process id, or -1.
int StartUnderWine(const std::vector<std::string>& arguments, const std::string& log);
// Waits for a program started so: its exit code, or -1.
int WaitForProgram(int pid);

// Saves a screenshot of the Wine display as a PNG file; nonzero on success.
int TakeScreenshot(const std::string& path);

// Settings for host updaters that find no installation: an empty AppData
// folder and a window registry of their own, made under folder. None when
// the folders cannot be made.
std::vector<std::string> NoInstallationSettings(const std::string& folder);

// The settings with one more NAME=VALUE added.
std::vector<std::string> WithSetting(std::vector<std::string> settings, const std::string& setting);

// Runs the host updater with NAME=VALUE settings added to this process's
// environment (UPDATER_ANSWERS removed unless given), stdin and stdout
// detached. The exit code, or -1.
int RunHostUpdater(const std::vector<std::string>& settings);

// A host updater on a pseudo-terminal, so that its boxes wait for an answer.
struct TerminalUpdater {
  int pid;
  int terminal;  // the controlling side of the pseudo-terminal
};

// Starts it and waits until it asks its first box's question; 0 when it
// did not get that far within a few seconds.
int StartUpdaterOnTerminal(const std::vector<std::string>& settings, TerminalUpdater* updater);
// Answers the waiting box with a line, then waits for the exit: the exit code,
// or -1 (killed or not ended).
int AnswerAndWait(TerminalUpdater* updater, const char* line);
// Kills it with SIGKILL and reaps it.
void KillUpdater(TerminalUpdater* updater);
