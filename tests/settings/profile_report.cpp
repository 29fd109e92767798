#include "tests/settings/profile_report.h"

#include <cstring>
#include <fstream>

ProfileReport ReadProfileReport(const std::string& hostPath) {
  ProfileReport report;
  std::ifstream in(hostPath, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    report[line.substr(0, line.find(' '))].push_back(line);
  }
  return report;
}

static std::string Hex(const std::string& bytes) {
  static const char HEX[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char byte : bytes) {
    text += HEX[byte >> 4];
    text += HEX[byte & 15];
  }
  return text;
}

std::vector<std::string> ExpectedProfileLines(const ProfileCase& entry) {
  std::vector<std::string> lines;
  for (int i = 0; i < PROFILE_CALLS_PER_CASE && entry.calls[i].section != nullptr; ++i) {
    const ProfileCall& call = entry.calls[i];
    std::string prefix = std::string(entry.name) + " " + std::to_string(i);
    if (call.write) {
      lines.push_back(prefix + " write 1");
      continue;
    }
    std::string buffer(call.expected);
    buffer += '\0';
    buffer.resize(call.capacity + GUARD_BYTES, GUARD_FILL);
    lines.push_back(prefix + " read " + std::to_string(strlen(call.expected)) + " " + Hex(buffer));
  }
  const char* file = entry.expectedFile != nullptr ? entry.expectedFile : entry.contents;
  lines.push_back(std::string(entry.name) + " file" +
                  (file != nullptr ? " " + Hex(file) : std::string(" missing")));
  return lines;
}
