// The setup list merge through the index of the installed text against the
// same merge with a plain search of the installed text for every entry, on
// the same lists in the same run, at three sizes that double each time.
// Half the package entries are already installed. After the benchmarks a
// table gives, per size, plain / indexed and how each grew from the size
// before; the whole merge with its file reads and write is measured too.
//
//   merge_speed [benchmark options]
#include "app/update_state.h"
#include "platform/host/host_paths.h"
#include "setuplist/installed_text_index.h"
#include "setuplist/merged_list.h"
#include "setuplist/setup_list_merge.h"

#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

struct Size {
  uint32_t entries;
  uint32_t installedBytes;
};
const Size Sizes[] = {{2500, 256u << 10}, {5000, 512u << 10}, {10000, 1u << 20}};
const int SIZE_COUNT = 3;

enum Kind { INDEXED, PLAIN, WHOLE, KIND_COUNT };
// Processor seconds per merge in the last run of each benchmark: the
// machine may be shared, and the merge runs on one thread.
double Seconds[KIND_COUNT][SIZE_COUNT];

struct Lists {
  std::string package;
  std::string installed;
};

std::string EntryLine(std::mt19937& random, const char* lineBreak) {
  char line[64];
  snprintf(line, sizeof line, "data\\%08X\\%06u.bin;%s", (unsigned)random(),
           (unsigned)(random() % 1000000), lineBreak);
  return line;
}

Lists MakeLists(const Size& size) {
  std::mt19937 random(size.entries);
  Lists lists;
  std::vector<std::string> installedLines;
  while (lists.installed.size() < size.installedBytes) {
    installedLines.push_back(EntryLine(random, "\r\n"));
    lists.installed += installedLines.back();
  }
  for (uint32_t i = 0; i < size.entries; ++i) {
    lists.package += i % 2 ? installedLines[random() % installedLines.size()]
                           : EntryLine(random, "\r\n");
  }
  return lists;
}

uint64_t Compose(const Lists& lists, const InstalledTextIndex* index, std::string* out) {
  return ComposeMergedList(lists.package.c_str(), (uint32_t)lists.package.size(),
                           lists.installed.c_str(), (uint32_t)lists.installed.size(), index,
                           &(*out)[0], out->size());
}

void Record(benchmark::State& state, Kind kind, int sizeIndex, double seconds) {
  Seconds[kind][sizeIndex] = seconds / (double)state.iterations();
  state.counters["entries"] = Sizes[sizeIndex].entries;
  state.counters["installed_KiB"] = Sizes[sizeIndex].installedBytes >> 10;
}

double Elapsed(std::clock_t start) { return (double)(std::clock() - start) / CLOCKS_PER_SEC; }

// The merged text from the two lists in memory; the indexed merge builds
// its index each time, as the merge does.
void ComposeMerge(benchmark::State& state, Kind kind) {
  int sizeIndex = (int)state.range(0);
  Lists lists = MakeLists(Sizes[sizeIndex]);
  std::string out(lists.package.size() + lists.installed.size(), '\0');
  double seconds = 0;
  for (auto _ : state) {
    std::clock_t start = std::clock();
    InstalledTextIndex index = {};
    if (kind == INDEXED && !BuildInstalledTextIndex(lists.installed.c_str(),
                                                    (uint32_t)lists.installed.size(), &index)) {
      state.SkipWithError("no memory for the index");
      break;
    }
    benchmark::DoNotOptimize(Compose(lists, kind == INDEXED ? &index : nullptr, &out));
    ReleaseInstalledTextIndex(&index);
    seconds += Elapsed(start);
  }
  Record(state, kind, sizeIndex, seconds);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  fwrite(bytes.data(), 1, bytes.size(), file);
  fclose(file);
}

void PointAt(char* field, const std::string& hostPath) {
  char windowsPath[PATH_TEXT_SIZE];
  if (WindowsPathFromHost(hostPath.c_str(), windowsPath, sizeof windowsPath)) {
    snprintf(field, PATH_TEXT_SIZE, "%s", windowsPath);
  }
}

void WholeMerge(benchmark::State& state) {
  int sizeIndex = (int)state.range(0);
  Lists lists = MakeLists(Sizes[sizeIndex]);
  char pattern[] = "/tmp/merge-speed-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  std::string root = pattern;
  mkdir((root + "/data").c_str(), 0755);
  mkdir((root + "/install").c_str(), 0755);
  PointAt(State.packageFolder, root + "/data");
  PointAt(State.installFolder, root + "/install");
  WriteFile(root + "/data/Setup.dat", lists.package);
  double seconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    WriteFile(root + "/install/Setup.dat", lists.installed);
    state.ResumeTiming();
    std::clock_t start = std::clock();
    if (MergeSetupList() != 0) {
      state.SkipWithError("the merge failed");
      break;
    }
    seconds += Elapsed(start);
  }
  Record(state, WHOLE, sizeIndex, seconds);
  std::string command = "rm -rf '" + root + "'";
  if (system(command.c_str()) != 0) fprintf(stderr, "%s failed\n", command.c_str());
}

BENCHMARK_CAPTURE(ComposeMerge, indexed, INDEXED)
    ->DenseRange(0, SIZE_COUNT - 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ComposeMerge, plain, PLAIN)
    ->DenseRange(0, SIZE_COUNT - 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(WholeMerge)->DenseRange(0, SIZE_COUNT - 1)->Unit(benchmark::kMillisecond);

void PrintRatios() {
  printf("\nprocessor milliseconds per merge\n%8s %10s %10s %10s %12s %9s %9s %10s\n", "entries",
         "installed", "indexed", "plain", "whole merge", "plain/idx", "idx grew", "plain grew");
  for (int i = 0; i < SIZE_COUNT; ++i) {
    char indexedGrowth[16] = "-";
    char plainGrowth[16] = "-";
    if (i > 0 && Seconds[INDEXED][i - 1] > 0 && Seconds[PLAIN][i - 1] > 0) {
      snprintf(indexedGrowth, sizeof indexedGrowth, "x%.2f",
               Seconds[INDEXED][i] / Seconds[INDEXED][i - 1]);
      snprintf(plainGrowth, sizeof plainGrowth, "x%.2f", Seconds[PLAIN][i] / Seconds[PLAIN][i - 1]);
    }
    double ratio = Seconds[INDEXED][i] > 0 ? Seconds[PLAIN][i] / Seconds[INDEXED][i] : 0;
    printf("%8u %6u KiB %10.2f %10.2f %12.2f %9.1f %9s %10s\n", Sizes[i].entries,
           Sizes[i].installedBytes >> 10, Seconds[INDEXED][i] * 1e3, Seconds[PLAIN][i] * 1e3,
           Seconds[WHOLE][i] * 1e3, ratio, indexedGrowth, plainGrowth);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintRatios();
  return 0;
}
