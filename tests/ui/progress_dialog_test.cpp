// The progress dialog's procedure on the host back end: what it shows, which
// messages it lets through while the update runs, and how the update ends.
// The package is real files; what the user saw is read back from the
// transcript and the back end's view of the dialog.
#include "ui/progress_dialog.h"

#include "app/update_state.h"
#include "platform/host/host_paths.h"
#include "platform/host/testing.h"
#include "platform/window.h"
#include "res/resource.h"
#include "tests/support/back_end_paths.h"
#include "tests/ui/sample_run.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

const uint32_t CHUNK = 65534;
const char CAPTION[] = "Caption of the run";
// アップデートを行っています。
const char STATUS_TEXT[] =
    "\x83\x41\x83\x62\x83\x76\x83\x66\x81\x5B\x83\x67\x82\xF0\x8D\x73\x82\xC1\x82\xC4\x82\xA2"
    "\x82\xDC\x82\xB7\x81\x42";

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = (char)((i * 13 + i / CHUNK) & 0xFF);
  return bytes;
}

class ProgressDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/updater-dialog-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    updater = root + "/updater";
    install = root + "/install";
    for (const std::string& folder : {updater, updater + "/data", updater + "/data/dll", install,
                                      install + "/dll", root + "/appdata"}) {
      ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    }
    transcript = root + "/transcript.jsonl";
    setenv("UPDATER_TRANSCRIPT", transcript.c_str(), 1);
    setenv("UPDATER_WINDOW_DIR", (root + "/windows").c_str(), 1);
    setenv("UPDATER_ANSWERS", "ok,ok,ok", 1);
    unsetenv("UPDATER_DIALOG_POSTS");

    ResetHostState();
    OverrideDriveSpace(1ull << 40, 1ull << 39);
    memset(&State, 0, sizeof State);
    snprintf(State.caption, sizeof State.caption, "%s", CAPTION);
    snprintf(State.updaterFolder, sizeof State.updaterFolder, "%s", BackEndPath(updater).c_str());
    snprintf(State.installFolder, sizeof State.installFolder, "%s", BackEndPath(install).c_str());
    snprintf(State.appDataFolder, sizeof State.appDataFolder, "%s",
             BackEndPath(root + "/appdata").c_str());
  }

  void TearDown() override {
    ResetHostState();
    unsetenv("UPDATER_ANSWERS");
    std::string command = "rm -rf '" + root + "'";
    ASSERT_EQ(system(command.c_str()), 0);
  }

  void CreateDialog() {
    State.dialog = CreateModelessDialog(nullptr, IDD_UPDATE, nullptr, ProgressDialogProc);
    ASSERT_NE(State.dialog, nullptr);
  }

  // Creates the dialog and runs the update as the main flow does.
  void RunUpdate(const std::string& package) {
    WriteHostFile(updater + "/data/dll/MUR.dll", package);
    CreateDialog();
    SendWindowMessage(State.dialog, UM_START_UPDATE, 0, 0);
  }

  HostDialogView View() {
    HostDialogView view;
    EXPECT_TRUE(ViewHostDialog(&view));
    return view;
  }

  // What the main flow's loop would see next: 0 for the quit message.
  int NextFetch() {
    QueuedMessage message;
    return FetchMessage(&message);
  }

  std::vector<std::string> Events(const std::string& kind) {
    std::vector<std::string> found;
    std::ifstream lines(transcript);
    std::string head = "{\"event\":\"" + kind + "\"";
    for (std::string line; std::getline(lines, line);) {
      if (line.compare(0, head.size(), head) == 0) found.push_back(line);
    }
    return found;
  }

  std::string root, updater, install, transcript;
};

TEST_F(ProgressDialog, ShowsTheCaptionWithoutCloseCommandOrIcon) {
  CreateDialog();
  HostDialogView view = View();
  EXPECT_STREQ(view.title, CAPTION);
  EXPECT_EQ(view.closeInMenu, 0);
  EXPECT_EQ(view.hasSmallIcon, 0);
  EXPECT_EQ(view.progress, 0);
  EXPECT_STREQ(view.status, STATUS_TEXT);
  EXPECT_STREQ(view.percent, "");
  EXPECT_EQ(FindWindowByTitle(CAPTION), State.dialog);
  EXPECT_EQ(FindWindowByTitle("Update Program"), nullptr);
}

TEST_F(ProgressDialog, CloseIsIgnoredUntilCompleted) {
  CreateDialog();
  EXPECT_EQ(SendWindowMessage(State.dialog, MESSAGE_CLOSE, 0, 0), 1);
  EXPECT_EQ(View().destroyed, 0);
  EXPECT_EQ(NextFetch(), -1) << "nothing queued, no quit posted";

  State.completed = 1;
  SendWindowMessage(State.dialog, MESSAGE_CLOSE, 0, 0);
  EXPECT_EQ(View().destroyed, 1);
  EXPECT_EQ(NextFetch(), 0) << "the destruction posts the quit message";
}

TEST_F(ProgressDialog, OnlyTheWholeCommand1006RequestsCancellation) {
  struct Case {
    uintptr_t wParam;
    int cancels;
  };
  const Case cases[] = {
      {IDC_CANCEL_UPDATE, 1},
      {2, 0},                               // the dialog manager's Cancel (Escape)
      {1, 0},                               // its OK (Enter)
      {(1u << 16) | IDC_CANCEL_UPDATE, 0},  // 1006 with a notification code
      {IDC_PROGRESS, 0},
  };
  CreateDialog();
  for (const Case& c : cases) {
    State.cancelRequested = 0;
    EXPECT_EQ(SendWindowMessage(State.dialog, MESSAGE_COMMAND, c.wParam, 0), 1);
    EXPECT_EQ(State.cancelRequested, c.cancels) << c.wParam;
  }
  EXPECT_EQ(View().destroyed, 0);
}

TEST_F(ProgressDialog, CompletedUpdateClosesTheDialogAndPostsQuit) {
  const std::string package = Pattern(3 * CHUNK + 5);
  RunUpdate(package);
  EXPECT_EQ(State.completed, 1);
  EXPECT_EQ(State.cancelRequested, 0);
  EXPECT_EQ(std::string(State.packageFolder), BackEndPath(updater) + "\\data");
  EXPECT_EQ(ReadHostFile(install + "/dll/MUR.dll"), package);
  HostDialogView view = View();
  EXPECT_EQ(view.destroyed, 1);
  EXPECT_EQ(view.progress, 100);
  EXPECT_STREQ(view.percent, "100%");
  EXPECT_TRUE(Events("messagebox").empty());
  EXPECT_EQ(NextFetch(), 0);
  EXPECT_EQ(FindWindowByTitle(CAPTION), nullptr);
}

// Posted messages are taken off the queue by the copy loop, one per chunk,
// and reach the procedure while the update runs.
TEST_F(ProgressDialog, CloseAndDialogCancelDuringTheUpdateChangeNothing) {
  ASSERT_TRUE(PlanDialogPost(0, MESSAGE_CLOSE, 0));
  ASSERT_TRUE(PlanDialogPost(0, MESSAGE_COMMAND, 2));
  ASSERT_TRUE(PlanDialogPost(2, MESSAGE_CLOSE, 0));
  const std::string package = Pattern(5 * CHUNK);
  RunUpdate(package);
  EXPECT_EQ(Events("dispatch").size(), 3u) << "all three were dispatched during the copy";
  EXPECT_EQ(State.completed, 1);
  EXPECT_EQ(State.cancelRequested, 0);
  EXPECT_EQ(ReadHostFile(install + "/dll/MUR.dll"), package);
  EXPECT_EQ(View().destroyed, 1);
  EXPECT_EQ(NextFetch(), 0);
}

// The stop command taken after the first chunk is seen after the second
// has been written: the destination holds two chunks, nothing is recorded.
TEST_F(ProgressDialog, StopCommandEndsTheUpdateWithoutCompleting) {
  ASSERT_TRUE(PlanDialogPost(1, MESSAGE_COMMAND, IDC_CANCEL_UPDATE));
  const std::string package = Pattern(4 * CHUNK);
  RunUpdate(package);
  EXPECT_EQ(State.cancelRequested, 1);
  EXPECT_EQ(State.completed, 0);
  EXPECT_EQ(ReadHostFile(install + "/dll/MUR.dll"), package.substr(0, 2 * CHUNK));
  EXPECT_TRUE(Events("messagebox").empty()) << "a stop is not reported by the dialog";
  EXPECT_EQ(View().destroyed, 1);
  EXPECT_EQ(NextFetch(), 0);
  EXPECT_FALSE(std::ifstream(root + "/appdata/\xE3\x83\x9B\xE3\x83\xAD\xE3\x83\xA1\xE3\x83\xAA"
                                    "\xE3\x83\x80/Velmora.ini")
                   .good())
      << "no version was recorded";
}

TEST_F(ProgressDialog, FailedCopyDestroysTheDialogWithoutCompleting) {
  CreateDialog();
  SendWindowMessage(State.dialog, UM_START_UPDATE, 0, 0);  // no package file
  EXPECT_EQ(State.completed, 0);
  EXPECT_EQ(Events("messagebox").size(), 1u) << "the copy engine's own message";
  EXPECT_EQ(View().destroyed, 1);
  EXPECT_EQ(NextFetch(), 0);
}

// The package folder must fit its 260 bytes with "\data": an updater folder
// of 254 characters does, one of 255 is refused before anything is opened,
// as is an empty one (the module path did not fit). The caption, which
// follows the field, shows whether anything was written past it.
TEST_F(ProgressDialog, PackageFolderIsComposedOnlyWhenItFits) {
  struct Case {
    size_t length;
    int composed;
  };
  const Case cases[] = {{254, 1}, {255, 0}, {0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    ResetHostState();
    unlink(transcript.c_str());
    std::string folder = c.length == 0 ? "" : "C:\\" + std::string(c.length - 3, 'a');
    memset(State.packageFolder, 'x', sizeof State.packageFolder);
    snprintf(State.updaterFolder, sizeof State.updaterFolder, "%s", folder.c_str());
    State.completed = 0;
    CreateDialog();
    SendWindowMessage(State.dialog, UM_START_UPDATE, 0, 0);
    EXPECT_EQ(State.completed, 0);
    EXPECT_STREQ(State.caption, CAPTION);
    EXPECT_EQ(std::string(State.packageFolder), c.composed ? folder + "\\data" : "");
    // The copy engine, given a package folder, refuses the too-long entry
    // path with its own message; without one it never runs.
    EXPECT_EQ(Events("messagebox").size(), (size_t)c.composed);
    EXPECT_EQ(View().destroyed, 1);
    EXPECT_EQ(NextFetch(), 0);
  }
}

}  // namespace
