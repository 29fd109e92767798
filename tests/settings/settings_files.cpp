#include "tests/settings/settings_files.h"

#include <filesystem>
#include <fstream>
#include <sstream>

std::string ReadWholeFile(const std::string& hostPath, bool* exists) {
  std::ifstream in(hostPath, std::ios::binary);
  *exists = static_cast<bool>(in);
  std::ostringstream bytes;
  if (*exists) bytes << in.rdbuf();
  return bytes.str();
}

int WriteWholeFile(const std::string& hostPath, const std::string& bytes) {
  std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  return out.good() ? 1 : 0;
}

std::string WriteSettingsFile(const std::string& appData, const std::string& contents) {
  std::string brand = appData + "/ホロメリダ";
  std::error_code error;
  std::filesystem::create_directories(brand, error);
  std::string path = brand + "/Velmora.ini";
  return !error && WriteWholeFile(path, contents) ? path : std::string();
}

std::map<std::string, std::string> SnapshotFolder(const std::string& folder) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
    if (!entry.is_regular_file()) continue;
    bool exists = false;
    files[std::filesystem::relative(entry.path(), folder).string()] =
        ReadWholeFile(entry.path().string(), &exists);
  }
  return files;
}
