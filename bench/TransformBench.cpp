// Speed of the real Fourier transform pair (forward then inverse, scaling
// included) on one channel, next to FFTW's double r2c + c2r of the same length
// as the yardstick. Run the Release build, e.g.
//   spl_bench --benchmark_filter=Transform --benchmark_min_time=0.2
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <random>

#include "spl/block/RealDiscreteFourierTransform.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"

namespace {

void fillRandom(double* x, unsigned n) {
  std::mt19937 gen(1);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  for (unsigned i = 0; i < n; ++i) x[i] = dist(gen);
}

void runTransformPair(benchmark::State& state, bool vectorKernels) {
  const unsigned n = static_cast<unsigned>(state.range(0));
  // Built from a silent clip: the sized constructor stops at 2^20 frames.
  spl::DefaultClip clip(spl::ZeroClip(1, n));
  fillRandom(clip.channelData(0), n);
  spl::RealDiscreteFourierTransform forward(1), inverse(-1);
  forward.setVectorKernels(vectorKernels);
  inverse.setVectorKernels(vectorKernels);
  forward.process(clip);
  inverse.process(clip);
  for (auto _ : state) {
    forward.process(clip);
    inverse.process(clip);
    benchmark::DoNotOptimize(clip.channelData(0));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void TransformPairSpl(benchmark::State& state) { runTransformPair(state, true); }

// The same with the portable kernels, as on processors without AVX2 and FMA.
void TransformPairSplPortable(benchmark::State& state) { runTransformPair(state, false); }

void TransformPairFftw(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  // Out of place, as FFTW's real transforms prefer: the input stays as it is,
  // so every round transforms the same signal.
  double* signal = fftw_alloc_real(n);
  double* restored = fftw_alloc_real(n);
  fftw_complex* spectrum = fftw_alloc_complex(n / 2 + 1);
  fftw_plan r2c = fftw_plan_dft_r2c_1d(n, signal, spectrum, FFTW_MEASURE);
  fftw_plan c2r = fftw_plan_dft_c2r_1d(n, spectrum, restored, FFTW_MEASURE);
  fillRandom(signal, static_cast<unsigned>(n));
  for (auto _ : state) {
    fftw_execute(r2c);
    fftw_execute(c2r);
    benchmark::DoNotOptimize(restored);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
  fftw_destroy_plan(r2c);
  fftw_destroy_plan(c2r);
  fftw_free(spectrum);
  fftw_free(restored);
  fftw_free(signal);
}

// Registered length by length, each of ours next to FFTW's, so that both see
// the same machine load.
const int registered = [] {
  for (int n = 1 << 13; n <= 1 << 21; n *= 2) {
    benchmark::RegisterBenchmark("TransformPairSpl", TransformPairSpl)
        ->Arg(n)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("TransformPairFftw", TransformPairFftw)
        ->Arg(n)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("TransformPairSplPortable", TransformPairSplPortable)
        ->Arg(n)
        ->Unit(benchmark::kMicrosecond);
  }
  return 0;
}();

}  // namespace
