#include "platform/host/pe_resources.h"
#include "tests/integrity/malformed_modules.h"
#include "tests/integrity/sample_installation.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> SampleModule(const std::vector<std::string>& options) {
  std::string install = MakeTempFolder("pe") + "/game";
  std::vector<std::string> all = {"--install=" + install, "--exe-text=0123456789ABCDEF"};
  all.insert(all.end(), options.begin(), options.end());
  EXPECT_EQ(MakeSampleInstallation(all), 0);
  return ReadModuleFile(install + "/dll/RESOURCE.dll");
}

std::string Found(const PeImage& image, PeResourceKey name, int language) {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  if (!FindPeResource(&image, PeId(10), name, language, &data, &size)) return "-";
  return std::string((const char*)data, size);
}

void Collect(const PeResourceEntry* entry, void* context) {
  std::string line = std::to_string(entry->typeId) + " " + entry->name + " " +
                     std::to_string(entry->language) + " " + std::to_string(entry->size);
  static_cast<std::vector<std::string>*>(context)->push_back(line);
}

// A listed entry's bytes, when it has any, lie inside the image.
void ExpectInside(const PeResourceEntry* entry, void* context) {
  const std::vector<uint8_t>& bytes = *static_cast<std::vector<uint8_t>*>(context);
  if (entry->data == nullptr) return;
  EXPECT_GE(entry->data, bytes.data());
  EXPECT_LE(entry->data + entry->size, bytes.data() + bytes.size());
}

TEST(PeResources, FindsNamedDataInBothImageKinds) {
  for (bool pe64 : {false, true}) {
    SCOPED_TRACE(pe64);
    std::vector<uint8_t> bytes = SampleModule(pe64 ? std::vector<std::string>{"--pe64"}
                                                   : std::vector<std::string>{});
    PeImage image;
    ASSERT_EQ(ParsePeImage(bytes.data(), bytes.size(), &image), 1);
    EXPECT_EQ(image.is64, pe64 ? 1 : 0);
    EXPECT_EQ(image.machine, pe64 ? 0x8664 : 0x014C);
    for (const char* name : {"Velmora.exe", "VELMORA.EXE", "velmora.EXE"}) {
      EXPECT_EQ(Found(image, PeName(name), PE_FIRST_LANGUAGE), "0123456789ABCDEF") << name;
    }
    EXPECT_EQ(Found(image, PeName("Velmora.exe"), 0x0411), "0123456789ABCDEF");
    EXPECT_EQ(Found(image, PeName("Velmora.exe"), 0x0409), "-");
    EXPECT_EQ(Found(image, PeName("Velmora.ex"), PE_FIRST_LANGUAGE), "-");
    EXPECT_EQ(Found(image, PeName("Velmora.exe."), PE_FIRST_LANGUAGE), "-");
    EXPECT_EQ(Found(image, PeName("Velmora.exe\xC3\xA9"), PE_FIRST_LANGUAGE), "-");
    EXPECT_EQ(Found(image, PeId(1), PE_FIRST_LANGUAGE), "-");
    EXPECT_EQ(Found(image, PeName("RESOURCE.dll"), PE_FIRST_LANGUAGE).size(), 16u);

    std::vector<std::string> listed;
    EXPECT_EQ(ListPeResources(&image, Collect, &listed), 1);
    EXPECT_EQ(listed, (std::vector<std::string>{"10 RESOURCE.DLL 1041 16",
                                                "10 VELMORA.EXE 1041 16"}));
  }
}

TEST(PeResources, MalformedModulesAreNotFoundAndNeverReadPastTheirBytes) {
  std::vector<uint8_t> good = SampleModule({});
  for (const ModuleVariant& variant : MalformedModules(good)) {
    SCOPED_TRACE(variant.what);
    // A copy of exactly the variant's size, so that a read past it is a read
    // past the allocation (and shows under the sanitizers).
    std::vector<uint8_t> bytes(variant.bytes);
    PeImage image;
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    int found = ParsePeImage(bytes.data(), bytes.size(), &image) &&
                FindPeResource(&image, PeId(10), PeName("RESOURCE.dll"), PE_FIRST_LANGUAGE,
                               &data, &size);
    EXPECT_EQ(found, 0);
    if (ParsePeImage(bytes.data(), bytes.size(), &image)) {
      ListPeResources(&image, ExpectInside, &bytes);
    }
  }
  // Cut to any shorter length, the record is found only while its bytes
  // are all there, and then as they were.
  PeImage whole;
  const uint8_t* record = nullptr;
  uint32_t recordSize = 0;
  ASSERT_EQ(ParsePeImage(good.data(), good.size(), &whole), 1);
  ASSERT_EQ(FindPeResource(&whole, PeId(10), PeName("RESOURCE.dll"), PE_FIRST_LANGUAGE, &record,
                           &recordSize),
            1);
  size_t recordEnd = (size_t)(record - good.data()) + recordSize;
  for (size_t length = 0; length < good.size(); ++length) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + length);
    PeImage image;
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    int found = ParsePeImage(cut.data(), cut.size(), &image) &&
                FindPeResource(&image, PeId(10), PeName("RESOURCE.dll"), PE_FIRST_LANGUAGE,
                               &data, &size);
    ASSERT_EQ(found, length >= recordEnd ? 1 : 0) << length;
    if (found) {
      EXPECT_EQ(data - cut.data(), record - good.data());
      EXPECT_EQ(size, recordSize);
    }
  }
}

}  // namespace
