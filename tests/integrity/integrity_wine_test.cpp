// The Win32 back end under Wine against the host reader, the module opened
// as data only, and the check in UpDate.exe.
#include "app/message_catalogue.h"
#include "app/package_definition.h"
#include "platform/host/transcript.h"
#include "platform/resources.h"
#include "tests/integrity/malformed_modules.h"
#include "tests/integrity/sample_installation.h"
#include "tests/wine/runner.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string BIN = UPDATER_WINDOWS_BIN;
const char NAMES[] = "RESOURCE.dll,velmora.EXE,Velmora.ini";

std::string HexOf(const void* data, uint32_t size) {
  std::string hex;
  char digits[3];
  for (uint32_t i = 0; i < size; ++i) {
    snprintf(digits, sizeof digits, "%02X", ((const uint8_t*)data)[i]);
    hex += digits;
  }
  return hex;
}

// What the host back end finds, in the probe's report format.
std::vector<std::string> HostReport(const std::vector<std::string>& modules) {
  std::vector<std::string> lines;
  for (const std::string& path : modules) {
    ModuleHandle module = OpenResourceModule(path.c_str());
    lines.push_back(path + " open " + (module != nullptr ? "1" : "0"));
    for (const char* name : {"RESOURCE.dll", "velmora.EXE", "Velmora.ini"}) {
      if (module == nullptr) break;
      const void* data = nullptr;
      uint32_t size = 0;
      if (FindNamedData(module, name, &data, &size) && data != nullptr) {
        lines.push_back(std::string(name) + " " + std::to_string(size) + " " + HexOf(data, size));
      } else {
        lines.push_back(std::string(name) + " -");
      }
    }
    ReleaseModule(module);
  }
  return lines;
}

// A module that cannot be opened finds none of the names.
std::vector<std::string> PerName(const std::vector<std::string>& report) {
  std::vector<std::string> lines;
  for (const std::string& line : report) {
    lines.push_back(line);
    if (line.size() > 7 && line.compare(line.size() - 7, 7, " open 0") == 0) {
      for (const char* name : {"RESOURCE.dll", "velmora.EXE", "Velmora.ini"}) {
        lines.push_back(std::string(name) + " -");
      }
    }
  }
  return lines;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write((const char*)bytes.data(), (std::streamsize)bytes.size());
}

int FileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

TEST(IntegrityUnderWine, BothBackEndsFindTheSameBytesOrBothFail) {
  std::string folder = MakeTempFolder("agreement");
  std::vector<std::string> modules;
  for (const char* kind : {"32", "64", "mark"}) {
    std::string install = folder + "/" + kind;
    std::vector<std::string> options = {"--install=" + install};
    if (std::string(kind) == "mark") {
      options.push_back("--module-from=" + BIN + "/mark_module.dll");
    } else {
      options.push_back("--exe-text-suffix=\\r\\n");
    }
    if (std::string(kind) == "64") options.push_back("--pe64");
    ASSERT_EQ(MakeSampleInstallation(options), 0) << kind;
    std::vector<uint8_t> good = ReadModuleFile(install + "/dll/RESOURCE.dll");
    ASSERT_FALSE(good.empty());
    std::string path = folder + "/" + kind + "-good.dll";
    WriteBytes(path, good);
    modules.push_back(WindowsPath(path));
    if (std::string(kind) == "mark") continue;
    int index = 0;
    for (const ModuleVariant& variant : MalformedModules(good)) {
      std::string variantPath = folder + "/" + kind + "-bad" + std::to_string(index++) + ".dll";
      WriteBytes(variantPath, variant.bytes);
      modules.push_back(WindowsPath(variantPath));
    }
    // A name stored in lower case, as no resource compiler stores it.
    std::vector<uint8_t> lower = good;
    // Both kinds keep their names at the same offset: 0x200 + 0x88.
    size_t firstLetter = 0x200 + 0x88 + 2;
    lower[firstLetter] = 'r';
    std::string lowerPath = folder + "/" + kind + "-lower.dll";
    WriteBytes(lowerPath, lower);
    modules.push_back(WindowsPath(lowerPath));
  }

  std::string report = folder + "/report.txt";
  std::vector<std::string> arguments = {BIN + "/resource_probe.exe", WindowsPath(report), NAMES};
  arguments.insert(arguments.end(), modules.begin(), modules.end());
  ASSERT_EQ(RunUnderWine(arguments, folder + "/wine.log"), 0);
  std::vector<std::string> wine = PerName(ReadLines(report));
  std::vector<std::string> host = PerName(HostReport(modules));
  ASSERT_EQ(wine.size(), host.size());
  for (size_t i = 0; i < host.size(); ++i) EXPECT_EQ(wine[i], host[i]) << i;
  // The good modules were read at all.
  EXPECT_EQ(host[0], modules[0] + " open 1");
  EXPECT_EQ(host[2].substr(0, 15), "velmora.EXE 18 ");
}

// Opening the module for its resources never runs its code, though an
// ordinary load does.
TEST(IntegrityUnderWine, TheModuleIsReadWithoutRunningIt) {
  std::string folder = MakeTempFolder("mark");
  std::string mark = folder + "/mark.txt";
  setenv("UPDATER_MARK_FILE", WindowsPath(mark).c_str(), 1);
  ASSERT_EQ(RunUnderWine({BIN + "/mark_loader.exe"}, folder + "/wine.log"), 0);
  EXPECT_TRUE(FileExists(mark));
  unlink(mark.c_str());

  std::string install = folder + "/game";
  ASSERT_EQ(MakeSampleInstallation({"--install=" + install,
                                    "--module-from=" + BIN + "/mark_module.dll"}),
            0);
  std::string report = folder + "/report.txt";
  ASSERT_EQ(RunUnderWine({BIN + "/resource_probe.exe", WindowsPath(report), NAMES,
                          WindowsPath(install + "/dll/RESOURCE.dll")},
                         folder + "/wine.log"),
            0);
  std::vector<std::string> lines = ReadLines(report);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1].substr(0, 16), "RESOURCE.dll 16 ");
  EXPECT_FALSE(FileExists(mark));
  unsetenv("UPDATER_MARK_FILE");
}

// UpDate.exe finds its settings in the prefix's AppData folder.
class UpdaterUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* state = getenv("UPDATER_WINE_STATE");
    ASSERT_NE(state, nullptr);
    struct passwd* user = getpwuid(getuid());
    ASSERT_NE(user, nullptr);
    appData = std::string(state) + "/prefix/drive_c/users/" + user->pw_name + "/AppData/Roaming";
    settings = appData + "/ホロメリダ/Velmora.ini";
  }
  // Other tests share the prefix: they must not find this installation.
  void TearDown() override { unlink(settings.c_str()); }

  struct Run {
    int driverCode;
    std::vector<std::string> report;
  };

  Run Drive(const std::vector<std::string>& options, const char* answers) {
    std::string folder = MakeTempFolder("wine-check");
    std::vector<std::string> all = {"--install=" + folder + "/game", "--appdata=" + appData};
    all.insert(all.end(), options.begin(), options.end());
    EXPECT_EQ(MakeSampleInstallation(all), 0);
    std::string report = folder + "/report.jsonl";
    Run run;
    run.driverCode = RunUnderWine({BIN + "/wine_driver.exe", "--report", WindowsPath(report),
                                   "--answers", answers, "--", UPDATER_WINDOWS_EXE},
                                  folder + "/wine.log");
    run.report = ReadLines(report);
    return run;
  }

  std::string appData;
  std::string settings;
};

std::string BoxText(const std::string& line) {
  size_t at = line.find("\"text\":");
  size_t end = line.find(",\"style\"");
  return at == std::string::npos || end == std::string::npos ? "" : line.substr(at + 7, end - at - 7);
}

TEST_F(UpdaterUnderWine, RefusesADamagedInstallationWithExitTwo) {
  char damaged[2048];
  JsonStringFromCp932(MSG_INSTALL_DAMAGED, damaged, sizeof damaged);
  for (const char* damage : {"--damage-exe", "--damage-module-outside-window",
                             "--damage-module-inside-window"}) {
    SCOPED_TRACE(damage);
    Run run = Drive({damage}, "ok");
    EXPECT_EQ(run.driverCode, 0);
    ASSERT_EQ(run.report.size(), 2u);
    EXPECT_EQ(BoxText(run.report[0]), damaged);
    EXPECT_EQ(run.report[1], "{\"event\":\"exit\",\"code\":2}");
  }
}

TEST_F(UpdaterUnderWine, LetsAnIntactInstallationThrough) {
  char confirm[2048];
  char text[2048];
  snprintf(text, sizeof text, MSG_CONFIRM_START, Package.productTitle);
  JsonStringFromCp932(text, confirm, sizeof confirm);
  for (const char* kind : {"--seed=1", "--pe64"}) {
    SCOPED_TRACE(kind);
    Run run = Drive({kind}, "cancel");
    EXPECT_EQ(run.driverCode, 0);
    ASSERT_EQ(run.report.size(), 2u);
    EXPECT_EQ(BoxText(run.report[0]), confirm);
    EXPECT_EQ(run.report[1], "{\"event\":\"exit\",\"code\":0}");
  }
}

}  // namespace
