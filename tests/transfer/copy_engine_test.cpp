// The copy engine against real files on the host back end, with faults and
// disk changes injected at chosen moments. What the user saw is read back
// from the transcript.
#include "transfer/copy_engine.h"

#include "app/message_catalogue.h"
#include "app/update_state.h"
#include "platform/files.h"
#include "platform/host/host_paths.h"
#include "platform/host/testing.h"
#include "platform/host/transcript.h"
#include "platform/text.h"
#include "platform/window.h"
#include "res/resource.h"

#include "tests/support/back_end_paths.h"
#include "tests/support/host_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

const uint32_t MB = 1u << 20;

// Bytes that differ from chunk to chunk, so a lost or repeated chunk shows.
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = (char)((i * 7 + i / 65534) & 0xFF);
  return bytes;
}

std::string Json(const char* cp932) {
  char out[8192];
  JsonStringFromCp932(cp932, out, sizeof out);
  return out;
}

// The transcript line of a box showing format filled with argument.
std::string BoxLine(const char* owner, const char* caption, const char* text) {
  return std::string("{\"event\":\"messagebox\",\"owner\":\"") + owner + "\",\"caption\":" +
         Json(caption) + ",\"text\":" + Json(text) + ",\"style\":48,\"answer\":\"ok\"}";
}

std::string FileBox(const char* format, const char* entry) {
  char text[MESSAGE_TEXT_SIZE];
  EXPECT_GT(FormatText(text, sizeof text, format, entry), 0);
  return BoxLine("dialog", CAPTION_UPDATE_FAILED, text);
}

// A disk change or a queued command made just before the n-th operation of
// a kind on a path (1 for the first).
struct PlannedChange {
  FaultOperation op;
  std::string pathPart;
  int occurrence;
  std::function<void()> action;
  int seen;
};

void RunPlannedChange(FaultOperation op, const char* windowsPath, void* context) {
  PlannedChange* change = (PlannedChange*)context;
  if (op != change->op || strstr(windowsPath, change->pathPart.c_str()) == nullptr) return;
  if (++change->seen == change->occurrence) change->action();
}

intptr_t CancellingDialogProc(WindowHandle, uint32_t message, uintptr_t wParam, intptr_t) {
  if (message == MESSAGE_COMMAND && wParam == IDC_CANCEL_UPDATE) {
    State.cancelRequested = 1;
    return 1;
  }
  return 0;
}

class CopyEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/updater-copy-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    package = root + "/data";
    install = root + "/install";
    for (const std::string& folder : {package, package + "/dll", install, install + "/dll"}) {
      ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    }
    transcript = root + "/transcript.jsonl";
    setenv("UPDATER_TRANSCRIPT", transcript.c_str(), 1);
    setenv("UPDATER_WINDOW_DIR", (root + "/windows").c_str(), 1);
    unsetenv("UPDATER_ANSWERS");

    ResetHostState();
    OverrideDriveSpace(100000ull * MB, 50000ull * MB);
    memset(&State, 0, sizeof State);
    snprintf(State.packageFolder, sizeof State.packageFolder, "%s", BackEndPath(package).c_str());
    snprintf(State.installFolder, sizeof State.installFolder, "%s", BackEndPath(install).c_str());
    snprintf(State.caption, sizeof State.caption, "Caption");
    State.dialog = CreateModelessDialog(nullptr, IDD_UPDATE, nullptr, CancellingDialogProc);
    ASSERT_NE(State.dialog, nullptr);
  }

  void TearDown() override {
    SetFileOperationHook(nullptr, nullptr);
    ResetHostState();
    std::string command = "rm -rf '" + root + "'";
    ASSERT_EQ(system(command.c_str()), 0);
  }

  void Plan(FaultOperation op, const std::string& pathPart, int occurrence,
            std::function<void()> action) {
    change = {op, pathPart, occurrence, std::move(action), 0};
    SetFileOperationHook(RunPlannedChange, &change);
  }

  void PostCancel() { PostWindowMessage(State.dialog, MESSAGE_COMMAND, IDC_CANCEL_UPDATE, 0); }

  // The transcript lines of one event kind; for percent and progress only
  // the value.
  std::vector<std::string> Events(const std::string& kind) {
    std::vector<std::string> found;
    std::ifstream lines(transcript);
    std::string head = "{\"event\":\"" + kind + "\"";
    for (std::string line; std::getline(lines, line);) {
      if (line.compare(0, head.size(), head) != 0) continue;
      if (kind == "percent" || kind == "progress") {
        size_t colon = line.rfind(':');
        std::string value = line.substr(colon + 1, line.size() - colon - 2);
        if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
        found.push_back(value);
      } else {
        found.push_back(line);
      }
    }
    return found;
  }

  std::string root, package, install, transcript;
  PlannedChange change;
};

TEST_F(CopyEngine, CopiesEveryListedFileByteForByte) {
  const std::string big = Pattern(3 * 65534 + 17);
  WriteHostFile(package + "/dll/MUR.dll", big);
  WriteHostFile(package + "/b.bin", "second");
  WriteHostFile(install + "/dll/MUR.dll", std::string(500000, 'x'));
  const char* const list[] = {"dll\\MUR.dll", "b.bin", nullptr};

  EXPECT_EQ(CopyListedFiles(list), 1);
  EXPECT_EQ(ReadHostFile(install + "/dll/MUR.dll"), big);
  EXPECT_EQ(ReadHostFile(install + "/b.bin"), "second");
  EXPECT_TRUE(Events("messagebox").empty());
  EXPECT_EQ(Events("percent"),
            (std::vector<std::string>{" 33%", " 66%", " 99%", " 99%", "100%"}));
  EXPECT_EQ(Events("progress"), (std::vector<std::string>{"33", "66", "99", "99", "100"}));
}

TEST_F(CopyEngine, PercentagesAreTruncatedQuotientsOfTheWholePackage) {
  struct Case {
    size_t first, second;
    std::vector<std::string> percents;
  };
  const Case cases[] = {
      {100, 300, {" 25%", "100%"}},
      // 0.29 * 100 falls just short of 29 in double precision.
      {29, 71, {" 28%", "100%"}},
  };
  const char* const list[] = {"a.bin", "b.bin", nullptr};
  for (const Case& c : cases) {
    unlink(transcript.c_str());
    WriteHostFile(package + "/a.bin", Pattern(c.first));
    WriteHostFile(package + "/b.bin", Pattern(c.second));
    EXPECT_EQ(CopyListedFiles(list), 1) << c.first;
    EXPECT_EQ(Events("percent"), c.percents) << c.first;
  }
}

TEST_F(CopyEngine, ReadsAtMostOneChunkAtATime) {
  const std::string bytes = Pattern(65535);
  WriteHostFile(package + "/a.bin", bytes);
  const char* const list[] = {"a.bin", nullptr};

  EXPECT_EQ(CopyListedFiles(list), 1);
  EXPECT_EQ(ReadHostFile(install + "/a.bin"), bytes);
  // 65,534 bytes then 1: 99% after the first chunk.
  EXPECT_EQ(Events("percent"), (std::vector<std::string>{" 99%", "100%"}));
  EXPECT_EQ(FaultCallCount(FAULT_READ), 2);
  EXPECT_EQ(FaultCallCount(FAULT_WRITE), 2);
}

TEST_F(CopyEngine, ShortReadsStillCopyTheWholeFile) {
  const std::string bytes = Pattern(2 * 65534 + 5);
  WriteHostFile(package + "/a.bin", bytes);
  InjectFault(FAULT_READ, "a.bin", 0, 2, FAULT_SHORT);
  const char* const list[] = {"a.bin", nullptr};

  EXPECT_EQ(CopyListedFiles(list), 1);
  EXPECT_EQ(ReadHostFile(install + "/a.bin"), bytes);
}

// Every failure row: its box, and what the install folder holds afterwards.
TEST_F(CopyEngine, EachFailureShowsItsMessageAndStops) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    const char* format;
    bool destinationTouched;
  };
  const Case cases[] = {
      {"measure: open fails",
       [] { InjectFault(FAULT_OPEN_READ, "MUR.dll", 0, 1, FAULT_FAIL); }, MSG_FILE_NOT_FOUND,
       false},
      {"measure: size query fails",
       [] { InjectFault(FAULT_FILE_SIZE, "MUR.dll", 0, 1, FAULT_FAIL); }, MSG_FILE_NOT_FOUND,
       false},
      {"copy: source open fails",
       [] { InjectFault(FAULT_OPEN_READ, "MUR.dll", 1, 1, FAULT_FAIL); }, MSG_FILE_NOT_FOUND,
       false},
      {"copy: destination not created",
       [] { InjectFault(FAULT_OPEN_REPLACE, "MUR.dll", 0, 1, FAULT_FAIL); },
       MSG_FILE_NOT_CREATED, false},
      {"copy: read fails", [] { InjectFault(FAULT_READ, "MUR.dll", 1, 1, FAULT_FAIL); },
       MSG_FILE_NOT_READ, true},
      {"copy: write fails", [] { InjectFault(FAULT_WRITE, "MUR.dll", 1, 1, FAULT_FAIL); },
       MSG_FILE_NOT_WRITTEN, true},
      // Skipping the unwritten half would corrupt the file.
      {"copy: short write", [] { InjectFault(FAULT_WRITE, "MUR.dll", 0, 1, FAULT_SHORT); },
       MSG_FILE_NOT_WRITTEN, true},
  };
  const std::string old = "installed";
  const char* const list[] = {"dll\\MUR.dll", nullptr};
  for (const Case& c : cases) {
    ResetHostState();
    OverrideDriveSpace(100000ull * MB, 50000ull * MB);
    State.dialog = CreateModelessDialog(nullptr, IDD_UPDATE, nullptr, CancellingDialogProc);
    unlink(transcript.c_str());
    WriteHostFile(package + "/dll/MUR.dll", Pattern(200000));
    WriteHostFile(install + "/dll/MUR.dll", old);
    c.arrange();

    EXPECT_EQ(CopyListedFiles(list), 0) << c.name;
    EXPECT_EQ(Events("messagebox"), std::vector<std::string>{FileBox(c.format, "dll\\MUR.dll")})
        << c.name;
    std::string left = ReadHostFile(install + "/dll/MUR.dll");
    if (c.destinationTouched) {
      // No rollback: the file stays as far as it was written.
      EXPECT_NE(left, old) << c.name;
      EXPECT_EQ(left, Pattern(200000).substr(0, left.size())) << c.name;
    } else {
      EXPECT_EQ(left, old) << c.name;
    }
  }
}

TEST_F(CopyEngine, MissingOrEmptyFileFailsBeforeAnythingIsWritten) {
  WriteHostFile(package + "/a.bin", "first");
  WriteHostFile(package + "/empty.bin", "");
  WriteHostFile(install + "/a.bin", "old");
  for (const char* second : {"empty.bin", "missing.bin"}) {
    unlink(transcript.c_str());
    const char* const list[] = {"a.bin", second, nullptr};
    EXPECT_EQ(CopyListedFiles(list), 0) << second;
    EXPECT_EQ(Events("messagebox"), std::vector<std::string>{FileBox(MSG_FILE_NOT_FOUND, second)})
        << second;
    EXPECT_EQ(ReadHostFile(install + "/a.bin"), "old") << second;
    EXPECT_EQ(FaultCallCount(FAULT_OPEN_REPLACE), 0) << second;
  }
}

TEST_F(CopyEngine, PathsThatDoNotFitAreRefusedBeforeAnyFileIsOpened) {
  WriteHostFile(package + "/a.bin", "first");
  const std::string longEntry(300, 'n');
  struct Case {
    std::string installFolder;
    std::string entry;
    const char* format;
  };
  // An entry that makes a source path of exactly 259 bytes, which fits,
  // while a 250-byte install folder leaves no room for it.
  const std::string longInstall = "Z:\\" + std::string(247, 'i');
  const std::string shortEntry(259 - strlen(State.packageFolder) - 1, 'e');
  const Case cases[] = {
      {State.installFolder, longEntry, MSG_FILE_NOT_FOUND},
      {longInstall, shortEntry, MSG_FILE_NOT_CREATED},
  };
  for (const Case& c : cases) {
    ResetHostState();
    OverrideDriveSpace(100000ull * MB, 50000ull * MB);
    State.dialog = CreateModelessDialog(nullptr, IDD_UPDATE, nullptr, CancellingDialogProc);
    unlink(transcript.c_str());
    snprintf(State.installFolder, sizeof State.installFolder, "%s", c.installFolder.c_str());
    const char* const list[] = {"a.bin", c.entry.c_str(), nullptr};

    EXPECT_EQ(CopyListedFiles(list), 0) << c.entry.size();
    EXPECT_EQ(Events("messagebox"),
              std::vector<std::string>{FileBox(c.format, c.entry.c_str())});
    EXPECT_EQ(FaultCallCount(FAULT_OPEN_READ), 0);
    EXPECT_EQ(FaultCallCount(FAULT_OPEN_REPLACE), 0);
  }
}

TEST_F(CopyEngine, SourceEmptiedAfterMeasuringLeavesAnEmptyFileAndGoesOn) {
  WriteHostFile(package + "/a.bin", Pattern(100));
  WriteHostFile(package + "/b.bin", "next");
  WriteHostFile(install + "/a.bin", "old");
  Plan(FAULT_OPEN_READ, "a.bin", 2, [this] { WriteHostFile(package + "/a.bin", ""); });
  const char* const list[] = {"a.bin", "b.bin", nullptr};

  EXPECT_EQ(CopyListedFiles(list), 1);
  EXPECT_EQ(ReadHostFile(install + "/a.bin"), "");
  EXPECT_EQ(ReadHostFile(install + "/b.bin"), "next");
  EXPECT_TRUE(Events("messagebox").empty());
}

// The source shrinks under the copy: the read that finds nothing where bytes
// should remain ends the copy as a read failure instead of looping.
TEST_F(CopyEngine, SourceShrinkingDuringTheCopyFailsAsARead) {
  const std::string bytes = Pattern(3 * 65534);
  WriteHostFile(package + "/a.bin", bytes);
  Plan(FAULT_READ, "a.bin", 2, [this, &bytes] {
    ASSERT_EQ(truncate((package + "/a.bin").c_str(), 65534), 0);
  });
  const char* const list[] = {"a.bin", nullptr};

  EXPECT_EQ(CopyListedFiles(list), 0);
  EXPECT_EQ(Events("messagebox"), std::vector<std::string>{FileBox(MSG_FILE_NOT_READ, "a.bin")});
  EXPECT_EQ(ReadHostFile(install + "/a.bin"), bytes.substr(0, 65534));
}

TEST_F(CopyEngine, SourceGrownAfterMeasuringIsCopiedWholeWithTheBarHeldAtFull) {
  WriteHostFile(package + "/a.bin", Pattern(100));
  const std::string grown = Pattern(70000);
  Plan(FAULT_OPEN_READ, "a.bin", 2, [this, &grown] { WriteHostFile(package + "/a.bin", grown); });
  const char* const list[] = {"a.bin", nullptr};

  EXPECT_EQ(CopyListedFiles(list), 1);
  EXPECT_EQ(ReadHostFile(install + "/a.bin"), grown);
  EXPECT_EQ(Events("percent"), (std::vector<std::string>{"100%", "100%"}));
  EXPECT_EQ(Events("progress"), (std::vector<std::string>{"100", "100"}));
}

TEST_F(CopyEngine, CancelIsSeenOnlyAfterTheNextChunk) {
  const std::string bytes = Pattern(3 * 65534);
  WriteHostFile(package + "/a.bin", bytes);
  Plan(FAULT_WRITE, "a.bin", 1, [this] { PostCancel(); });
  const char* const list[] = {"a.bin", nullptr};

  EXPECT_EQ(CopyListedFiles(list), 0);
  EXPECT_EQ(ReadHostFile(install + "/a.bin"), bytes.substr(0, 2 * 65534));
  EXPECT_EQ(Events("percent"), std::vector<std::string>{" 33%"});
  EXPECT_TRUE(Events("messagebox").empty());
}

TEST_F(CopyEngine, CancelAfterAFilesLastChunkStopsAfterTheNextFilesFirstChunk) {
  WriteHostFile(package + "/a.bin", Pattern(100));
  const std::string second = Pattern(2 * 65534);
  WriteHostFile(package + "/b.bin", second);
  WriteHostFile(package + "/c.bin", "third");
  WriteHostFile(install + "/b.bin", "old");
  Plan(FAULT_WRITE, "a.bin", 1, [this] { PostCancel(); });
  const char* const list[] = {"a.bin", "b.bin", "c.bin", nullptr};

  EXPECT_EQ(CopyListedFiles(list), 0);
  EXPECT_EQ(ReadHostFile(install + "/b.bin"), second.substr(0, 65534));
  EXPECT_EQ(access((install + "/c.bin").c_str(), F_OK), -1);
  EXPECT_TRUE(Events("messagebox").empty());
}

TEST_F(CopyEngine, CancelAfterTheLastChunkOfTheLastFileIsNotSeen) {
  WriteHostFile(package + "/a.bin", Pattern(100));
  WriteHostFile(package + "/b.bin", Pattern(200));
  Plan(FAULT_WRITE, "b.bin", 1, [this] { PostCancel(); });
  const char* const list[] = {"a.bin", "b.bin", nullptr};

  EXPECT_EQ(CopyListedFiles(list), 1);
  EXPECT_EQ(State.cancelRequested, 1);
  EXPECT_EQ(ReadHostFile(install + "/b.bin"), Pattern(200));
}

TEST_F(CopyEngine, NeedIsCountedInWholeMegabytes) {
  // 1.9 MB counts as 1: 1.5 free megabytes are enough.
  const uint32_t need = MB + MB * 9 / 10;
  WriteHostFile(package + "/a.bin", Pattern(need));
  const char* const list[] = {"a.bin", nullptr};
  OverrideDriveSpace(8000ull * MB, MB + MB / 2);
  EXPECT_EQ(CopyListedFiles(list), 1);
  EXPECT_EQ(ReadHostFile(install + "/a.bin").size(), need);
  // 2^31 free megabytes compare as unsigned, not as a negative count.
  unlink((install + "/a.bin").c_str());
  OverrideDriveSpace(1ull << 52, 1ull << 51);
  EXPECT_EQ(CopyListedFiles(list), 1);
  EXPECT_EQ(ReadHostFile(install + "/a.bin").size(), need);
  EXPECT_TRUE(Events("messagebox").empty());
}

TEST_F(CopyEngine, NoSpaceShowsTheTruncatedNeedPlusOne) {
  WriteHostFile(package + "/a.bin", Pattern(MB + MB * 9 / 10));
  WriteHostFile(install + "/a.bin", "old");
  const char* const list[] = {"a.bin", nullptr};
  struct Case {
    bool queryFails;
    uint64_t total, free;
    int shownFree, shownTotal;
  };
  // A drive that cannot be asked counts as full and of no size.
  const Case cases[] = {{false, 8000ull * MB + 5, MB / 2, 0, 8000},
                        // Megabytes are taken as 32 bits: 2^32 of them read as 0.
                        {false, (1ull << 52) + 8000ull * MB, (1ull << 52) + MB / 2, 0, 8000},
                        {true, 0, 0, 0, 0}};
  for (const Case& c : cases) {
    ResetHostState();
    unlink(transcript.c_str());
    OverrideDriveSpace(c.total, c.free);
    if (c.queryFails) InjectFault(FAULT_DRIVE_SPACE, nullptr, 0, 1, FAULT_FAIL);

    EXPECT_EQ(CopyListedFiles(list), 0);
    char text[MESSAGE_TEXT_SIZE];
    FormatText(text, sizeof text, MSG_NO_SPACE, State.installFolder, c.shownFree, c.shownTotal,
               2);
    EXPECT_EQ(Events("messagebox"), std::vector<std::string>{BoxLine("none", "Caption", text)});
    EXPECT_EQ(ReadHostFile(install + "/a.bin"), "old");
  }
}

TEST_F(CopyEngine, FreeSpaceCheckWantsADriveLetter) {
  WriteHostFile(package + "/a.bin", "first");
  const char* const list[] = {"a.bin", nullptr};
  for (const char* folder : {"\\\\server\\share", "C", ""}) {
    unlink(transcript.c_str());
    snprintf(State.installFolder, sizeof State.installFolder, "%s", folder);
    EXPECT_EQ(CopyListedFiles(list), 0) << folder;
    char text[MESSAGE_TEXT_SIZE];
    FormatText(text, sizeof text, MSG_INSTALL_PATH_BAD, folder);
    EXPECT_EQ(Events("messagebox"), std::vector<std::string>{BoxLine("none", "Caption", text)})
        << folder;
    EXPECT_EQ(FaultCallCount(FAULT_OPEN_REPLACE), 0);
  }
}

// With an install folder of the longest length a path text holds, both
// messages are shown whole, the need included.
TEST_F(CopyEngine, FreeSpaceMessagesHoldTheLongestInstallFolder) {
  const std::string longFolder = "C:\\" + std::string(256, 'f');
  const std::string networkFolder = "\\\\" + std::string(257, 's');
  snprintf(State.installFolder, sizeof State.installFolder, "%s", longFolder.c_str());
  OverrideDriveSpace(0xFFFFFFFFull * MB, 0);
  EXPECT_EQ(CheckFreeSpace(0xFFFFFFFFu), 0);
  snprintf(State.installFolder, sizeof State.installFolder, "%s", networkFolder.c_str());
  EXPECT_EQ(CheckFreeSpace(0), 0);

  std::vector<std::string> boxes = Events("messagebox");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].find(longFolder.substr(3) + " \\n[0 / -1] \\n"), std::string::npos);
  EXPECT_NE(boxes[0].find(" : 4096\""), std::string::npos);
  EXPECT_NE(boxes[1].find("\\n \\\\\\\\" + networkFolder.substr(2) + "\""), std::string::npos);
}

TEST_F(CopyEngine, EmptyListGoesStraightToTheMerge) {
  const char* const empty[] = {nullptr};
  OverrideDriveSpace(0, 0);
  EXPECT_EQ(CopyListedFiles(empty), 1);
  EXPECT_EQ(FaultCallCount(FAULT_OPEN_READ), 0);
  EXPECT_TRUE(Events("messagebox").empty());

  snprintf(State.installFolder, sizeof State.installFolder, "\\\\server\\share");
  EXPECT_EQ(CopyListedFiles(empty), 0);
  char text[MESSAGE_TEXT_SIZE];
  FormatText(text, sizeof text, MSG_INSTALL_PATH_BAD, State.installFolder);
  EXPECT_EQ(Events("messagebox"), std::vector<std::string>{BoxLine("none", "Caption", text)});
}

TEST_F(CopyEngine, MergeFailureIsReportedWithItsCode) {
  WriteHostFile(package + "/a.bin", "first");
  WriteHostFile(package + "/Setup.dat", "a;\r\n");
  // No installed setup list: the merge fails with code 3.
  const char* const list[] = {"a.bin", nullptr};

  EXPECT_EQ(CopyListedFiles(list), 0);
  EXPECT_EQ(ReadHostFile(install + "/a.bin"), "first");
  std::vector<std::string> boxes = Events("messagebox");
  ASSERT_EQ(boxes.size(), 2u);
  char text[MESSAGE_TEXT_SIZE];
  FormatText(text, sizeof text, MSG_LIST_NOT_FOUND, "Setup.dat");
  EXPECT_EQ(boxes[0], BoxLine("dialog", CAPTION_RECORD_FAILED, text));
  EXPECT_EQ(boxes[1],
            u8"{\"event\":\"messagebox\",\"owner\":\"dialog\",\"caption\":\"アップデート情報の更新に"
            u8"失敗しました。\",\"text\":\"指定されたファイルが見つかりませんでした。\\nアップデート"
            u8"は成功しましたが、\\nアップデート情報の更新に失敗しました。[0x00000003]Setup.dat\","
            u8"\"style\":48,\"answer\":\"ok\"}");
}

TEST_F(CopyEngine, PackageListIsTheOneCopied) {
  WriteHostFile(package + "/dll/MUR.dll", "package file");
  EXPECT_EQ(CopyPackageFiles(), 1);
  EXPECT_EQ(ReadHostFile(install + "/dll/MUR.dll"), "package file");
}

}  // namespace
