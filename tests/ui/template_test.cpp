// The progress dialog's template as the built UpDate.exe carries it: every
// field of the extended template read back from the module's resources.
#include "platform/host/pe_resources.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

enum : uint16_t { RT_ICON_TYPE = 3, RT_DIALOG_TYPE = 5, RT_GROUP_ICON_TYPE = 14 };
enum : uint16_t { STATIC_CLASS_ORDINAL = 0x0082 };

std::vector<uint8_t> ReadWholeFile(const char* path) {
  std::vector<uint8_t> bytes;
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return bytes;
  uint8_t chunk[65536];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  fclose(file);
  return bytes;
}

// A bounded cursor over the template; any read past the end marks it broken.
struct Reader {
  const uint8_t* data;
  uint32_t size;
  uint32_t at;
  bool broken;
};

uint32_t Read(Reader* reader, int bytes) {
  if (reader->broken || reader->size - reader->at < (uint32_t)bytes) {
    reader->broken = true;
    return 0;
  }
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= (uint32_t)reader->data[reader->at + i] << (8 * i);
  reader->at += bytes;
  return value;
}

void AlignToDword(Reader* reader) {
  while (!reader->broken && reader->at % 4 != 0) Read(reader, 1);
}

// A name-or-ordinal field: "" for none, "#N" for an ordinal, else the
// UTF-16 text as UTF-8 (the template's texts are all in the BMP).
std::string ReadNameOrOrdinal(Reader* reader) {
  uint32_t first = Read(reader, 2);
  if (first == 0xFFFF) return "#" + std::to_string(Read(reader, 2));
  std::string text;
  for (uint32_t unit = first; unit != 0 && !reader->broken; unit = Read(reader, 2)) {
    if (unit < 0x80) {
      text += (char)unit;
    } else if (unit < 0x800) {
      text += (char)(0xC0 | unit >> 6);
      text += (char)(0x80 | (unit & 0x3F));
    } else {
      text += (char)(0xE0 | unit >> 12);
      text += (char)(0x80 | ((unit >> 6) & 0x3F));
      text += (char)(0x80 | (unit & 0x3F));
    }
  }
  return text;
}

struct ExpectedControl {
  uint32_t id;
  const char* windowClass;
  const char* text;
  uint32_t style;
  int16_t x, y, cx, cy;
};

const ExpectedControl CONTROLS[] = {
    {IDC_PROGRESS, "msctls_progress32", "", 0x50800001, 8, 16, 172, 15},
    {IDC_STATUS, "#130", "アップデートを行っています。", 0x50020000, 10, 4, 162, 8},
    {IDC_PERCENT, "#130", "", 0x50020002, 150, 33, 28, 9},
};

class BuiltModule : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes = ReadWholeFile(UPDATER_WINDOWS_EXE);
    ASSERT_FALSE(bytes.empty()) << "build the Windows target first: " << UPDATER_WINDOWS_EXE;
    ASSERT_TRUE(ParsePeImage(bytes.data(), bytes.size(), &image));
  }
  std::vector<uint8_t> bytes;
  PeImage image = {};
};

TEST_F(BuiltModule, DialogTemplateCarriesEveryFieldAsDesigned) {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  ASSERT_TRUE(FindPeResource(&image, PeId(RT_DIALOG_TYPE), PeId(IDD_UPDATE), LANG_ID_JAPANESE,
                             &data, &size));
  Reader reader = {data, size, 0, false};

  EXPECT_EQ(Read(&reader, 2), 1u) << "template version";
  EXPECT_EQ(Read(&reader, 2), 0xFFFFu) << "extended template signature";
  EXPECT_EQ(Read(&reader, 4), 0u) << "help identifier";
  EXPECT_EQ(Read(&reader, 4), 0u) << "extended style";
  EXPECT_EQ(Read(&reader, 4), 0x80C808C0u) << "style";
  EXPECT_EQ(Read(&reader, 2), 3u) << "controls";
  EXPECT_EQ((int16_t)Read(&reader, 2), 0);
  EXPECT_EQ((int16_t)Read(&reader, 2), 0);
  EXPECT_EQ((int16_t)Read(&reader, 2), 187);
  EXPECT_EQ((int16_t)Read(&reader, 2), 55);
  EXPECT_EQ(ReadNameOrOrdinal(&reader), "") << "menu";
  EXPECT_EQ(ReadNameOrOrdinal(&reader), "") << "dialog class";
  EXPECT_EQ(ReadNameOrOrdinal(&reader), "Update Program");
  EXPECT_EQ(Read(&reader, 2), 9u) << "point size";
  EXPECT_EQ(Read(&reader, 2), 0u) << "weight";
  EXPECT_EQ(Read(&reader, 1), 0u) << "italic";
  EXPECT_EQ(Read(&reader, 1), 0u) << "character set";
  EXPECT_EQ(ReadNameOrOrdinal(&reader), "ＭＳ Ｐゴシック");

  for (const ExpectedControl& control : CONTROLS) {
    SCOPED_TRACE("control " + std::to_string(control.id));
    AlignToDword(&reader);
    EXPECT_EQ(Read(&reader, 4), 0u) << "help identifier";
    EXPECT_EQ(Read(&reader, 4), 0u) << "extended style";
    EXPECT_EQ(Read(&reader, 4), control.style);
    EXPECT_EQ((int16_t)Read(&reader, 2), control.x);
    EXPECT_EQ((int16_t)Read(&reader, 2), control.y);
    EXPECT_EQ((int16_t)Read(&reader, 2), control.cx);
    EXPECT_EQ((int16_t)Read(&reader, 2), control.cy);
    EXPECT_EQ(Read(&reader, 4), control.id);
    EXPECT_EQ(ReadNameOrOrdinal(&reader), control.windowClass);
    EXPECT_EQ(ReadNameOrOrdinal(&reader), control.text);
    EXPECT_EQ(Read(&reader, 2), 0u) << "creation data";
  }
  EXPECT_FALSE(reader.broken) << "the template ends before its last field";
  EXPECT_EQ(reader.at, size) << "bytes after the last control";
}

// The dialog asks for icon IDI_APP, which this build does not carry.
TEST_F(BuiltModule, CarriesOneDialogTemplateAndNoIcon) {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  EXPECT_FALSE(FindPeResource(&image, PeId(RT_GROUP_ICON_TYPE), PeId(IDI_APP), PE_FIRST_LANGUAGE,
                              &data, &size));
  struct Count {
    int icons;
    int dialogs;
  } count = {0, 0};
  ASSERT_TRUE(ListPeResources(
      &image,
      [](const PeResourceEntry* entry, void* context) {
        Count* seen = static_cast<Count*>(context);
        if (entry->typeIsName) return;
        if (entry->typeId == RT_ICON_TYPE || entry->typeId == RT_GROUP_ICON_TYPE) ++seen->icons;
        if (entry->typeId == RT_DIALOG_TYPE) ++seen->dialogs;
      },
      &count));
  EXPECT_EQ(count.icons, 0);
  EXPECT_EQ(count.dialogs, 1) << "the progress dialog's template, in one language";
}

}  // namespace
