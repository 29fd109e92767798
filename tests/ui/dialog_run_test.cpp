// Whole runs of the host edition against a sample installation, with
// messages posted to the progress dialog while it copies.
#include "app/message_catalogue.h"
#include "platform/entry.h"
#include "platform/host/testing.h"
#include "tests/ui/sample_run.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const uint32_t CHUNK = 65534;

TEST(HostRun, PostedMessagesReachTheDialogDuringTheUpdate) {
  struct Case {
    const char* posts;
    size_t dispatched;
    bool finished;
  };
  const Case cases[] = {
      {"", 0, true},
      // A close request and the dialog manager's Cancel change nothing.
      {"close,2,close@2", 3, true},
      // 1006 taken after the first chunk stops the copy after the second.
      {"1006@1", 1, false},
      // Entries that are not messages are ignored with a warning.
      {"bogus,1006@x,@3", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.posts);
    Sample sample;
    ASSERT_TRUE(MakeSample(UPDATER_HOST_UPDATER, "", 5 * CHUNK, &sample));
    const std::string transcript = sample.root + "/transcript.jsonl";
    int code = RunProgram(
        {sample.updater + "/updater"},
        {"APPDATA=" + sample.appData, "PROGRAMDATA=", "UPDATER_ANSWERS=ok,ok",
         "UPDATER_TRANSCRIPT=" + transcript, "UPDATER_WINDOW_DIR=" + sample.root + "/windows",
         std::string("UPDATER_DIALOG_POSTS=") + c.posts});
    EXPECT_EQ(code, 0);
    std::vector<std::string> lines = ReadLines(transcript);
    EXPECT_EQ(UserVisibleLines(lines),
              (std::vector<std::string>{
                  ConfirmBox(), DialogLine("create"), DialogLine("destroy"),
                  c.finished ? MainFlowBox(MSG_FINISHED, 0) : MainFlowBox(MSG_ABORTED, 0x30),
                  ExitLine(0)}));
    size_t dispatched = 0;
    for (const std::string& line : lines)
      dispatched += line.find("\"dispatch\"") != std::string::npos;
    EXPECT_EQ(dispatched, c.dispatched);
    const std::string package = ReadHostFile(sample.updater + "/data/dll/MUR.dll");
    EXPECT_EQ(ReadHostFile(sample.install + "/dll/MUR.dll"),
              c.finished ? package : package.substr(0, 2 * CHUNK));
    EXPECT_EQ(RecordedVersion(sample.appData), c.finished ? "1.1" : "*");
    RemoveSample(sample);
  }
}

// A dialog that cannot be created ends the run at once: nothing copied,
// nothing recorded, the stopped report.
TEST(HostRun, DialogThatCannotBeCreatedEndsTheRun) {
  Sample sample;
  ASSERT_TRUE(MakeSample(UPDATER_HOST_UPDATER, "", CHUNK, &sample));
  const std::string transcript = sample.root + "/transcript.jsonl";
  setenv("APPDATA", sample.appData.c_str(), 1);
  setenv("PROGRAMDATA", "", 1);
  setenv("UPDATER_ANSWERS", "ok,ok", 1);
  setenv("UPDATER_TRANSCRIPT", transcript.c_str(), 1);
  setenv("UPDATER_WINDOW_DIR", (sample.root + "/windows").c_str(), 1);
  ResetHostState();
  InjectFault(FAULT_CREATE_DIALOG, nullptr, 0, 1, FAULT_FAIL);
  const std::string installed = ReadHostFile(sample.install + "/dll/MUR.dll");

  char commandLine[] = "";
  EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, 1), 0);
  EXPECT_EQ(FaultCallCount(FAULT_CREATE_DIALOG), 1);
  EXPECT_EQ(UserVisibleLines(ReadLines(transcript)),
            (std::vector<std::string>{ConfirmBox(), MainFlowBox(MSG_ABORTED, 0x30)}));
  EXPECT_EQ(ReadHostFile(sample.install + "/dll/MUR.dll"), installed);
  EXPECT_EQ(RecordedVersion(sample.appData), "*");

  ResetHostState();
  for (const char* name :
       {"APPDATA", "PROGRAMDATA", "UPDATER_ANSWERS", "UPDATER_TRANSCRIPT", "UPDATER_WINDOW_DIR"}) {
    unsetenv(name);
  }
  RemoveSample(sample);
}

}  // namespace
