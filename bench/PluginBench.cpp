// Brisendel as a host runs it: the module loaded with dlopen, 512-frame blocks
// at 44100 Hz (11.6 ms each), the double path, one thread. Per Quality:
//   hop_ms     steady time per hop of 2048 frames (all calls of a steady run,
//              divided by the hops they completed)
//   worst_ms   the slowest single call, steady and while Quality and Window change
//   first_ms   the slowest call after a change of Quality or Window, up to and
//              including the first hop at the new setting
//   realtime   audio time processed / time taken, steady
//   allocs     heap allocations made by the calls after the first one
//   rss_MB     resident memory with the instance alive; hwm_MB the process's peak
// Each figure comes twice: wall-clock time, and (suffix _cpu) the calling
// thread's processor time, which leaves out the time the thread waited for a
// core that other programs held; on a busy machine the latter is the better
// guess of what an idle core would take.
// Another build of the module can be measured with BRISENDEL_PLUGIN=path. Peak
// memory is per process: run one Quality per process for it, e.g.
//   spl_bench --benchmark_filter='PluginHost/9$'
// Timings on a shared machine are noisy: repeat and take the minimum.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "formats/vst2/VSTPlugin.h"
#include "host/PluginHost.h"
#include "tests/support/AllocationCounter.h"

namespace {

constexpr int kBlock = 512;
constexpr int kHop = VSTPlugin::WINDOW_LENGTH / 2;
constexpr double kRate = 44100.0;

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
  // Noise of about `level` (1: full scale).
  explicit Stream(int frames, double level = 1.0)
      : left(frames), right(frames), outLeft(kBlock), outRight(kBlock) {
    std::mt19937 generator(1);
    std::uniform_real_distribution<double> uniform(-0.5, 0.5);
    for (int i = 0; i < frames; ++i) {
      left[i] = level * uniform(generator);
      right[i] = 0.6 * left[i] + level * uniform(generator);
    }
  }
  std::vector<double> left, right, outLeft, outRight;
  long position = 0;  // frames written so far
};

double threadMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec * 1e-6;
}

// Wall-clock and processor time of calls, in ms.
struct Times {
  double wall = 0.0;
  double cpu = 0.0;
  void add(const Times& t) {
    wall += t.wall;
    cpu += t.cpu;
  }
  void max(const Times& t) {
    wall = std::max(wall, t.wall);
    cpu = std::max(cpu, t.cpu);
  }
};

// Processes one block; returns its times and whether it completed a hop.
Times processBlock(brisendel::PluginHost& host, Stream& s, bool& hop) {
  const long at = s.position % static_cast<long>(s.left.size() - kBlock);
  const double* in[2] = {s.left.data() + at, s.right.data() + at};
  double* out[2] = {s.outLeft.data(), s.outRight.data()};
  const double cpuStart = threadMs();
  const auto start = std::chrono::steady_clock::now();
  host.process(in, out, kBlock);
  const auto stop = std::chrono::steady_clock::now();
  const double cpuStop = threadMs();
  hop = (s.position + kBlock) / kHop > s.position / kHop;
  s.position += kBlock;
  return {std::chrono::duration<double, std::milli>(stop - start).count(), cpuStop - cpuStart};
}

void PluginHost(benchmark::State& state) {
  const int quality = static_cast<int>(state.range(0));
  const char* path = std::getenv("BRISENDEL_PLUGIN");
  brisendel::PluginHost host;
  host.load(path != nullptr ? path : BRISENDEL_MODULE);
  host.start(kRate, kBlock);
  Stream stream(1 << 16);
  bool hop = false;
  Times steady, worst, first;
  long steadyFrames = 0, hops = 0;
  long allocationsAfterFirst = 0;
  for (auto _ : state) {
    host.setParameter(VSTPlugin::kQuality, qualityValue(quality));
    processBlock(host, stream, hop);
    const long before = spl_test::allocations.load();
    // Settle, then a steady run of at least 16 hops.
    for (int i = 0; i < 8; ++i) processBlock(host, stream, hop);
    const int steadyBlocks = quality >= 7 ? 64 : 256;
    for (int i = 0; i < steadyBlocks; ++i) {
      const Times t = processBlock(host, stream, hop);
      steady.add(t);
      worst.max(t);
      steadyFrames += kBlock;
      hops += hop ? 1 : 0;
    }
    // Changes during playback: away to a neighbouring Quality for one hop,
    // back with the other Window; the first hop after each change is timed.
    const int other = quality == 1 ? 2 : quality - 1;
    for (int change = 0; change < 8; ++change) {
      host.setParameter(VSTPlugin::kWindow, change % 2 == 0 ? 0.25f : 0.75f);
      host.setParameter(VSTPlugin::kQuality, qualityValue(change % 2 == 0 ? other : quality));
      bool hopped = false;
      for (int i = 0; i < 8; ++i) {
        const Times t = processBlock(host, stream, hop);
        worst.max(t);
        if (!hopped && change % 2 == 1) first.max(t);
        hopped = hopped || hop;
      }
    }
    allocationsAfterFirst = spl_test::allocations.load() - before;
  }
  const double hopCount = static_cast<double>(std::max(hops, 1L));
  state.counters["hop_ms"] = steady.wall / hopCount;
  state.counters["hop_cpu_ms"] = steady.cpu / hopCount;
  state.counters["worst_ms"] = worst.wall;
  state.counters["worst_cpu_ms"] = worst.cpu;
  state.counters["first_ms"] = first.wall;
  state.counters["first_cpu_ms"] = first.cpu;
  state.counters["realtime"] = steadyFrames / kRate / (steady.wall / 1000.0);
  state.counters["realtime_cpu"] = steadyFrames / kRate / (steady.cpu / 1000.0);
  state.counters["allocs"] = static_cast<double>(allocationsAfterFirst);
  state.counters["rss_MB"] = megabytes("VmRSS");
  state.counters["hwm_MB"] = megabytes("VmHWM");
}
BENCHMARK(PluginHost)->DenseRange(1, 9)->Iterations(1)->Unit(benchmark::kMillisecond);

// Tiny signals, as a host hands over the decaying tail of another effect: the
// worst and the mean call at Quality 9 for noise at full scale, at 1e-305
// (its products fall below the smallest normal number) and at 1e-310 (denormal
// already). The three instances take turns block by block, so that whatever
// else the machine does hits all three alike. Counters: worst_ms_<input>,
// mean_ms_<input> (wall clock) and their _cpu twins, and worst_ratio_<input>,
// the worst call against the worst call with normal input (CPU time).
void PluginDenormals(benchmark::State& state) {
  const char* path = std::getenv("BRISENDEL_PLUGIN");
  const char* names[] = {"normal", "1e-305", "1e-310"};
  const double levels[] = {1.0, 1e-305, 1e-310};
  constexpr int kInputs = 3;
  std::vector<std::unique_ptr<brisendel::PluginHost>> hosts;
  std::vector<Stream> streams;
  for (int k = 0; k < kInputs; ++k) {
    hosts.push_back(std::make_unique<brisendel::PluginHost>());
    hosts[k]->load(path != nullptr ? path : BRISENDEL_MODULE);
    hosts[k]->start(kRate, kBlock);
    hosts[k]->setParameter(VSTPlugin::kQuality, qualityValue(9));
    streams.emplace_back(1 << 16, levels[k]);
  }
  bool hop = false;
  Times worst[kInputs], total[kInputs];
  long blocks = 0;
  for (auto _ : state) {
    for (int i = 0; i < 8; ++i) {
      for (int k = 0; k < kInputs; ++k) processBlock(*hosts[k], streams[k], hop);
    }
    for (int i = 0; i < 128; ++i) {
      for (int k = 0; k < kInputs; ++k) {
        const Times t = processBlock(*hosts[k], streams[k], hop);
        worst[k].max(t);
        total[k].add(t);
      }
      ++blocks;
    }
  }
  for (int k = 0; k < kInputs; ++k) {
    const std::string name = names[k];
    state.counters["worst_ms_" + name] = worst[k].wall;
    state.counters["worst_cpu_ms_" + name] = worst[k].cpu;
    state.counters["mean_ms_" + name] = total[k].wall / blocks;
    state.counters["mean_cpu_ms_" + name] = total[k].cpu / blocks;
    state.counters["worst_ratio_" + name] = worst[k].cpu / worst[0].cpu;
  }
}
BENCHMARK(PluginDenormals)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
