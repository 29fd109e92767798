// Fuzzes the host reader and writer of initialisation files with arbitrary
// file contents: neither may crash or trip a sanitizer, and after a write
// the key written reads back as its value while every other key reads as
// it did before.
#include "platform/host/host_paths.h"
#include "platform/profile.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

enum { CAPACITY = 1 << 16 };

static void Require(bool condition, const char* what) {
  if (!condition) {
    fprintf(stderr, "profile property broken: %s\n", what);
    abort();
  }
}

static std::string Trim(const std::string& text) {
  size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return std::string();
  size_t end = text.find_last_not_of(" \t");
  return text.substr(start, end - start + 1);
}

// Drops the bytes given and every lead byte that no trail byte follows,
// so that the text is one the file can hold and give back.
static std::string Clean(const std::string& text, const char* dropped) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char byte = (unsigned char)text[i];
    if (byte == '\0' || byte == '\r' || byte == '\n' || strchr(dropped, byte) != nullptr) continue;
    if (IsCp932LeadByte(byte)) {
      unsigned char trail = i + 1 < text.size() ? (unsigned char)text[i + 1] : 0;
      if (trail < 0x40 || trail == 0x7F || trail > 0xFC) continue;
      out += text[i];
      out += text[++i];
      continue;
    }
    out += text[i];
  }
  return Trim(out);
}

static std::string Read(const std::string& section, const std::string& key, const char* path) {
  static char out[CAPACITY];
  uint32_t length =
      ReadProfileText(section.c_str(), key.c_str(), "\x01missing", out, CAPACITY, path);
  Require(length < CAPACITY && out[length] == '\0', "read text not terminated in its buffer");
  return std::string(out, length);
}

static bool FoldEqual(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'a' && a[i] <= 'z' ? (char)(a[i] - 32) : a[i];
    char y = b[i] >= 'a' && b[i] <= 'z' ? (char)(b[i] - 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

// Section and key names that the contents seem to hold; any pair will do
// as a probe, these merely tend to hit real entries.
static std::vector<std::pair<std::string, std::string>> Probes(const std::string& contents) {
  std::vector<std::pair<std::string, std::string>> probes;
  std::string section;
  size_t start = 0;
  while (start <= contents.size() && probes.size() < 64) {
    size_t end = contents.find_first_of("\r\n", start);
    if (end == std::string::npos) end = contents.size();
    std::string line = contents.substr(start, end - start);
    size_t open = line.find('['), close = line.rfind(']'), equals = line.find('=');
    if (open != std::string::npos && close != std::string::npos && close > open) {
      section = Trim(line.substr(open + 1, close - open - 1));
    } else if (equals != std::string::npos) {
      probes.emplace_back(section, Trim(line.substr(0, equals)));
    }
    // Names are passed as C texts: one with a zero byte would name another.
    if (!probes.empty() && (probes.back().first.find('\0') != std::string::npos ||
                            probes.back().second.find('\0') != std::string::npos)) {
      probes.pop_back();
    }
    start = end + 1;
  }
  return probes;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // In memory where there is such a folder: each write syncs the file.
  static std::string hostPath = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                "/updater-profile-fuzz-" + std::to_string(getpid()) + ".ini";
  static char path[4096];
  if (path[0] == '\0') Require(WindowsPathFromHost(hostPath.c_str(), path, sizeof path), "path");

  FuzzedDataProvider input(data, size);
  uint8_t choice = input.ConsumeIntegral<uint8_t>();
  std::string section = Clean(input.ConsumeRandomLengthString(24), "]");
  std::string key = Clean(input.ConsumeRandomLengthString(24), "=");
  while (!key.empty() && key[0] == '[') key = Trim(key.substr(1));
  std::string value = Clean(input.ConsumeRandomLengthString(48), "");
  if (section.empty()) section = "S";
  if (key.empty()) key = "k";
  // A value in matching quotes reads back without them.
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    value += 'x';
  }
  std::string contents = input.ConsumeRemainingBytesAsString();

  FILE* file = fopen(hostPath.c_str(), "wb");
  Require(file != nullptr, "fixture file");
  fwrite(contents.data(), 1, contents.size(), file);
  fclose(file);

  std::vector<std::pair<std::string, std::string>> probes = Probes(contents);
  // Mostly write an entry the file already seems to hold, so that values
  // are replaced and keys added to existing sections, not only appended.
  if ((choice & 1) && !probes.empty()) {
    const auto& probe = probes[(choice >> 1) % probes.size()];
    if (!probe.first.empty() && Clean(probe.first, "]") == probe.first) section = probe.first;
    if (!probe.second.empty() && probe.second[0] != '[' &&
        Clean(probe.second, "=") == probe.second) {
      key = probe.second;
    }
  }
  std::vector<std::string> before;
  for (const auto& probe : probes) before.push_back(Read(probe.first, probe.second, path));

  Require(WriteProfileText(section.c_str(), key.c_str(), value.c_str(), path) == 1, "write failed");
  Require(Read(section, key, path) == value, "written value does not read back");
  for (size_t i = 0; i < probes.size(); ++i) {
    // Names equal without regard to ASCII case may be the entry written.
    if (FoldEqual(probes[i].first, section) && FoldEqual(probes[i].second, key)) continue;
    Require(Read(probes[i].first, probes[i].second, path) == before[i], "another key changed");
  }
  char small[8];
  uint32_t cut = ReadProfileText(section.c_str(), key.c_str(), "", small, sizeof small, path);
  Require(cut == std::min<size_t>(value.size(), sizeof small - 1) &&
              memcmp(small, value.data(), cut) == 0 && small[cut] == '\0',
          "a cut read is not the value's first bytes");
  unlink(hostPath.c_str());
  return 0;
}
