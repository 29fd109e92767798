#include "platform/host/pe_resources.h"

#include <cstring>

enum {
  DOS_HEADER_SIZE = 64,
  DOS_NEW_HEADER_FIELD = 0x3C,
  COFF_HEADER_SIZE = 20,
  OPTIONAL_MAGIC_PE32 = 0x10B,
  OPTIONAL_MAGIC_PE32_PLUS = 0x20B,
  OPTIONAL_DLL_CHARACTERISTICS = 70,
  SECTION_HEADER_SIZE = 40,
  DIRECTORY_IMPORT = 1,
  DIRECTORY_RESOURCE = 2,
  RESOURCE_DIRECTORY_SIZE = 16,
  RESOURCE_ENTRY_SIZE = 8,
  RESOURCE_DATA_ENTRY_SIZE = 16,
  IMPORT_DESCRIPTOR_SIZE = 20,
  MAX_KEY_UNITS = 256,
};

static const uint32_t HIGH_BIT = 0x80000000u;

static uint16_t Read16(const uint8_t* p) { return (uint16_t)(p[0] | (p[1] << 8)); }

static uint32_t Read32(const uint8_t* p) {
  return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

// Whether [offset, offset + length) lies inside a block of limit bytes.
static int Fits(uint64_t offset, uint64_t length, uint64_t limit) {
  return offset <= limit && length <= limit - offset;
}

// The bytes of a section that the file holds. A section that runs past the
// end of the file is cut there, as the loader maps what there is; one whose
// end does not even fit in 32 bits holds none.
static uint32_t SectionFileBytes(const uint8_t* section, size_t fileSize) {
  uint32_t rawSize = Read32(section + 16);
  uint32_t rawPointer = Read32(section + 20);
  if (rawPointer + rawSize < rawPointer || rawPointer > fileSize) return 0;
  return Fits(rawPointer, rawSize, fileSize) ? rawSize : (uint32_t)(fileSize - rawPointer);
}

// The file offset of length bytes at rva, when they lie wholly inside the
// file data of one section.
static int RvaToOffset(const PeImage* image, uint32_t rva, uint32_t length, uint32_t* offset) {
  for (uint32_t i = 0; i < image->sectionCount; ++i) {
    const uint8_t* section = image->bytes + image->sectionTable + i * SECTION_HEADER_SIZE;
    uint32_t address = Read32(section + 12);
    if (rva < address) continue;
    uint32_t into = rva - address;
    uint32_t rawPointer = Read32(section + 20);
    // A section whose data starts past the file holds nothing, not even the
    // empty range at its start.
    if (rawPointer > image->size) continue;
    if (!Fits(into, length, SectionFileBytes(section, image->size))) continue;
    *offset = rawPointer + into;
    return 1;
  }
  return 0;
}

int ParsePeImage(const void* bytes, size_t size, PeImage* image) {
  memset(image, 0, sizeof *image);
  const uint8_t* b = (const uint8_t*)bytes;
  if (b == nullptr || size < DOS_HEADER_SIZE || b[0] != 'M' || b[1] != 'Z') return 0;
  uint32_t header = Read32(b + DOS_NEW_HEADER_FIELD);
  if (!Fits(header, 4 + COFF_HEADER_SIZE, size) || memcmp(b + header, "PE\0\0", 4) != 0) return 0;
  const uint8_t* coff = b + header + 4;
  uint16_t sectionCount = Read16(coff + 2);
  uint16_t optionalSize = Read16(coff + 16);
  uint64_t optionalOffset = (uint64_t)header + 4 + COFF_HEADER_SIZE;
  if (!Fits(optionalOffset, optionalSize, size) || optionalSize < 2) return 0;
  const uint8_t* optional = b + optionalOffset;

  uint16_t magic = Read16(optional);
  uint32_t countField;
  uint32_t directories;
  if (magic == OPTIONAL_MAGIC_PE32) {
    countField = 92;
    directories = 96;
  } else if (magic == OPTIONAL_MAGIC_PE32_PLUS) {
    countField = 108;
    directories = 112;
  } else {
    return 0;
  }
  if (optionalSize < directories) return 0;
  uint32_t directoryCount = Read32(optional + countField);
  uint32_t room = (optionalSize - directories) / 8;
  if (directoryCount > room) directoryCount = room;

  uint64_t sectionTable = optionalOffset + optionalSize;
  if (!Fits(sectionTable, (uint64_t)sectionCount * SECTION_HEADER_SIZE, size)) return 0;
  // A section whose file data starts past the end is refused by the loader.
  for (uint32_t i = 0; i < sectionCount; ++i) {
    const uint8_t* section = b + sectionTable + i * SECTION_HEADER_SIZE;
    if (Read32(section + 16) != 0 && Read32(section + 20) >= size) return 0;
  }

  image->bytes = b;
  image->size = size;
  image->is64 = magic == OPTIONAL_MAGIC_PE32_PLUS;
  image->machine = Read16(coff);
  image->characteristics = Read16(coff + 18);
  image->dllCharacteristics = Read16(optional + OPTIONAL_DLL_CHARACTERISTICS);
  image->sectionTable = (uint32_t)sectionTable;
  image->sectionCount = sectionCount;
  if (directoryCount > DIRECTORY_IMPORT) {
    image->importRva = Read32(optional + directories + DIRECTORY_IMPORT * 8);
  }
  if (directoryCount > DIRECTORY_RESOURCE) {
    const uint8_t* entry = optional + directories + DIRECTORY_RESOURCE * 8;
    uint32_t rva = Read32(entry);
    uint32_t length = Read32(entry + 4);
    uint32_t offset = 0;
    if (rva != 0 && length != 0 && RvaToOffset(image, rva, RESOURCE_DIRECTORY_SIZE, &offset)) {
      // The tree may point anywhere in the rest of its section.
      for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint8_t* section = b + sectionTable + i * SECTION_HEADER_SIZE;
        uint32_t address = Read32(section + 12);
        uint32_t held = SectionFileBytes(section, size);
        if (rva >= address && Fits(rva - address, RESOURCE_DIRECTORY_SIZE, held)) {
          image->resourceSize = held - (rva - address);
          break;
        }
      }
      image->resourceOffset = offset;
      image->resourceRva = rva;
    }
  }
  return 1;
}

PeResourceKey PeId(uint16_t id) {
  PeResourceKey key = {id, nullptr};
  return key;
}

PeResourceKey PeName(const char* name) {
  PeResourceKey key = {0, name};
  return key;
}

// A directory of the resource tree: its entries, checked to lie inside the
// resource section.
struct Directory {
  const uint8_t* entries;
  uint32_t count;
  uint32_t namedCount;
};

static int OpenDirectory(const PeImage* image, uint32_t offset, Directory* directory) {
  if (!Fits(offset, RESOURCE_DIRECTORY_SIZE, image->resourceSize)) return 0;
  const uint8_t* table = image->bytes + image->resourceOffset + offset;
  uint32_t named = Read16(table + 12);
  uint32_t count = named + Read16(table + 14);
  if (!Fits((uint64_t)offset + RESOURCE_DIRECTORY_SIZE, (uint64_t)count * RESOURCE_ENTRY_SIZE,
            image->resourceSize)) {
    return 0;
  }
  directory->entries = table + RESOURCE_DIRECTORY_SIZE;
  directory->count = count;
  directory->namedCount = named;
  return 1;
}

// The UTF-16 name of an entry: its length in units and where they start.
static int EntryName(const PeImage* image, uint32_t field, const uint8_t** units,
                     uint32_t* length) {
  uint32_t offset = field & ~HIGH_BIT;
  if (!Fits(offset, 2, image->resourceSize)) return 0;
  const uint8_t* text = image->bytes + image->resourceOffset + offset;
  uint32_t count = Read16(text);
  if (!Fits((uint64_t)offset + 2, (uint64_t)count * 2, image->resourceSize)) return 0;
  *units = text + 2;
  *length = count;
  return 1;
}

static uint16_t UpperAscii(uint16_t unit) {
  return unit >= 'a' && unit <= 'z' ? (uint16_t)(unit - 'a' + 'A') : unit;
}

// UTF-8 as UTF-16 units; 0 when it is not valid UTF-8 or does not fit.
static int Utf8ToUnits(const char* text, uint16_t* units, uint32_t capacity, uint32_t* length) {
  const uint8_t* p = (const uint8_t*)text;
  uint32_t count = 0;
  while (*p != 0) {
    uint32_t point;
    int extra;
    if (*p < 0x80) {
      point = *p;
      extra = 0;
    } else if ((*p & 0xE0) == 0xC0) {
      point = *p & 0x1Fu;
      extra = 1;
    } else if ((*p & 0xF0) == 0xE0) {
      point = *p & 0x0Fu;
      extra = 2;
    } else if ((*p & 0xF8) == 0xF0) {
      point = *p & 0x07u;
      extra = 3;
    } else {
      return 0;
    }
    ++p;
    for (int i = 0; i < extra; ++i, ++p) {
      if ((*p & 0xC0) != 0x80) return 0;
      point = (point << 6) | (*p & 0x3Fu);
    }
    if (point >= 0x10000) {
      if (count + 2 > capacity) return 0;
      point -= 0x10000;
      units[count++] = (uint16_t)(0xD800 + (point >> 10));
      units[count++] = (uint16_t)(0xDC00 + (point & 0x3FF));
    } else {
      if (count + 1 > capacity) return 0;
      units[count++] = (uint16_t)point;
    }
  }
  *length = count;
  return 1;
}

// Compares key with a stored name as the loader does (a wide-character
// compare over the stored length): negative, zero or positive. Each unit
// is read only when the comparison gets to it; *readable is 0 when one lies
// outside the section.
static int CompareName(const PeImage* image, const uint16_t* key, uint32_t keyLength,
                       uint32_t field, int* readable) {
  uint32_t offset = field & ~HIGH_BIT;
  *readable = Fits(offset, 2, image->resourceSize);
  if (!*readable) return 0;
  const uint8_t* text = image->bytes + image->resourceOffset + offset;
  uint32_t length = Read16(text);
  for (uint32_t i = 0; i < length; ++i) {
    *readable = Fits((uint64_t)offset + 2 + 2 * i, 2, image->resourceSize);
    if (!*readable) return 0;
    int a = i < keyLength ? key[i] : 0;
    int b = Read16(text + 2 + 2 * i);
    if (a != b) return a - b;
    if (a == 0) return 0;
  }
  // Equal over the stored length: a match only when the key ends there too.
  return keyLength == length ? 0 : 1;
}

// The entry of a directory that matches key; 0 when there is none. As the
// loader does, names are looked up in upper case (resource compilers store
// them so) by a binary search over the named entries, ids by one over the
// id entries; an unreadable name met on the way fails the lookup.
static int FindEntry(const PeImage* image, const Directory* directory, PeResourceKey key,
                     uint32_t* target) {
  uint16_t keyUnits[MAX_KEY_UNITS];
  uint32_t keyLength = 0;
  if (key.name != nullptr && !Utf8ToUnits(key.name, keyUnits, MAX_KEY_UNITS, &keyLength)) {
    return 0;
  }
  for (uint32_t k = 0; k < keyLength; ++k) keyUnits[k] = UpperAscii(keyUnits[k]);
  int low = key.name != nullptr ? 0 : (int)directory->namedCount;
  int high = key.name != nullptr ? (int)directory->namedCount - 1 : (int)directory->count - 1;
  while (low <= high) {
    int middle = (low + high) / 2;
    const uint8_t* entry = directory->entries + (uint32_t)middle * RESOURCE_ENTRY_SIZE;
    int order;
    if (key.name != nullptr) {
      int readable;
      order = CompareName(image, keyUnits, keyLength, Read32(entry), &readable);
      if (!readable) return 0;
    } else {
      order = (int)key.id - (int)(Read32(entry) & 0xFFFF);
    }
    if (order == 0) {
      *target = Read32(entry + 4);
      return 1;
    }
    if (order < 0) {
      high = middle - 1;
    } else {
      low = middle + 1;
    }
  }
  return 0;
}

// The bytes a data entry describes, when they lie inside the image.
static int EntryData(const PeImage* image, uint32_t target, const uint8_t** data,
                     uint32_t* size) {
  if ((target & HIGH_BIT) != 0 || !Fits(target, RESOURCE_DATA_ENTRY_SIZE, image->resourceSize)) {
    return 0;
  }
  const uint8_t* entry = image->bytes + image->resourceOffset + target;
  uint32_t rva = Read32(entry);
  uint32_t length = Read32(entry + 4);
  uint32_t offset;
  if (!RvaToOffset(image, rva, length, &offset)) return 0;
  *data = image->bytes + offset;
  *size = length;
  return 1;
}

static int SubDirectory(const PeImage* image, uint32_t target, Directory* directory) {
  return (target & HIGH_BIT) != 0 && OpenDirectory(image, target & ~HIGH_BIT, directory);
}

int FindPeResource(const PeImage* image, PeResourceKey type, PeResourceKey name, int language,
                   const uint8_t** data, uint32_t* size) {
  *data = nullptr;
  *size = 0;
  if (image->resourceOffset == 0) return 0;
  Directory level;
  uint32_t target;
  if (!OpenDirectory(image, 0, &level) || !FindEntry(image, &level, type, &target) ||
      !SubDirectory(image, target, &level) || !FindEntry(image, &level, name, &target) ||
      !SubDirectory(image, target, &level)) {
    return 0;
  }
  if (language == PE_FIRST_LANGUAGE) {
    if (level.count == 0) return 0;
    target = Read32(level.entries + 4);
  } else if (!FindEntry(image, &level, PeId((uint16_t)language), &target)) {
    return 0;
  }
  return EntryData(image, target, data, size);
}

// An entry's id or UTF-8 name, cut short at a character boundary.
static int DescribeEntry(const PeImage* image, uint32_t field, int* isName, uint16_t* id,
                         char* out, size_t outSize) {
  out[0] = '\0';
  *isName = (field & HIGH_BIT) != 0;
  *id = 0;
  if (!*isName) {
    *id = (uint16_t)field;
    return field <= 0xFFFF;
  }
  const uint8_t* units;
  uint32_t length;
  if (!EntryName(image, field, &units, &length)) return 0;
  size_t used = 0;
  for (uint32_t i = 0; i < length; ++i) {
    uint32_t point = Read16(units + 2 * i);
    if (point >= 0xD800 && point < 0xDC00 && i + 1 < length) {
      uint32_t low = Read16(units + 2 * (i + 1));
      if (low >= 0xDC00 && low < 0xE000) {
        point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    uint8_t encoded[4];
    size_t count;
    if (point < 0x80) {
      encoded[0] = (uint8_t)point;
      count = 1;
    } else if (point < 0x800) {
      encoded[0] = (uint8_t)(0xC0 | (point >> 6));
      encoded[1] = (uint8_t)(0x80 | (point & 0x3F));
      count = 2;
    } else if (point < 0x10000) {
      encoded[0] = (uint8_t)(0xE0 | (point >> 12));
      encoded[1] = (uint8_t)(0x80 | ((point >> 6) & 0x3F));
      encoded[2] = (uint8_t)(0x80 | (point & 0x3F));
      count = 3;
    } else {
      encoded[0] = (uint8_t)(0xF0 | (point >> 18));
      encoded[1] = (uint8_t)(0x80 | ((point >> 12) & 0x3F));
      encoded[2] = (uint8_t)(0x80 | ((point >> 6) & 0x3F));
      encoded[3] = (uint8_t)(0x80 | (point & 0x3F));
      count = 4;
    }
    if (used + count + 1 > outSize) break;
    memcpy(out + used, encoded, count);
    used += count;
  }
  out[used] = '\0';
  return 1;
}

int ListPeResources(const PeImage* image, PeResourceVisitor visit, void* context) {
  if (image->resourceOffset == 0) return 1;
  Directory types;
  if (!OpenDirectory(image, 0, &types)) return 0;
  PeResourceEntry leaf;
  for (uint32_t t = 0; t < types.count; ++t) {
    const uint8_t* typeEntry = types.entries + t * RESOURCE_ENTRY_SIZE;
    Directory names;
    memset(&leaf, 0, sizeof leaf);
    if (!DescribeEntry(image, Read32(typeEntry), &leaf.typeIsName, &leaf.typeId, leaf.typeName,
                       sizeof leaf.typeName) ||
        !SubDirectory(image, Read32(typeEntry + 4), &names)) {
      return 0;
    }
    for (uint32_t n = 0; n < names.count; ++n) {
      const uint8_t* nameEntry = names.entries + n * RESOURCE_ENTRY_SIZE;
      Directory languages;
      if (!DescribeEntry(image, Read32(nameEntry), &leaf.nameIsName, &leaf.nameId, leaf.name,
                         sizeof leaf.name) ||
          !SubDirectory(image, Read32(nameEntry + 4), &languages)) {
        return 0;
      }
      for (uint32_t l = 0; l < languages.count; ++l) {
        const uint8_t* languageEntry = languages.entries + l * RESOURCE_ENTRY_SIZE;
        uint32_t field = Read32(languageEntry);
        uint32_t target = Read32(languageEntry + 4);
        if ((field & HIGH_BIT) != 0 || (target & HIGH_BIT) != 0) return 0;
        leaf.language = (uint16_t)field;
        if (!EntryData(image, target, &leaf.data, &leaf.size)) {
          leaf.data = nullptr;
          leaf.size = 0;
        }
        visit(&leaf, context);
      }
    }
  }
  return 1;
}

int ListPeImports(const PeImage* image, PeImportVisitor visit, void* context) {
  if (image->importRva == 0) return 1;
  for (uint32_t rva = image->importRva;; rva += IMPORT_DESCRIPTOR_SIZE) {
    uint32_t offset;
    if (rva < image->importRva || !RvaToOffset(image, rva, IMPORT_DESCRIPTOR_SIZE, &offset)) {
      return 0;
    }
    const uint8_t* descriptor = image->bytes + offset;
    static const uint8_t END[IMPORT_DESCRIPTOR_SIZE] = {0};
    if (memcmp(descriptor, END, sizeof END) == 0) return 1;
    uint32_t nameOffset;
    if (!RvaToOffset(image, Read32(descriptor + 12), 1, &nameOffset)) return 0;
    // The name must end inside the image.
    const void* end = memchr(image->bytes + nameOffset, 0, image->size - nameOffset);
    if (end == nullptr) return 0;
    visit((const char*)(image->bytes + nameOffset), context);
  }
}
