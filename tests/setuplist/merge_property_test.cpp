// Properties of the merge over many seeded random lists: nothing of the
// installed list is lost, nothing present is added, a single failure
// anywhere leaves the list unchanged, and the index answers exactly as the
// plain search of the installed text does.
#include "setuplist/installed_text_index.h"
#include "setuplist/setup_list_merge.h"

#include "app/update_state.h"
#include "platform/host/testing.h"
#include "tests/setuplist/list_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

namespace {

// Bytes that make entries, line breaks and double-byte characters (83 41 is
// ア, whose trail byte is 'A'); few of them, so that entries recur.
const std::string ListBytes = std::string("ab;A\r\n\x83", 7);

std::string RandomText(std::mt19937& random, size_t maxLength, const std::string& bytes) {
  std::string text(std::uniform_int_distribution<size_t>(0, maxLength)(random), '\0');
  for (char& byte : text) byte = bytes[random() % bytes.size()];
  return text;
}

// A list file: sometimes with pieces of the other list, so that entries are
// found, and sometimes with zero bytes, and text behind them, at its end.
std::string RandomListFile(std::mt19937& random, size_t maxLength, const std::string& other) {
  std::string file = RandomText(random, maxLength, ListBytes);
  if (!other.empty() && random() % 2 == 0) {
    size_t start = random() % other.size();
    file.insert(random() % (file.size() + 1), other.substr(start, random() % 12));
  }
  if (random() % 4 == 0) file += std::string(random() % 4, '\0') + RandomText(random, 3, ListBytes);
  return file;
}

TEST(MergeProperty, TheInstalledListIsMergedOrLeftAsItWas) {
  char pattern[] = "/tmp/updater-merge-property-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string root = pattern;
  ASSERT_TRUE(PrepareMergeFolders(root));
  unsetenv("UPDATER_TRANSCRIPT");
  const std::string packagePath = root + "/data/Setup.dat";
  const std::string installedPath = root + "/install/Setup.dat";

  std::mt19937 random(20261211);
  int merged = 0;
  int refused = 0;
  for (int iteration = 0; iteration < 3000; ++iteration) {
    std::string package = RandomListFile(random, 40, "");
    std::string installed = RandomListFile(random, 40, package);
    WriteHostFile(packagePath, package);
    WriteHostFile(installedPath, installed);
    ResetHostState();
    const char* fault = InjectOneMergeFault((unsigned)random());

    int code = MergeSetupList();
    std::string after = ReadHostFile(installedPath);
    SCOPED_TRACE(::testing::Message() << "iteration " << iteration << ", " << fault << ", code "
                                      << code);
    if (code == 0) {
      ++merged;
      ASSERT_EQ(MergedFileFault(installed, after), "");
      ASSERT_EQ(after, ModelMergedFile(package, installed));
    } else {
      ++refused;
      ASSERT_EQ(after, installed);
    }
  }
  // Both outcomes must have been seen for the properties to mean anything.
  EXPECT_GT(merged, 100);
  EXPECT_GT(refused, 100);
  ResetHostState();
  std::string command = "rm -rf '" + root + "'";
  EXPECT_EQ(system(command.c_str()), 0);
}

// Long repeats in the installed text make the index tell apart suffixes that
// agree over many bytes; lines without ';' make long entries that share
// their end.
TEST(MergeProperty, TheIndexAddsTheEntriesThePlainSearchAdds) {
  ResetHostState();
  std::mt19937 random(7);
  const std::string sparse = std::string("ab;\n\r\x83\xFF", 7);
  for (int iteration = 0; iteration < 400; ++iteration) {
    const std::string& bytes = iteration % 2 ? ListBytes : sparse;
    std::string installed = RandomText(random, 600, "ab");
    installed += RandomText(random, 600, bytes);
    std::string unit = RandomText(random, 5, "ab\n");
    for (int repeat = random() % 60; repeat > 0; --repeat) installed += unit;
    std::string package = RandomText(random, 400, bytes);
    for (int pieces = random() % 20; pieces > 0 && !installed.empty(); --pieces) {
      size_t start = random() % installed.size();
      package.insert(random() % (package.size() + 1),
                     installed.substr(start, random() % 80) + (random() % 2 ? ";" : "\n"));
    }

    InstalledTextIndex index;
    ASSERT_TRUE(BuildInstalledTextIndex(installed.c_str(), (uint32_t)installed.size(), &index));
    std::string indexed = ComposedList(package, installed, &index);
    ReleaseInstalledTextIndex(&index);
    ASSERT_EQ(indexed, ComposedList(package, installed, nullptr)) << "iteration " << iteration;
  }
}

}  // namespace
