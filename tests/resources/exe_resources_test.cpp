// The built UpDate.exe read back with the host PE reader: its manifest,
// version block, resources and imports, byte for byte.
#include "platform/host/pe_resources.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <strings.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>());
}

struct Exe {
  std::vector<uint8_t> bytes;
  PeImage image;
};

// Read once: the Windows build must have made it.
const Exe& BuiltExe() {
  static Exe exe;
  if (exe.bytes.empty()) {
    exe.bytes = ReadFile(UPDATER_WINDOWS_EXE);
    ParsePeImage(exe.bytes.data(), exe.bytes.size(), &exe.image);
  }
  return exe;
}

void Collect(const PeResourceEntry* entry, void* context) {
  std::string key = std::to_string(entry->typeId) + "/" +
                    (entry->nameIsName ? std::string(entry->name) : std::to_string(entry->nameId)) +
                    "/" + std::to_string(entry->language);
  static_cast<std::vector<std::string>*>(context)->push_back(key);
}

TEST(ExeResources, HoldTheManifestVersionAndDialogOnly) {
  const Exe& exe = BuiltExe();
  ASSERT_FALSE(exe.bytes.empty()) << UPDATER_WINDOWS_EXE;
  ASSERT_NE(exe.image.bytes, nullptr);
  std::vector<std::string> listed;
  ASSERT_EQ(ListPeResources(&exe.image, Collect, &listed), 1);
  // One manifest (the linker adds none of its own), one version block, the
  // progress dialog, and no icon.
  std::vector<std::string> expected = {"5/" + std::to_string(IDD_UPDATE) + "/1041", "16/1/1041",
                                        "24/1/1033"};
  EXPECT_EQ(listed, expected);
}

TEST(ExeResources, ManifestIsTheSourceFileAndOnlyAsksForElevation) {
  const Exe& exe = BuiltExe();
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  ASSERT_EQ(FindPeResource(&exe.image, PeId(24), PeId(1), LANG_ID_ENGLISH_US, &data, &size), 1);
  std::string manifest((const char*)data, size);
  std::vector<uint8_t> source = ReadFile(UPDATER_SOURCE_DIR "/res/updater.manifest");
  EXPECT_EQ(manifest, std::string(source.begin(), source.end()));
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\" "
                          "uiAccess=\"false\"/>"),
            std::string::npos);
  EXPECT_EQ(manifest.find("dependency"), std::string::npos);
  EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
}

// One node of the version block: key, value bytes, children.
struct VersionNode {
  std::u16string key;
  int isText;
  std::vector<uint8_t> value;
  std::vector<VersionNode> children;
};

uint32_t Align4(uint32_t offset) { return (offset + 3) & ~3u; }

// Parses the node at offset (relative to the block, which starts aligned).
bool ParseNode(const uint8_t* block, uint32_t limit, uint32_t offset, VersionNode* node,
               uint32_t* end) {
  if (offset + 6 > limit) return false;
  uint32_t length = block[offset] | (block[offset + 1] << 8);
  uint32_t valueLength = block[offset + 2] | (block[offset + 3] << 8);
  node->isText = block[offset + 4] | (block[offset + 5] << 8);
  if (length < 6 || offset + length > limit) return false;
  uint32_t nodeEnd = offset + length;
  uint32_t p = offset + 6;
  for (;; p += 2) {
    if (p + 2 > nodeEnd) return false;
    char16_t unit = (char16_t)(block[p] | (block[p + 1] << 8));
    if (unit == 0) break;
    node->key += unit;
  }
  p = Align4(p + 2);
  uint32_t valueBytes = node->isText ? valueLength * 2 : valueLength;
  if (p + valueBytes > nodeEnd) return false;
  node->value.assign(block + p, block + p + valueBytes);
  p = Align4(p + valueBytes);
  while (p < nodeEnd) {
    VersionNode child;
    uint32_t childEnd;
    if (!ParseNode(block, nodeEnd, p, &child, &childEnd)) return false;
    node->children.push_back(child);
    p = Align4(childEnd);
  }
  *end = nodeEnd;
  return true;
}

std::u16string TextOf(const VersionNode& node) {
  std::u16string text;
  for (size_t i = 0; i + 1 < node.value.size(); i += 2) {
    char16_t unit = (char16_t)(node.value[i] | (node.value[i + 1] << 8));
    if (unit == 0) break;
    text += unit;
  }
  return text;
}

uint32_t Word(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | ((uint32_t)bytes[at + 3] << 24);
}

TEST(ExeResources, VersionBlockNamesVersion1002InJapanese) {
  const Exe& exe = BuiltExe();
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  ASSERT_EQ(FindPeResource(&exe.image, PeId(16), PeId(1), LANG_ID_JAPANESE, &data, &size), 1);
  VersionNode root;
  uint32_t end;
  ASSERT_TRUE(ParseNode(data, size, 0, &root, &end));
  EXPECT_EQ(root.key, u"VS_VERSION_INFO");
  ASSERT_EQ(root.value.size(), 52u);
  EXPECT_EQ(Word(root.value, 0), 0xFEEF04BDu);          // signature
  EXPECT_EQ(Word(root.value, 8), 0x00010000u);          // file version 1.0
  EXPECT_EQ(Word(root.value, 12), 0x00000002u);         // .0.2
  EXPECT_EQ(Word(root.value, 16), 0x00010000u);         // product version 1.0
  EXPECT_EQ(Word(root.value, 20), 0x00000002u);         // .0.2
  EXPECT_EQ(Word(root.value, 28), 0u);                  // no file flags
  EXPECT_EQ(Word(root.value, 32), 0x4u);                // 32-bit Windows
  EXPECT_EQ(Word(root.value, 36), 0x1u);                // application

  ASSERT_EQ(root.children.size(), 2u);
  const VersionNode& strings = root.children[0];
  EXPECT_EQ(strings.key, u"StringFileInfo");
  ASSERT_EQ(strings.children.size(), 1u);
  const VersionNode& table = strings.children[0];
  // The table's key is hexadecimal text; version lookups compare it
  // without regard to case.
  std::u16string key = table.key;
  for (char16_t& unit : key) {
    if (unit >= u'a' && unit <= u'f') unit = (char16_t)(unit - u'a' + u'A');
  }
  EXPECT_EQ(key, u"041104B0");
  std::map<std::u16string, std::u16string> values;
  for (const VersionNode& value : table.children) {
    EXPECT_EQ(value.isText, 1);
    values[value.key] = TextOf(value);
  }
  std::map<std::u16string, std::u16string> expected = {
      {u"FileDescription", u"UpDate アプリケーション"},
      {u"FileVersion", u"1.0.0.2"},
      {u"InternalName", u"UpDate"},
      {u"OriginalFilename", u"UpDate.exe"},
      {u"ProductName", u"UpDate アプリケーション"},
      {u"ProductVersion", u"1.0.0.2"},
  };
  EXPECT_EQ(values, expected);

  const VersionNode& variables = root.children[1];
  EXPECT_EQ(variables.key, u"VarFileInfo");
  ASSERT_EQ(variables.children.size(), 1u);
  EXPECT_EQ(variables.children[0].key, u"Translation");
  EXPECT_EQ(variables.children[0].value, (std::vector<uint8_t>{0x11, 0x04, 0xB0, 0x04}));
}

void CollectImport(const char* name, void* context) {
  static_cast<std::vector<std::string>*>(context)->push_back(name);
}

TEST(ExeResources, ImportsOnlySystemLibrariesAndAsksForAslrAndNx) {
  const Exe& exe = BuiltExe();
  std::vector<std::string> imports;
  ASSERT_EQ(ListPeImports(&exe.image, CollectImport, &imports), 1);
  ASSERT_FALSE(imports.empty());
  const std::set<std::string> system = {"KERNEL32.DLL", "USER32.DLL", "SHELL32.DLL",
                                        "SHLWAPI.DLL", "MSVCRT.DLL"};
  for (std::string name : imports) {
    for (char& c : name) c = (char)toupper((unsigned char)c);
    EXPECT_EQ(system.count(name), 1u) << name;
  }
  EXPECT_EQ(exe.image.is64, 0);
  EXPECT_NE(exe.image.dllCharacteristics & 0x0040, 0) << "dynamic base";
  EXPECT_NE(exe.image.dllCharacteristics & 0x0100, 0) << "NX compatible";
}

}  // namespace
