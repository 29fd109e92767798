// Files of the settings tests: whole-file reads and writes, the product
// settings file under an AppData folder, and snapshots of a folder tree.
#pragma once

#include <map>
#include <string>

// The whole file as bytes; *exists tells whether there was one.
std::string ReadWholeFile(const std::string& hostPath, bool* exists);
// Nonzero when the file was written whole.
int WriteWholeFile(const std::string& hostPath, const std::string& bytes);

// Writes <appData>/ホロメリダ/Velmora.ini (host paths), making the brand
// folder; returns the file's host path, empty when it could not be made.
std::string WriteSettingsFile(const std::string& appData, const std::string& contents);

// Every file under folder by its path relative to folder, with its bytes.
std::map<std::string, std::string> SnapshotFolder(const std::string& folder);
