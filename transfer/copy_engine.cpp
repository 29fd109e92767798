#include "transfer/copy_engine.h"

#include "app/message_catalogue.h"
#include "app/package_definition.h"
#include "app/update_state.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/text.h"
#include "platform/window.h"
#include "res/resource.h"
#include "setuplist/setup_list_merge.h"

constexpr uint32_t TRANSFER_BUFFER_SIZE = 65536;
static_assert(CHUNK_SIZE <= TRANSFER_BUFFER_SIZE, "a chunk must fit the transfer buffer");

// The free-space messages with an install folder of 259 bytes need up to
// 359 bytes; the common message size holds them with room to spare.
enum { SPACE_MESSAGE_SIZE = MESSAGE_TEXT_SIZE };

enum ChunkOutcome { CHUNKS_DONE, CHUNKS_CANCELLED, CHUNKS_READ_FAILED, CHUNKS_WRITE_FAILED };

static void ShowFileMessage(const char* format, const char* entry) {
  char text[MESSAGE_TEXT_SIZE];
  FormatText(text, sizeof text, format, entry);
  ShowMessageBox(State.dialog, text, CAPTION_UPDATE_FAILED, BOX_OK | BOX_ICON_WARNING);
}

// Both paths of an entry. A path that does not fit cannot name the file on
// Windows either, so it is refused as the file it would have named: the
// source as not found, the destination as not created.
static int ComposeEntryPaths(const char* entry, char* source, char* destination) {
  if (FormatText(source, PATH_TEXT_SIZE, "%s\\%s", State.packageFolder, entry) < 0) {
    ShowFileMessage(MSG_FILE_NOT_FOUND, entry);
    return 0;
  }
  if (FormatText(destination, PATH_TEXT_SIZE, "%s\\%s", State.installFolder, entry) < 0) {
    ShowFileMessage(MSG_FILE_NOT_CREATED, entry);
    return 0;
  }
  return 1;
}

// Sums the sizes of all listed files; 0 (message shown) when one is missing,
// empty, unmeasurable or has a path that does not fit. Every path is checked
// before any file is opened, so that an unusable entry stops the update
// before anything is touched. A sum past 32 bits is held at the largest
// value rather than wrapping into a small need.
static int MeasureFiles(const char* const* fileList, uint32_t* total) {
  *total = 0;
  char source[PATH_TEXT_SIZE];
  char destination[PATH_TEXT_SIZE];
  for (const char* const* entry = fileList; *entry != nullptr; ++entry) {
    if (!ComposeEntryPaths(*entry, source, destination)) return 0;
  }
  for (const char* const* entry = fileList; *entry != nullptr; ++entry) {
    if (!ComposeEntryPaths(*entry, source, destination)) return 0;
    uint32_t size = 0;
    FileHandle file = OpenFileForRead(source);
    if (file != nullptr) {
      size = GetFileSizeLow(file);
      CloseFile(file);
    }
    if (size == 0 || size == INVALID_FILE_SIZE_VALUE) {
      ShowFileMessage(MSG_FILE_NOT_FOUND, *entry);
      return 0;
    }
    *total = size > UINT32_MAX - *total ? UINT32_MAX : *total + size;
  }
  return 1;
}

// Whole percent of the package written. A file that grew after it was
// measured can carry the count past the total: the bar then stays full.
static int PercentWritten(uint32_t written, uint32_t total) {
  if (written >= total) return 100;
  return (int)((double)written / (double)total * 100.0);
}

static void ShowProgress(int percent) {
  char text[16];
  FormatText(text, sizeof text, FMT_PERCENT, percent);
  SetItemText(State.dialog, IDC_PERCENT, text);
  SendWindowMessage(GetItem(State.dialog, IDC_PROGRESS), MESSAGE_PBM_SETPOS, (uintptr_t)percent,
                    0);
}

// Keeps the dialog alive and lets a cancel command reach its procedure.
static void PumpOneMessage() {
  QueuedMessage message;
  if (TakePendingMessage(&message)) TranslateAndDispatch(&message);
}

// Copies the source's current size in chunks. Only the bytes still to copy
// are asked for, so a file that grows during the copy cannot overrun the
// count. A read that yields nothing while bytes remain means the source
// shrank under the copy: the destination would be a silent truncation, so it
// fails as a read. A short write fails too: its missing bytes would be
// skipped, leaving a corrupt file.
static int CopyChunks(FileHandle source, FileHandle destination, unsigned char* buffer,
                      uint32_t total, uint32_t* written) {
  uint32_t remaining = GetFileSizeLow(source);
  if (remaining == INVALID_FILE_SIZE_VALUE) return CHUNKS_READ_FAILED;
  while (remaining != 0) {
    uint32_t wanted = remaining < CHUNK_SIZE ? remaining : (uint32_t)CHUNK_SIZE;
    uint32_t read = 0;
    if (!ReadFromFile(source, buffer, wanted, &read) || read == 0) return CHUNKS_READ_FAILED;
    uint32_t put = 0;
    if (!WriteToFile(destination, buffer, read, &put) || put != read) {
      return CHUNKS_WRITE_FAILED;
    }
    remaining -= put;
    *written += put;
    if (State.cancelRequested) return CHUNKS_CANCELLED;
    ShowProgress(PercentWritten(*written, total));
    PumpOneMessage();
  }
  return CHUNKS_DONE;
}

// 1 when the entry was copied; 0 when it failed (message shown) or the
// user cancelled (no message).
static int CopyOneFile(const char* entry, unsigned char* buffer, uint32_t total,
                       uint32_t* written) {
  char sourcePath[PATH_TEXT_SIZE];
  char destinationPath[PATH_TEXT_SIZE];
  if (!ComposeEntryPaths(entry, sourcePath, destinationPath)) return 0;
  FileHandle source = OpenFileForRead(sourcePath);
  if (source == nullptr) {
    ShowFileMessage(MSG_FILE_NOT_FOUND, entry);
    return 0;
  }
  FileHandle destination = OpenFileForReplace(destinationPath);
  if (destination == nullptr) {
    CloseFile(source);
    ShowFileMessage(MSG_FILE_NOT_CREATED, entry);
    return 0;
  }
  int outcome = CopyChunks(source, destination, buffer, total, written);
  CloseFile(destination);
  CloseFile(source);
  if (outcome == CHUNKS_READ_FAILED) ShowFileMessage(MSG_FILE_NOT_READ, entry);
  if (outcome == CHUNKS_WRITE_FAILED) ShowFileMessage(MSG_FILE_NOT_WRITTEN, entry);
  return outcome == CHUNKS_DONE;
}

static int MergeAfterCopy() {
  int code = MergeSetupList();
  if (code == 0) return 1;
  char text[MESSAGE_TEXT_SIZE];
  FormatText(text, sizeof text, MSG_MERGE_FAILED, (unsigned)code, Package.setupListName);
  ShowMessageBox(State.dialog, text, CAPTION_RECORD_FAILED, BOX_OK | BOX_ICON_WARNING);
  return 0;
}

int CopyListedFiles(const char* const* fileList) {
  uint32_t total = 0;
  if (!MeasureFiles(fileList, &total) || !CheckFreeSpace(total)) return 0;
  unsigned char buffer[TRANSFER_BUFFER_SIZE];
  uint32_t written = 0;
  for (const char* const* entry = fileList; *entry != nullptr; ++entry) {
    if (!CopyOneFile(*entry, buffer, total, &written)) return 0;
  }
  return MergeAfterCopy();
}

int CopyPackageFiles() { return CopyListedFiles(Package.fileList); }

int CheckFreeSpace(uint32_t neededBytes) {
  char text[SPACE_MESSAGE_SIZE];
  // A text shorter than two bytes has no second byte to test.
  if (State.installFolder[0] == '\0' || State.installFolder[1] != ':') {
    FormatText(text, sizeof text, MSG_INSTALL_PATH_BAD, State.installFolder);
    ShowMessageBox(nullptr, text, State.caption, BOX_OK | BOX_ICON_WARNING);
    return 0;
  }
  const char drive[3] = {State.installFolder[0], State.installFolder[1], '\0'};
  uint64_t totalBytes = 0;
  uint64_t freeBytes = 0;
  // A drive that cannot be queried counts as full and of no size: only a
  // package that needs nothing goes on, and the message shows [0 / 0].
  if (!GetDriveSpace(drive, &totalBytes, &freeBytes)) {
    totalBytes = 0;
    freeBytes = 0;
  }
  uint32_t freeMegabytes = (uint32_t)(freeBytes >> 20);
  uint32_t totalMegabytes = (uint32_t)(totalBytes >> 20);
  uint32_t neededMegabytes = neededBytes >> 20;
  if (freeMegabytes >= neededMegabytes) return 1;
  FormatText(text, sizeof text, MSG_NO_SPACE, State.installFolder, (int)freeMegabytes,
             (int)totalMegabytes, (int)(neededMegabytes + 1));
  ShowMessageBox(nullptr, text, State.caption, BOX_OK | BOX_ICON_WARNING);
  return 0;
}
