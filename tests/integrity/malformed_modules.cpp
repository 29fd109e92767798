#include "tests/integrity/malformed_modules.h"

#include <fstream>
#include <iterator>

std::vector<uint8_t> ReadModuleFile(const std::string& hostPath) {
  std::ifstream file(hostPath, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>());
}

static void Put(std::vector<uint8_t>* bytes, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width && at + i < bytes->size(); ++i) {
    (*bytes)[at + i] = (uint8_t)(value >> (8 * i));
  }
}

std::vector<ModuleVariant> MalformedModules(const std::vector<uint8_t>& good) {
  // The tool's layout: PE header at 0x40, one section header at 0x138, the
  // resource section at file offset 0x200: root directory, type directory
  // at +0x18, name directories at +0x38, data entries at +0x68, names at
  // +0x88, the integrity record at +0xC0. The first name and data entry
  // are the record's.
  struct Patch {
    const char* what;
    size_t at;
    uint32_t value;
    int width;
  };
  const Patch patches[] = {
      {"PE header offset far past the end", 0x3C, 0xFFFFFFF0u, 4},
      {"PE header offset at the last bytes", 0x3C, (uint32_t)good.size() - 4, 4},
      {"no PE signature", 0x40, 0x00004550u ^ 1, 4},
      {"too many sections", 0x46, 0xFFFF, 2},
      {"optional header larger than the file", 0x54, 0xFFFF, 2},
      {"unknown optional header", 0x58, 0x0999, 2},
      {"section data past the end", 0x138 + 16, 0xFFFFFFFFu, 4},
      {"section data offset past the end", 0x138 + 20, 0x7FFFFFF0u, 4},
      {"no resource directory", 0x58 + 96 + 16, 0, 4},
      {"resource directory outside every section", 0x58 + 96 + 16, 0x00800000u, 4},
      {"root claims 65535 entries", 0x200 + 14, 0xFFFF, 2},
      {"type entry offset outside the section", 0x200 + 20, 0x80FFFFF0u, 4},
      {"type entry is a leaf", 0x200 + 20, 0x18, 4},
      {"name string longer than the section", 0x288, 0xFFFF, 2},
      {"name string offset outside the section", 0x228, 0x8FFFFFF0u, 4},
      {"language entry offset outside the section", 0x238 + 20, 0x00FFFFF0u, 4},
      {"data outside every section", 0x268, 0xFFFFFFF0u, 4},
      {"data size wraps around", 0x26C, 0xFFFFFFFFu, 4},
      {"data running past its section", 0x26C, 0x1000, 4},
  };
  std::vector<ModuleVariant> variants;
  for (const Patch& patch : patches) {
    ModuleVariant variant = {patch.what, good};
    Put(&variant.bytes, patch.at, patch.value, patch.width);
    variants.push_back(variant);
  }
  for (size_t length : {(size_t)0, (size_t)2, (size_t)0x40, (size_t)0x100, (size_t)0x200,
                        (size_t)0x270}) {
    ModuleVariant variant = {"cut to " + std::to_string(length) + " bytes",
                             std::vector<uint8_t>(good.begin(), good.begin() + length)};
    variants.push_back(variant);
  }
  return variants;
}
