// Damaged copies of a module made by make_installation, each breaking one
// offset or size that a reader must check before use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ModuleVariant {
  std::string what;
  std::vector<uint8_t> bytes;
};

// The module file at hostPath; empty when it cannot be read.
std::vector<uint8_t> ReadModuleFile(const std::string& hostPath);

// The variants of a 32-bit module with the tool's layout.
std::vector<ModuleVariant> MalformedModules(const std::vector<uint8_t>& good);
