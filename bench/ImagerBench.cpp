// Speed of the imaging core at the plug-in's block length. The stream
// processor calls process() once per hop of 2048 frames, so at 44100 Hz one
// call must take less than 2048 / 44100 s; the counter "realtime" is that
// budget divided by the time one call takes (above 1 keeps up).
// The transform pair alone over the whole padded frame is measured alongside:
// what the straightforward computation would spend on its transforms.

#include <benchmark/benchmark.h>

#include <random>

#include "effect/Radi3zur.h"
#include "spl/block/RealDiscreteFourierTransform.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"

namespace {

constexpr unsigned kBlockLength = 4096;
constexpr double kHopSeconds = 2048.0 / 44100.0;

spl::DefaultClip noise(unsigned length) {
  std::mt19937 generator(1);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  // Built as a copy of silence: the sized constructor stops at 2^20 frames,
  // and the padded frame of quality 9 has 2^21.
  spl::DefaultClip clip{spl::ZeroClip(2, length)};
  for (unsigned p = 0; p < length; ++p) {
    for (unsigned c = 0; c < 2; ++c) clip.set(c, p, uniform(generator));
  }
  return clip;
}

void setRealTimeFactor(benchmark::State& state) {
  state.counters["realtime"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kHopSeconds, benchmark::Counter::kIsRate);
}

// One process() of a 2 x 4096 block; the block is refilled with the same
// noise each time (8192 sample copies, negligible) so that repeated windowing
// cannot drive it towards denormals.
void BM_Radi3zurProcess(benchmark::State& state) {
  const unsigned quality = static_cast<unsigned>(state.range(0));
  const spl::DefaultClip input = noise(kBlockLength);
  spl::DefaultClip block(input);
  Radi3zur imager;
  const auto wanted = static_cast<spl::fourier::KernelSet>(state.range(1));
  if (imager.setKernelSet(wanted) != wanted) {
    state.SkipWithError("kernel set not available on this processor");
    return;
  }
  state.SetLabel(spl::fourier::kernelSetName(wanted));
  imager.prepare(kBlockLength);
  imager.setQuality(quality);
  imager.setCenter(0.8);
  imager.setSide(1.3);
  for (auto _ : state) {
    block.assign(input);
    imager.process(block);
    benchmark::DoNotOptimize(block.channelData(0));
  }
  setRealTimeFactor(state);
}
// Second argument, the kernel set: 0 portable, 1 narrow (SSE2 or NEON), 2 vector
// (AVX2), 3 wide (AVX-512F); the label names the instruction set.
BENCHMARK(BM_Radi3zurProcess)
    ->ArgsProduct({benchmark::CreateDenseRange(1, 9, 1), {3, 2, 1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Forward and inverse transform of the two-channel padded frame (4096 x 2^quality).
void BM_Radi3zurTransformPair(benchmark::State& state) {
  const unsigned quality = static_cast<unsigned>(state.range(0));
  spl::DefaultClip frame = noise(kBlockLength << quality);
  spl::RealDiscreteFourierTransform forward(1);
  spl::RealDiscreteFourierTransform inverse(-1);
  forward.process(frame);
  inverse.process(frame);
  for (auto _ : state) {
    forward.process(frame);
    inverse.process(frame);
    benchmark::DoNotOptimize(frame.channelData(0));
  }
  setRealTimeFactor(state);
}
BENCHMARK(BM_Radi3zurTransformPair)->DenseRange(1, 9)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
