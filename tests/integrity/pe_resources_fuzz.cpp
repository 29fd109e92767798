// Any bytes as a PE image: the reader finds nothing or bytes inside them.
#include "platform/host/pe_resources.h"

#include <cstdlib>
#include <cstring>

static void CheckInside(const PeResourceEntry* entry, void* context) {
  const PeImage* image = static_cast<const PeImage*>(context);
  if (entry->data == nullptr) return;
  if (entry->data < image->bytes || entry->data + entry->size > image->bytes + image->size) abort();
}

// Reads each name to its end, so that a name running past the image shows.
static void ReadImport(const char* name, void* context) {
  *static_cast<size_t*>(context) += strlen(name);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly this size, so that any read past it is caught.
  uint8_t* bytes = (uint8_t*)malloc(size == 0 ? 1 : size);
  if (bytes == nullptr) return 0;
  memcpy(bytes, data, size);
  PeImage image;
  if (ParsePeImage(bytes, size, &image)) {
    const uint8_t* found = nullptr;
    uint32_t length = 0;
    static const char* const NAMES[] = {"RESOURCE.dll", "Velmora.exe"};
    for (const char* name : NAMES) {
      if (FindPeResource(&image, PeId(10), PeName(name), PE_FIRST_LANGUAGE, &found, &length) &&
          (found < bytes || found + length > bytes + size)) {
        abort();
      }
    }
    FindPeResource(&image, PeId(24), PeId(1), 0x0409, &found, &length);
    ListPeResources(&image, CheckInside, &image);
    size_t nameBytes = 0;
    ListPeImports(&image, ReadImport, &nameBytes);
  }
  free(bytes);
  return 0;
}
