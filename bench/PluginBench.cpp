// Brisendel as a host runs it: the module loaded with dlopen, 512-frame blocks
// at 44100 Hz (11.6 ms each), the double path, one thread. Per Quality:
//   hop_ms     steady time per hop of 2048 frames (all calls of a steady run,
//              divided by the hops they completed)
//   worst_ms   the slowest single call, steady and while Quality and Window change
//   first_ms   the slowest first hop after a change of Quality or Window
//   realtime   audio time processed / time taken, steady
//   allocs     heap allocations made by the calls after the first one
//   rss_MB     resident memory with the instance alive; hwm_MB the process's peak
// Another build of the module can be measured with BRISENDEL_PLUGIN=path. Peak
// memory is per process: run one Quality per process for it, e.g.
//   spl_bench --benchmark_filter='PluginHost/9$'
// Timings on a shared machine are noisy: repeat and take the minimum.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/support/AllocationCounter.h"
#include "tools/PluginHost.h"

namespace {

constexpr int kBlock = 512;
constexpr int kHop = 2048;
constexpr double kRate = 44100.0;
constexpr int kQualityParameter = 3;
constexpr int kWindowParameter = 4;

double megabytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + key.size()) / 1024.0;
  }
  return 0.0;
}

float qualityValue(int quality) { return static_cast<float>((quality - 0.5) / 9.0); }

struct Stream {
  explicit Stream(int frames) : left(frames), right(frames), outLeft(kBlock), outRight(kBlock) {
    std::mt19937 generator(1);
    std::uniform_real_distribution<double> uniform(-0.5, 0.5);
    for (int i = 0; i < frames; ++i) {
      left[i] = uniform(generator);
      right[i] = 0.6 * left[i] + uniform(generator);
    }
  }
  std::vector<double> left, right, outLeft, outRight;
  long position = 0;  // frames written so far
};

// Processes one block; returns its time in ms and whether it completed a hop.
double processBlock(brisendel::PluginHost& host, Stream& s, bool& hop) {
  const long at = s.position % static_cast<long>(s.left.size() - kBlock);
  const double* in[2] = {s.left.data() + at, s.right.data() + at};
  double* out[2] = {s.outLeft.data(), s.outRight.data()};
  const auto start = std::chrono::steady_clock::now();
  host.process(in, out, kBlock);
  const auto stop = std::chrono::steady_clock::now();
  hop = (s.position + kBlock) / kHop > s.position / kHop;
  s.position += kBlock;
  return std::chrono::duration<double, std::milli>(stop - start).count();
}

void PluginHost(benchmark::State& state) {
  const int quality = static_cast<int>(state.range(0));
  const char* path = std::getenv("BRISENDEL_PLUGIN");
  brisendel::PluginHost host;
  host.load(path != nullptr ? path : BRISENDEL_MODULE);
  host.start(kRate, kBlock);
  Stream stream(1 << 16);
  bool hop = false;
  double steadyMs = 0.0, worstMs = 0.0, firstMs = 0.0;
  long steadyFrames = 0, hops = 0;
  long allocationsAfterFirst = 0;
  for (auto _ : state) {
    host.setParameter(kQualityParameter, qualityValue(quality));
    processBlock(host, stream, hop);
    const long before = spl_test::allocations.load();
    // Settle, then a steady run of at least 16 hops.
    for (int i = 0; i < 8; ++i) processBlock(host, stream, hop);
    const int steadyBlocks = quality >= 7 ? 64 : 256;
    for (int i = 0; i < steadyBlocks; ++i) {
      const double ms = processBlock(host, stream, hop);
      steadyMs += ms;
      worstMs = std::max(worstMs, ms);
      steadyFrames += kBlock;
      hops += hop ? 1 : 0;
    }
    // Changes during playback: away to a neighbouring Quality for one hop,
    // back with the other Window; the first hop after each change is timed.
    const int other = quality == 1 ? 2 : quality - 1;
    for (int change = 0; change < 8; ++change) {
      host.setParameter(kWindowParameter, change % 2 == 0 ? 0.25f : 0.75f);
      host.setParameter(kQualityParameter, qualityValue(change % 2 == 0 ? other : quality));
      bool timed = false;
      for (int i = 0; i < 8; ++i) {
        const double ms = processBlock(host, stream, hop);
        worstMs = std::max(worstMs, ms);
        if (hop && !timed) {
          if (change % 2 == 1) firstMs = std::max(firstMs, ms);
          timed = true;
        }
      }
    }
    allocationsAfterFirst = spl_test::allocations.load() - before;
  }
  state.counters["hop_ms"] = steadyMs / static_cast<double>(std::max(hops, 1L));
  state.counters["worst_ms"] = worstMs;
  state.counters["first_ms"] = firstMs;
  state.counters["realtime"] = steadyFrames / kRate / (steadyMs / 1000.0);
  state.counters["allocs"] = static_cast<double>(allocationsAfterFirst);
  state.counters["rss_MB"] = megabytes("VmRSS");
  state.counters["hwm_MB"] = megabytes("VmHWM");
}
BENCHMARK(PluginHost)->DenseRange(1, 9)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
