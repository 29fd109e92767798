// The checksum walk on a 256 MiB buffer beside memcpy of the same buffer
// and beside the literal byte-at-a-time walk, in one run. After the
// benchmarks a line gives each walk's bytes per second as a share of
// memcpy's.
//
//   checksum_speed [benchmark options]
#include "integrity/sum_xor_checksum.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const uint32_t BUFFER_BYTES = 256u << 20;

uint8_t* Source;
uint8_t* Target;

enum { MEMCPY, FAST, LITERAL, KINDS };
double BytesPerSecond[KINDS];

void Record(benchmark::State& state, int kind, double seconds) {
  double bytes = (double)BUFFER_BYTES * (double)state.iterations();
  state.SetBytesProcessed((int64_t)bytes);
  BytesPerSecond[kind] = seconds > 0 ? bytes / seconds : 0;
}

void Memcpy(benchmark::State& state) {
  auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    memcpy(Target, Source, BUFFER_BYTES);
    benchmark::ClobberMemory();
  }
  Record(state, MEMCPY, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

void Walk(benchmark::State& state, int kind) {
  const uint32_t excluded = 0x2C4;
  auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    SumXorChecksum sum = kind == FAST ? ComputeSumXor(Source, BUFFER_BYTES, &excluded)
                                      : ComputeSumXorByteAtATime(Source, BUFFER_BYTES, &excluded);
    benchmark::DoNotOptimize(sum);
  }
  Record(state, kind, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

void Fast(benchmark::State& state) { Walk(state, FAST); }
void Literal(benchmark::State& state) { Walk(state, LITERAL); }

BENCHMARK(Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(Fast)->Unit(benchmark::kMillisecond);
BENCHMARK(Literal)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  Source = (uint8_t*)malloc(BUFFER_BYTES);
  Target = (uint8_t*)malloc(BUFFER_BYTES);
  int status = 1;
  if (Source != nullptr && Target != nullptr) {
    srand(1);
    for (uint32_t i = 0; i < BUFFER_BYTES; ++i) Source[i] = (uint8_t)rand();
    memset(Target, 0, BUFFER_BYTES);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (BytesPerSecond[MEMCPY] > 0) {
      printf("ComputeSumXor / memcpy: %.2f   byte-at-a-time / memcpy: %.2f   "
             "ComputeSumXor / byte-at-a-time: %.2f\n",
             BytesPerSecond[FAST] / BytesPerSecond[MEMCPY],
             BytesPerSecond[LITERAL] / BytesPerSecond[MEMCPY],
             BytesPerSecond[LITERAL] > 0 ? BytesPerSecond[FAST] / BytesPerSecond[LITERAL] : 0);
    }
    status = 0;
  }
  free(Source);
  free(Target);
  return status;
}
