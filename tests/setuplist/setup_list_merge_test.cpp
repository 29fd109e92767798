// The setup list merge against real files on the host back end: the exact
// bytes it leaves, its result codes and boxes, and faults injected into
// every operation it makes. What the user saw is read back from the
// transcript.
#include "setuplist/setup_list_merge.h"

#include "app/message_catalogue.h"
#include "app/update_state.h"
#include "platform/host/testing.h"
#include "platform/host/transcript.h"
#include "platform/window.h"
#include "res/resource.h"
#include "tests/setuplist/list_check.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A byte string whose zero bytes count.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

std::string Json(const char* cp932) {
  char out[8192];
  JsonStringFromCp932(cp932, out, sizeof out);
  return out;
}

std::string BoxLine(const char* caption, const std::string& text) {
  return std::string("{\"event\":\"messagebox\",\"owner\":\"dialog\",\"caption\":") +
         Json(caption) + ",\"text\":" + Json(text.c_str()) + ",\"style\":48,\"answer\":\"ok\"}";
}

// The catalogue's text with the list's name in place of its one "%s".
std::string ListNotFoundBox() {
  std::string text = MSG_LIST_NOT_FOUND;
  size_t slot = text.find("%s");
  return BoxLine(CAPTION_RECORD_FAILED, text.replace(slot, 2, "Setup.dat"));
}

std::string ListNotWritableBox() { return BoxLine(State.caption, MSG_LIST_NOT_WRITABLE); }

// Bytes shown with their escapes, so that a failing comparison is readable.
std::string Shown(const std::string& bytes) {
  std::ostringstream out;
  for (unsigned char byte : bytes) {
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      out << (char)byte;
    } else {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out << escaped;
    }
  }
  return out.str();
}

intptr_t QuietDialogProc(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

class SetupListMerge : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/updater-merge-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    ASSERT_TRUE(PrepareMergeFolders(root));
    Restart();
  }

  void TearDown() override {
    ResetHostState();
    std::string command = "rm -rf '" + root + "'";
    EXPECT_EQ(system(command.c_str()), 0);
  }

  // A fresh fault plan and transcript, and the progress dialog as the boxes' owner.
  void Restart() {
    ResetHostState();
    remove((root + "/transcript.jsonl").c_str());
    State.dialog = CreateModelessDialog(nullptr, IDD_UPDATE, nullptr, QuietDialogProc);
    ASSERT_NE(State.dialog, nullptr);
  }

  std::string PackageListPath() const { return root + "/data/Setup.dat"; }
  std::string InstalledListPath() const { return root + "/install/Setup.dat"; }
  std::string InstalledList() const { return ReadHostFile(InstalledListPath()); }

  void WriteLists(const std::string& package, const std::string& installed) {
    WriteHostFile(PackageListPath(), package);
    WriteHostFile(InstalledListPath(), installed);
  }

  std::vector<std::string> Boxes() const {
    std::vector<std::string> boxes;
    std::istringstream lines(ReadHostFile(root + "/transcript.jsonl"));
    for (std::string line; std::getline(lines, line);) {
      if (line.find("\"event\":\"messagebox\"") != std::string::npos) boxes.push_back(line);
    }
    return boxes;
  }

  int FilesOpened() const {
    return FaultCallCount(FAULT_OPEN_READ) + FaultCallCount(FAULT_OPEN_REWRITE) +
           FaultCallCount(FAULT_OPEN_REPLACE);
  }

  std::string root;
};

TEST(LineLength, CountsUpToAndIncludingTheFirstBreak) {
  struct Case {
    const char* text;
    unsigned expected;
  };
  const Case cases[] = {
      {"", 0},          {"abc", 3},         {"a;\r\nb;", 4}, {"a\rb", 2},
      {"a\nb", 2},      {"\r\n", 2},        {"\n\r", 1},     {"\r", 1},
      {"a;b\r\r\n", 4}, {"x;\x83\x41\n", 5},
  };
  for (const Case& entry : cases) {
    EXPECT_EQ(LineLength(entry.text), entry.expected) << Shown(entry.text);
  }
}

TEST_F(SetupListMerge, LeavesTheExactBytes) {
  const std::string longEntry(3000, 'x');
  struct Case {
    const char* name;
    std::string package;
    std::string installed;
    std::string expected;
  };
  const Case cases[] = {
      {"one entry added before the installed text", Bytes("a;\r\nb;\r\n"), Bytes("b;\r\n"),
       Bytes("a;\nb;\r\n\0\0\0\0\0")},
      {"a blank line runs on into the next entry", Bytes("a;\r\n\r\nb;\r\n"), Bytes("b;\r\n"),
       Bytes("a;\n\r\nb;\nb;\r\n\0\0")},
      {"data10 hides data1", Bytes("data1;\r\n"), Bytes("data10;\r\n"),
       Bytes("data10;\r\n\0\0\0\0\0\0\0\0")},
      {"a doubled entry is added twice", Bytes("x;\r\ny;\r\nx;\r\n"), Bytes("y;\n"),
       Bytes("x;\nx;\ny;\n\0\0\0\0\0\0")},
      {"empty entries and text after ';' are not copied", Bytes(";skip\r\nk;note\r\n"),
       Bytes("z;\n"), Bytes("k;\nz;\n\0\0\0\0\0\0\0\0\0\0\0\0")},
      {"a match may begin inside a double-byte character", Bytes("A;\n"), Bytes("\x83\x41;\n"),
       Bytes("\x83\x41;\n\0\0\0")},
      {"bytes are compared without case folding", Bytes("a;\n"), Bytes("A;\n"),
       Bytes("a;\nA;\n")},
      {"an empty package list rewrites the installed one", "", Bytes("b;\r\n\0\0"),
       Bytes("b;\r\n\0\0")},
      {"the package text ends at its first zero byte", Bytes("a;\r\n\0b;\r\n"), "",
       Bytes("a;\n\0\0\0\0\0\0")},
      {"lone CR and LF end lines; a last line ending at ';' is written whole",
       Bytes("p;\rq;\nr;"), "", Bytes("p;\nq;\nr;\n")},
      {"an entry without ';' runs on and is written whole", Bytes("a\r\nb;\r\n"),
       Bytes("q;\r\n"), Bytes("a\r\nb;\nb;\nq;\r\n")},
      {"an entry of 3000 bytes is added whole", longEntry + ";\r\ny;\r\n", Bytes("y;\n"),
       longEntry + ";\ny;\n" + std::string(5, '\0')},
      {"an entry of 3000 bytes is found whole", longEntry + ";\r\n", "k" + longEntry + "z;\n",
       "k" + longEntry + "z;\n" + std::string(3003, '\0')},
  };
  for (const Case& entry : cases) {
    WriteLists(entry.package, entry.installed);
    EXPECT_EQ(MergeSetupList(), 0) << entry.name;
    EXPECT_EQ(Shown(InstalledList()), Shown(entry.expected)) << entry.name;
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SetupListMerge, MergingAgainAddsNothingAndTheZeroBytesGrow) {
  WriteLists(Bytes("a;\r\nb;\r\n"), Bytes("b;\r\n"));
  ASSERT_EQ(MergeSetupList(), 0);
  ASSERT_EQ(InstalledList().size(), 12u);
  EXPECT_EQ(MergeSetupList(), 0);
  EXPECT_EQ(Shown(InstalledList()), Shown("a;\nb;\r\n" + std::string(13, '\0')));
}

TEST_F(SetupListMerge, NothingToMergeOpensNoFile) {
  WriteLists(Bytes("a;\r\n"), Bytes("b;\r\n"));
  EXPECT_EQ(MergeSetupListNamed(""), 0);
  EXPECT_EQ(FilesOpened(), 0);

  ASSERT_EQ(remove(PackageListPath().c_str()), 0);
  EXPECT_EQ(MergeSetupList(), 0);
  EXPECT_EQ(FilesOpened(), 0);
  EXPECT_EQ(InstalledList(), Bytes("b;\r\n"));
  EXPECT_TRUE(Boxes().empty());
}

// Every failure before the final write leaves the installed list untouched;
// a failed final write puts its old bytes back.
TEST_F(SetupListMerge, FailuresGiveTheirCodeAndLeaveTheInstalledList) {
  const std::string installed = Bytes("b;\r\nc;\r\n\0\0");
  struct Case {
    const char* name;
    std::function<void()> arrange;
    int code;
    std::string box;
  };
  auto fault = [](FaultOperation op, const char* part, int skip, FaultEffect effect) {
    return [=] { InjectFault(op, part, skip, 1, effect); };
  };
  const std::string notFound = ListNotFoundBox();
  const std::string notWritable = ListNotWritableBox();
  const Case cases[] = {
      {"a folder named like the list in the package folder",
       [&] {
         remove(PackageListPath().c_str());
         mkdir(PackageListPath().c_str(), 0755);
       },
       1, notFound},
      {"package list not opened", fault(FAULT_OPEN_READ, "data\\Setup.dat", 0, FAULT_FAIL), 1,
       notFound},
      {"package list size unknown", fault(FAULT_FILE_SIZE, "data\\", 0, FAULT_FAIL), 1, notFound},
      {"package list read fails", fault(FAULT_READ, "data\\", 0, FAULT_FAIL), 1, notFound},
      {"package list read short", fault(FAULT_READ, "data\\", 0, FAULT_SHORT), 1, notFound},
      {"no memory for the package list", fault(FAULT_ALLOCATE, nullptr, 0, FAULT_FAIL), 2, ""},
      {"installed list not opened", fault(FAULT_OPEN_READ, "install\\", 0, FAULT_FAIL), 3,
       notFound},
      {"installed list size unknown", fault(FAULT_FILE_SIZE, "install\\", 0, FAULT_FAIL), 3,
       notFound},
      {"installed list read fails", fault(FAULT_READ, "install\\", 0, FAULT_FAIL), 3, notFound},
      {"installed list read short", fault(FAULT_READ, "install\\", 0, FAULT_SHORT), 3, notFound},
      {"no memory for the installed list", fault(FAULT_ALLOCATE, nullptr, 1, FAULT_FAIL), 4, ""},
      {"installed list not opened for writing", fault(FAULT_OPEN_REWRITE, nullptr, 0, FAULT_FAIL),
       6, notWritable},
      {"write fails", fault(FAULT_WRITE, nullptr, 0, FAULT_FAIL), 6, notWritable},
      {"write short", fault(FAULT_WRITE, nullptr, 0, FAULT_SHORT), 6, notWritable},
  };
  for (const Case& entry : cases) {
    WriteLists(Bytes("a;\r\nb;\r\n"), installed);
    Restart();
    entry.arrange();
    EXPECT_EQ(MergeSetupList(), entry.code) << entry.name;
    EXPECT_EQ(Shown(InstalledList()), Shown(installed)) << entry.name;
    std::vector<std::string> expectedBoxes;
    if (!entry.box.empty()) expectedBoxes.push_back(entry.box);
    EXPECT_EQ(Boxes(), expectedBoxes) << entry.name;
    rmdir(PackageListPath().c_str());
  }
}

TEST_F(SetupListMerge, AMissingInstalledListGivesThree) {
  WriteHostFile(PackageListPath(), Bytes("a;\r\n"));
  EXPECT_EQ(MergeSetupList(), 3);
  EXPECT_EQ(FaultCallCount(FAULT_OPEN_REWRITE) + FaultCallCount(FAULT_OPEN_REPLACE), 0);
  struct stat info;
  EXPECT_NE(stat(InstalledListPath().c_str(), &info), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{ListNotFoundBox()});
}

TEST_F(SetupListMerge, NoMemoryForTheMergeGivesFive) {
  // The allocations after the two lists' are the merge's working storage;
  // whichever of them fails, the result is 5 and nothing is written.
  const std::string installed = Bytes("b;\r\n");
  int skip = 2;
  for (; skip < 20; ++skip) {
    WriteLists(Bytes("a;\r\nb;\r\n"), installed);
    Restart();
    InjectFault(FAULT_ALLOCATE, nullptr, skip, 1, FAULT_FAIL);
    int code = MergeSetupList();
    if (code == 0) break;
    EXPECT_EQ(code, 5) << "allocation " << skip + 1;
    EXPECT_EQ(InstalledList(), installed) << "allocation " << skip + 1;
    EXPECT_EQ(FaultCallCount(FAULT_OPEN_REWRITE), 0) << "allocation " << skip + 1;
    EXPECT_TRUE(Boxes().empty()) << "allocation " << skip + 1;
  }
  EXPECT_GT(skip, 2) << "no allocation of the merge itself was failed";
  EXPECT_LT(skip, 20) << "the merge never succeeded";
  EXPECT_EQ(InstalledList(), Bytes("a;\nb;\r\n\0\0\0\0\0"));
}

TEST_F(SetupListMerge, PathsTooLongForTheirBufferAreRefused) {
  WriteLists(Bytes("a;\r\n"), Bytes("b;\r\n"));
  const std::string packageFolder = State.packageFolder;
  const std::string longFolder = "Z:\\" + std::string(250, 'f');

  snprintf(State.packageFolder, sizeof State.packageFolder, "%s", longFolder.c_str());
  EXPECT_EQ(MergeSetupList(), 1);
  EXPECT_EQ(FilesOpened(), 0);

  snprintf(State.packageFolder, sizeof State.packageFolder, "%s", packageFolder.c_str());
  snprintf(State.installFolder, sizeof State.installFolder, "%s", longFolder.c_str());
  EXPECT_EQ(MergeSetupList(), 3);
  EXPECT_EQ(FaultCallCount(FAULT_OPEN_READ), 1);
  EXPECT_EQ(FaultCallCount(FAULT_OPEN_REWRITE) + FaultCallCount(FAULT_OPEN_REPLACE), 0);
  EXPECT_EQ(InstalledList(), Bytes("b;\r\n"));
  EXPECT_EQ(Boxes(), std::vector<std::string>(2, ListNotFoundBox()));
}

}  // namespace
