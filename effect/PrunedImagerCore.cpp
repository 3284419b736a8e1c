#include "effect/PrunedImagerCore.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "effect/SharedPartWeighting.h"
#include "spl/block/FourierKernels.h"

namespace {

namespace fourier = spl::fourier;

#if defined(__GNUC__)
#define SPL_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define SPL_ALWAYS_INLINE inline
#endif

// The passes between and before the sub-transforms (the twiddle in and out
// lives in the transform kernels). Each body is compiled twice below:
// once for any processor and once for AVX2 and FMA, so the compiler can
// vectorise the loops for both.

// Real and imaginary parts are weighted apart, as cosine and sine parts.
SPL_ALWAYS_INLINE void weighBody(double* left, double* right, std::size_t count, double center,
                                 double side) {
  for (std::size_t i = 0; i < count; ++i) weighSharedPart(left[i], right[i], center, side);
}

// twiddle[h * lowCount + l] = high[h] * low[l] (complex).
SPL_ALWAYS_INLINE void outerProductBody(double* twiddle, const double* high, std::size_t highCount,
                                        const double* low, std::size_t lowCount) {
  for (std::size_t h = 0; h < highCount; ++h) {
    const double hr = high[2 * h], hi = high[2 * h + 1];
    double* row = twiddle + 2 * h * lowCount;
    for (std::size_t l = 0; l < lowCount; ++l) {
      row[2 * l] = hr * low[2 * l] - hi * low[2 * l + 1];
      row[2 * l + 1] = hr * low[2 * l + 1] + hi * low[2 * l];
    }
  }
}

#define SPL_DEFINE_PASSES(ATTRIBUTE)                                                      \
  ATTRIBUTE void weigh(double* left, double* right, std::size_t count, double center,     \
                       double side) {                                                     \
    weighBody(left, right, count, center, side);                                          \
  }                                                                                       \
  ATTRIBUTE void outerProduct(double* twiddle, const double* high, std::size_t highCount, \
                              const double* low, std::size_t lowCount) {                  \
    outerProductBody(twiddle, high, highCount, low, lowCount);                            \
  }

namespace portable {
SPL_DEFINE_PASSES()
}  // namespace portable

#if defined(__x86_64__) && defined(__GNUC__)
namespace vector {
SPL_DEFINE_PASSES(__attribute__((target("avx2,fma"))))
}  // namespace vector
#else
namespace vector = portable;
#endif

struct Passes {
  void (*weigh)(double*, double*, std::size_t, double, double);
  void (*outerProduct)(double*, const double*, std::size_t, const double*, std::size_t);
};

const Passes kPortablePasses{portable::weigh, portable::outerProduct};
const Passes kVectorPasses{vector::weigh, vector::outerProduct};

// The AVX2 passes go with the kernel sets that have AVX2; the others take the
// passes compiled for any processor of the family.
const Passes& passesFor(fourier::KernelSet kernels) {
  return kernels == fourier::KernelSet::vector || kernels == fourier::KernelSet::wide
             ? kVectorPasses
             : kPortablePasses;
}

constexpr std::size_t kLineDoubles = 8;

// The first element of the vector that starts a cache line; the vector holds
// kLineDoubles spare elements for the shift.
double* lineAligned(std::vector<double>& v) {
  const auto address = reinterpret_cast<std::uintptr_t>(v.data());
  const std::size_t shift = ((64 - address % 64) % 64) / sizeof(double);
  return v.data() + shift;
}

// The angles of the twiddle tables are computed in long double.
constexpr long double kTwoPi = 6.283185307179586476925286766559005768L;

// cos and -sin of 2 pi a / period, computed in long double, as (re, im).
void fillCircle(double* out, std::size_t count, std::size_t stride, std::size_t period) {
  for (std::size_t i = 0; i < count; ++i) {
    const long double angle =
        kTwoPi * static_cast<long double>(i * stride) / static_cast<long double>(period);
    out[2 * i] = static_cast<double>(std::cos(angle));
    out[2 * i + 1] = static_cast<double>(-std::sin(angle));
  }
}

}  // namespace

PrunedImagerCore::PrunedImagerCore()
    : _kernels(fourier::availableKernelSet(fourier::KernelSet::wide)) {}

bool PrunedImagerCore::setVectorKernels(bool enabled) {
  return setKernelSet(enabled ? fourier::KernelSet::wide : fourier::KernelSet::portable) !=
         fourier::KernelSet::portable;
}

fourier::KernelSet PrunedImagerCore::setKernelSet(fourier::KernelSet wanted) {
  _kernels = fourier::availableKernelSet(wanted);
  return _kernels;
}

void PrunedImagerCore::prepare(unsigned blockLength, unsigned maxQuality) {
  unsigned bits = 0;
  while ((std::size_t(1) << bits) < blockLength) ++bits;
  const std::size_t n = blockLength;
  const unsigned totalBits = bits + maxQuality;

  std::vector<double> stageTables(fourier::stageTablesSize(n));
  auto stageRoot = [&](std::size_t K, double& c, double& s) {
    const long double angle =
        kTwoPi * static_cast<long double>(K) / static_cast<long double>(2 * n);
    c = static_cast<double>(std::cos(angle));
    s = static_cast<double>(std::sin(angle));
  };
  fourier::fillStageTables(n, stageTables.data(), stageRoot);
  std::vector<double> wideStageTables;
  if (fourier::processorHasWideUnits()) {
    wideStageTables.resize(stageTables.size() + kLineDoubles);
    fourier::fillWideStageTables(n, lineAligned(wideStageTables), stageRoot);
  }
  std::vector<int> tileReverse(fourier::kTile);
  for (std::size_t i = 0; i < fourier::kTile; ++i) {
    tileReverse[i] = static_cast<int>(fourier::reverseBits(i, fourier::kTileBits));
  }
  const unsigned fineBits = (totalBits + 1) / 2;
  const std::size_t period = std::size_t(1) << totalBits;
  std::vector<double> fine(2 * (std::size_t(1) << fineBits));
  std::vector<double> coarse(2 * (std::size_t(1) << (totalBits - fineBits)));
  fillCircle(fine.data(), fine.size() / 2, 1, period);
  fillCircle(coarse.data(), coarse.size() / 2, std::size_t(1) << fineBits, period);

  // Everything is made before anything is replaced, so a failed allocation
  // leaves the core as it was.
  // The buffers the kernels stream through start on a cache line (64 bytes,
  // 8 doubles): vector loads then never straddle two lines.
  std::vector<double> stageTablesAligned(stageTables.size() + kLineDoubles);
  std::vector<double> twiddle(2 * n + kLineDoubles), high(2 * n), low(2 * n);
  std::vector<double> leftSpectrum(2 * n + kLineDoubles), rightSpectrum(2 * n + kLineDoubles);
  std::vector<double> leftSum(n + kLineDoubles), rightSum(n + kLineDoubles);
  std::copy(stageTables.begin(), stageTables.end(), lineAligned(stageTablesAligned));
  stageTables.swap(stageTablesAligned);
  _stageTables.swap(stageTables);
  _wideStageTables.swap(wideStageTables);
  _tileReverse.swap(tileReverse);
  _fine.swap(fine);
  _coarse.swap(coarse);
  _twiddle.swap(twiddle);
  _high.swap(high);
  _low.swap(low);
  _leftSpectrum.swap(leftSpectrum);
  _rightSpectrum.swap(rightSpectrum);
  _leftSum.swap(leftSum);
  _rightSum.swap(rightSum);
  _fineBits = fineBits;
  _blockBits = bits;
  _blockLength = blockLength;
  _maxQuality = maxQuality;
}

void PrunedImagerCore::buildTwiddle(unsigned k1, unsigned quality) {
  const Passes& passes = passesFor(_kernels);
  const unsigned lowBits = _blockBits / 2;
  const unsigned highBits = _blockBits - lowBits;
  const std::size_t highCount = std::size_t(1) << highBits;
  const std::size_t lowCount = std::size_t(1) << lowBits;
  // Angles in steps of 2 pi / Nmax: one step of the frame at this quality is
  // 2^(maxQuality - quality) of them.
  const std::uint64_t step = std::uint64_t(k1) << (_maxQuality - quality);
  const std::uint64_t mask = (std::uint64_t(1) << (_blockBits + _maxQuality)) - 1;
  const std::uint64_t fineMask = (std::uint64_t(1) << _fineBits) - 1;
  auto root = [&](std::int64_t offset, double* out) {
    // A negative offset wraps around the circle (unsigned arithmetic is modular).
    const std::uint64_t a = (static_cast<std::uint64_t>(offset) * step) & mask;
    const double* c = &_coarse[2 * (a >> _fineBits)];
    const double* f = &_fine[2 * (a & fineMask)];
    out[0] = c[0] * f[0] - c[1] * f[1];
    out[1] = c[0] * f[1] + c[1] * f[0];
  };
  // Position m = h * lowCount + l of the half-swapped block is frame offset
  // m from the middle, or m - n for the upper half (h >= highCount / 2).
  for (std::size_t h = 0; h < highCount; ++h) {
    const std::int64_t offset =
        h < highCount / 2 ? std::int64_t(h) : std::int64_t(h) - std::int64_t(highCount);
    root(offset * std::int64_t(lowCount), &_high[2 * h]);
  }
  for (std::size_t l = 0; l < lowCount; ++l) root(std::int64_t(l), &_low[2 * l]);
  passes.outerProduct(lineAligned(_twiddle), _high.data(), highCount, _low.data(), lowCount);
}

void PrunedImagerCore::process(double* left, double* right, unsigned quality, double center,
                               double side) {
  const Passes& passes = passesFor(_kernels);
  const std::size_t n = _blockLength;
  const std::size_t half = n / 2;
  const std::size_t subSpectra = std::size_t(1) << quality;  // M
  const int* tiles = _tileReverse.data();
  double* const l = lineAligned(_leftSpectrum);
  double* const r = lineAligned(_rightSpectrum);
  double* const leftSum = lineAligned(_leftSum);
  double* const rightSum = lineAligned(_rightSum);
  std::fill(leftSum, leftSum + n, 0.0);
  std::fill(rightSum, rightSum + n, 0.0);
  // The wide kernels take blocks of a power of 4 from 64 frames up, on their
  // own stage tables; other blocks take the AVX2 kernels.
  fourier::KernelSet kernels = _kernels;
  if (kernels == fourier::KernelSet::wide &&
      (_wideStageTables.empty() || n < 64 || _blockBits % 2 != 0)) {
    kernels = fourier::KernelSet::vector;
  }
  const double* stages =
      fourier::stageLanes(kernels) == 8 ? lineAligned(_wideStageTables) : lineAligned(_stageTables);
  for (std::size_t k1 = 0; k1 <= subSpectra / 2; ++k1) {
    // Sub-spectra 0 and M/2 are their own conjugate partners; the others
    // stand for themselves and for M - k1.
    const double weight = (k1 == 0 || 2 * k1 == subSpectra) ? 1.0 : 2.0;
    buildTwiddle(static_cast<unsigned>(k1), quality);
    const double* twiddle = lineAligned(_twiddle);
    fourier::rotatedRealTransform(-1, left, twiddle, l, n, stages, kernels);
    fourier::rotatedRealTransform(-1, right, twiddle, r, n, stages, kernels);
    // The spectra are in bit-reversed order, the same for both channels.
    // Bins 0 and N/2 of the frame (sub-spectrum 0, bins 0 and n/2, at
    // positions 0 and 1 of that order) stay as they are.
    const std::size_t skip = k1 == 0 ? 4 : 0;
    passes.weigh(l + skip, r + skip, 2 * n - skip, center, side);
    fourier::transformFromReversedAndAccumulate(1, l, n, stages, tiles, twiddle, weight, leftSum,
                                                kernels);
    fourier::transformFromReversedAndAccumulate(1, r, n, stages, tiles, twiddle, weight, rightSum,
                                                kernels);
  }
  // The transform pair's scaling, sqrt(2/N) twice, and the half of the real
  // inverse: 1/N, a power of two, so the scaling is exact.
  const double scale = 1.0 / static_cast<double>(n << quality);
  for (std::size_t j = 0; j < half; ++j) {
    left[j] = leftSum[j + half] * scale;
    right[j] = rightSum[j + half] * scale;
    left[j + half] = leftSum[j] * scale;
    right[j + half] = rightSum[j] * scale;
  }
}
