#include "tests/settings/profile_report.h"

#include "platform/host/host_paths.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

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

std::string MakeTemporaryFolder() {
  const char* base = getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && base[0] ? base : "/tmp") +
                        "/updater-settings-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  return mkdtemp(name.data()) != nullptr ? std::string(name.data()) : std::string();
}

std::string WindowsPathOf(const std::string& hostPath) {
  char out[4096];
  return WindowsPathFromHost(hostPath.c_str(), out, sizeof out) ? std::string(out)
                                                                 : std::string();
}

std::string ReadWholeFile(const std::string& hostPath, bool* exists) {
  std::ifstream in(hostPath, std::ios::binary);
  *exists = static_cast<bool>(in);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return *exists ? bytes.str() : std::string();
}

void WriteWholeFile(const std::string& hostPath, const std::string& bytes) {
  std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
  out << bytes;
}
