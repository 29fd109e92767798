// A reader of PE images (32- and 64-bit) held in memory: the resource tree,
// the import table and the header fields the tests look at. Every offset and
// size is checked against the data before use, so a truncated or malformed
// image reads as "not found", never as a read past its bytes.
#pragma once

#include <cstddef>
#include <cstdint>

struct PeImage {
  const uint8_t* bytes;
  size_t size;
  int is64;  // PE32+ optional header
  uint16_t machine;
  uint16_t characteristics;
  uint16_t dllCharacteristics;
  uint32_t resourceOffset;  // file offset of the resource directory, 0 when none
  uint32_t resourceSize;    // bytes of the resource section from that offset
  uint32_t resourceRva;
  uint32_t importRva;       // 0 when the image has no import table
  uint32_t sectionTable;    // file offset of the section headers
  uint16_t sectionCount;
};

// Reads the headers. Nonzero when they are whole and consistent; the image
// keeps pointing at bytes, which must outlive it.
int ParsePeImage(const void* bytes, size_t size, PeImage* image);

// A resource type, name or language key: an integer id when name is null,
// otherwise a UTF-8 name, looked up as Windows looks names up: in upper
// case (ASCII letters), against the names as stored.
struct PeResourceKey {
  uint16_t id;
  const char* name;
};

PeResourceKey PeId(uint16_t id);
PeResourceKey PeName(const char* name);

enum { PE_FIRST_LANGUAGE = -1 };

// The data of the resource type/name in the given language (or the first
// language entry with PE_FIRST_LANGUAGE). Nonzero when found and its bytes
// lie wholly inside the image; *data then points into the image.
int FindPeResource(const PeImage* image, PeResourceKey type, PeResourceKey name, int language,
                   const uint8_t** data, uint32_t* size);

// One leaf of the resource tree, as the enumerator reports it. Names are
// UTF-8 (empty for integer ids); a name that does not fit is cut short.
struct PeResourceEntry {
  int typeIsName;
  uint16_t typeId;
  char typeName[128];
  int nameIsName;
  uint16_t nameId;
  char name[128];
  uint16_t language;
  const uint8_t* data;  // null when the entry's bytes lie outside the image
  uint32_t size;
};

typedef void (*PeResourceVisitor)(const PeResourceEntry* entry, void* context);

// Calls visit for every leaf in directory order. Nonzero when the whole tree
// could be walked; a malformed tree stops the walk and returns 0.
int ListPeResources(const PeImage* image, PeResourceVisitor visit, void* context);

// Calls visit with the name of every DLL the import table names. Nonzero
// when the table could be read to its end (an image without one counts).
typedef void (*PeImportVisitor)(const char* dllName, void* context);
int ListPeImports(const PeImage* image, PeImportVisitor visit, void* context);
