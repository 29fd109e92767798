// Whole-file reads and writes on the host, for tests that prepare and
// inspect installations byte for byte.
#pragma once

#include <string>

// The file's bytes; empty when it is missing.
std::string ReadHostFile(const std::string& path);
void WriteHostFile(const std::string& path, const std::string& bytes);
