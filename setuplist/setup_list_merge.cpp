#include "setuplist/setup_list_merge.h"

#include "app/message_catalogue.h"
#include "app/package_definition.h"
#include "app/update_state.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/messagebox.h"
#include "platform/text.h"
#include "setuplist/installed_text_index.h"
#include "setuplist/merged_list.h"

#include <cstring>

enum {
  MERGED = 0,
  PACKAGE_LIST_NOT_READ = 1,
  PACKAGE_LIST_NO_MEMORY = 2,
  INSTALLED_LIST_NOT_READ = 3,
  INSTALLED_LIST_NO_MEMORY = 4,
  MERGE_NO_MEMORY = 5,
  INSTALLED_LIST_NOT_WRITTEN = 6,
};

enum ListRead { LIST_READ, LIST_NOT_READ, LIST_NO_MEMORY };

// A list file read whole: size bytes followed by one zero byte; its text
// ends at the first zero byte.
struct ListText {
  char* bytes;
  uint32_t size;
  uint32_t textLength;
};

unsigned LineLength(const char* text) {
  unsigned length = 0;
  while (text[length] != '\0' && text[length] != '\r' && text[length] != '\n') ++length;
  if (text[length] == '\r' && text[length + 1] == '\n') return length + 2;
  return text[length] != '\0' ? length + 1 : length;
}

// A list that cannot be read whole counts as one that cannot be opened: a
// half-read installed list must never be written back in place of the file.
static ListRead ReadList(const char* path, ListText* list) {
  FileHandle file = OpenFileForRead(path);
  if (file == nullptr) return LIST_NOT_READ;
  ListRead outcome = LIST_NOT_READ;
  uint32_t size = GetFileSizeLow(file);
  if (size != INVALID_FILE_SIZE_VALUE) {
    list->bytes = (char*)AllocateZeroed(size + 1);
    if (list->bytes == nullptr) outcome = LIST_NO_MEMORY;
  }
  if (list->bytes != nullptr) {
    uint32_t moved = 0;
    if (ReadFromFile(file, list->bytes, size, &moved) && moved == size) {
      list->size = size;
      list->textLength = (uint32_t)((const char*)memchr(list->bytes, 0, (size_t)size + 1) -
                                    list->bytes);
      outcome = LIST_READ;
    } else {
      ReleaseMemory(list->bytes);
      list->bytes = nullptr;
    }
  }
  CloseFile(file);
  return outcome;
}

// A write that stopped part way has overwritten the start of the list, and
// may have made the file longer: the old bytes go back into an emptied file.
static void RestoreList(const char* path, const ListText* installed) {
  FileHandle file = OpenFileForReplace(path);
  if (file != nullptr) {
    uint32_t moved = 0;
    WriteToFile(file, installed->bytes, installed->size, &moved);
    CloseFile(file);
  }
}

static int WriteMergedList(const char* path, const char* merged, uint32_t length,
                           const ListText* installed) {
  int result = INSTALLED_LIST_NOT_WRITTEN;
  FileHandle file = OpenFileForRewrite(path);
  if (file != nullptr) {
    uint32_t moved = 0;
    int written = WriteToFile(file, merged, length, &moved) && moved == length;
    CloseFile(file);
    if (written) {
      result = MERGED;
    } else {
      RestoreList(path, installed);
    }
  }
  if (result != MERGED) {
    ShowMessageBox(State.dialog, MSG_LIST_NOT_WRITABLE, State.caption, BOX_ICON_WARNING);
  }
  return result;
}

static int RewriteInstalledList(const char* path, const ListText* package,
                                const ListText* installed) {
  InstalledTextIndex index;
  if (!BuildInstalledTextIndex(installed->bytes, installed->textLength, &index)) {
    return MERGE_NO_MEMORY;
  }
  uint64_t mergedLength = ComposeMergedList(package->bytes, package->textLength, installed->bytes,
                                            installed->textLength, &index, nullptr, 0);
  // The file is rewritten S + D bytes long, zero bytes after the merged text;
  // a merged text longer than that is written whole.
  uint64_t fileLength = (uint64_t)package->size + installed->size;
  if (mergedLength > fileLength) fileLength = mergedLength;
  char* merged = fileLength <= 0xFFFFFFFFu ? (char*)AllocateZeroed((uint32_t)fileLength) : nullptr;
  int result = MERGE_NO_MEMORY;
  if (merged != nullptr) {
    ComposeMergedList(package->bytes, package->textLength, installed->bytes,
                      installed->textLength, &index, merged, fileLength);
    result = WriteMergedList(path, merged, (uint32_t)fileLength, installed);
  }
  ReleaseMemory(merged);
  ReleaseInstalledTextIndex(&index);
  return result;
}

// A path that does not fit its buffer is refused like a list that cannot be
// opened.
static int ComposeListPath(char* path, const char* folder, const char* listName) {
  return FormatText(path, PATH_TEXT_SIZE, "%s\\%s", folder, listName) >= 0;
}

int MergeSetupListNamed(const char* listName) {
  if (listName[0] == '\0') return MERGED;
  char packagePath[PATH_TEXT_SIZE];
  char installedPath[PATH_TEXT_SIZE];
  int packagePathFits = ComposeListPath(packagePath, State.packageFolder, listName);
  if (packagePathFits && !PathExists(packagePath)) return MERGED;

  ListText package = {};
  ListText installed = {};
  int result;
  ListRead read = packagePathFits ? ReadList(packagePath, &package) : LIST_NOT_READ;
  if (read != LIST_READ) {
    result = read == LIST_NO_MEMORY ? PACKAGE_LIST_NO_MEMORY : PACKAGE_LIST_NOT_READ;
  } else {
    read = ComposeListPath(installedPath, State.installFolder, listName)
               ? ReadList(installedPath, &installed)
               : LIST_NOT_READ;
    if (read == LIST_READ) {
      result = RewriteInstalledList(installedPath, &package, &installed);
    } else {
      result = read == LIST_NO_MEMORY ? INSTALLED_LIST_NO_MEMORY : INSTALLED_LIST_NOT_READ;
    }
  }
  if (result == PACKAGE_LIST_NOT_READ || result == INSTALLED_LIST_NOT_READ) {
    char message[MESSAGE_TEXT_SIZE];
    FormatText(message, sizeof message, MSG_LIST_NOT_FOUND, listName);
    ShowMessageBox(State.dialog, message, CAPTION_RECORD_FAILED, BOX_ICON_WARNING);
  }
  ReleaseMemory(package.bytes);
  ReleaseMemory(installed.bytes);
  return result;
}

int MergeSetupList() { return MergeSetupListNamed(Package.setupListName); }
