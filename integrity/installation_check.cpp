#include "integrity/installation_check.h"

#include "app/package_definition.h"
#include "integrity/hex_word.h"
#include "integrity/sum_xor_checksum.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/resources.h"
#include "platform/text.h"

#include <cstring>

// Where in the module's record its expected figures stand.
enum { RECORD_EXCLUDED_OFFSET = 4, RECORD_BYTE_SUM = 8, RECORD_WORD_XOR = 12 };
// The executable's text: the byte sum in its first eight characters, the
// word XOR from there on.
enum { TEXT_XOR_START = 8 };

static uint32_t RecordWord(const uint8_t* record, uint32_t offset) {
  return (uint32_t)record[offset] | ((uint32_t)record[offset + 1] << 8) |
         ((uint32_t)record[offset + 2] << 16) | ((uint32_t)record[offset + 3] << 24);
}

int LoadNamedRecord(const char* name, ModuleHandle module, uint8_t* out) {
  int loaded = 0;
  const void* data = nullptr;
  uint32_t size = 0;
  if (FindNamedData(module, name, &data, &size) && data != nullptr && size <= NAMED_RECORD_SIZE) {
    memset(out, 0, NAMED_RECORD_SIZE);
    memcpy(out, data, size);
    loaded = 1;
  }
  ReleaseModule(module);
  return loaded;
}

// The file's bytes in one read. A read that delivers fewer bytes than the
// size fails, so no byte that was not read is ever counted.
static uint8_t* ReadWholeFile(const char* path, uint32_t* size) {
  uint8_t* bytes = nullptr;
  FileHandle file = OpenFileForRead(path);
  if (file != nullptr) {
    *size = GetFileSizeLow(file);
    bytes = (uint8_t*)AllocateZeroed(*size);
    uint32_t moved = 0;
    if (bytes != nullptr && (!ReadFromFile(file, bytes, *size, &moved) || moved != *size)) {
      ReleaseMemory(bytes);
      bytes = nullptr;
    }
    CloseFile(file);
  }
  return bytes;
}

// 1 when the file at path sums to the expected figures.
static int FileMatches(const char* path, const uint32_t* excludedOffset, uint32_t byteSum,
                       uint32_t wordXor) {
  uint32_t size = 0;
  uint8_t* bytes = ReadWholeFile(path, &size);
  if (bytes == nullptr) return 0;
  SumXorChecksum found = ComputeSumXor(bytes, size, excludedOffset);
  ReleaseMemory(bytes);
  return found.byteSum == byteSum && found.wordXor == wordXor;
}

int VerifyResourceModule(const char* modulePath) {
  ModuleHandle module = OpenResourceModule(modulePath);
  if (module == nullptr) return 0;
  uint8_t record[NAMED_RECORD_SIZE];
  if (!LoadNamedRecord(RESOURCE_MODULE_NAME, module, record)) return 0;
  uint32_t excludedOffset = RecordWord(record, RECORD_EXCLUDED_OFFSET);
  return FileMatches(modulePath, &excludedOffset, RecordWord(record, RECORD_BYTE_SUM),
                     RecordWord(record, RECORD_WORD_XOR));
}

int VerifyInstallation(const char* installFolder) {
  char executableName[PATH_TEXT_SIZE];
  char modulePath[PATH_TEXT_SIZE];
  char executablePath[PATH_TEXT_SIZE];
  // A path that does not fit its buffer is refused, never cut short.
  if (FormatText(executableName, sizeof executableName, "%s.exe", Package.shortName) < 0 ||
      FormatText(modulePath, sizeof modulePath, "%s\\%s\\%s", installFolder,
                 RESOURCE_MODULE_FOLDER, RESOURCE_MODULE_NAME) < 0 ||
      FormatText(executablePath, sizeof executablePath, "%s\\%s", installFolder,
                 executableName) < 0) {
    return 0;
  }
  if (!VerifyResourceModule(modulePath)) return 0;

  ModuleHandle module = OpenResourceModule(modulePath);
  if (module == nullptr) return 0;
  // One byte more than the record, always zero: a text that fills the
  // whole record still ends inside the buffer.
  char text[NAMED_RECORD_SIZE + 1];
  text[NAMED_RECORD_SIZE] = '\0';
  if (!LoadNamedRecord(executableName, module, (uint8_t*)text)) return 0;
  uint32_t wordXor = ParseHexWord(text + TEXT_XOR_START);
  text[TEXT_XOR_START] = '\0';
  uint32_t byteSum = ParseHexWord(text);

  return FileMatches(executablePath, nullptr, byteSum, wordXor);
}
