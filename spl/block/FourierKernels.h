#pragma once

#include <cstddef>

// The kernels behind the library's Fourier-type transforms: radix-4 complex
// transforms, the bit-reversal permutation and the passes that turn a complex
// transform of n/2 points into a real one of n. Portable versions live in
// FourierKernels.cpp, the vector versions in FourierKernelsSimd.cpp, one
// source compiled once per instruction set; callers pick one set per call, so
// two transforms in one process may use different sets. None of them allocates.
//
// Complex transforms of m points are held as interleaved (re, im) pairs.
// Sign S = +1 computes Z[k] = sum_j z[j] e^(+2 pi i j k / m), S = -1 the same
// with e^(-...). Radix-4 decimation-in-frequency stages leave the spectrum in
// bit-reversed order; bitReverse() restores natural order.
//
// Stage tables (stageTablesSize(m) doubles): one per radix-4 stage of length
// L = m, m/4, ... down to 16, each L doubles, the largest first: per group of
// four butterflies j = 4g + kLane[i] (i = 0..3) the values cos w1, sin w1,
// cos w3, sin w3, four of each, where w1 = 2 pi j / L and w3 = 3 w1. The lane
// order is the order in which two vectors of two complex values come apart
// into real and imaginary parts, so vector code loads the factors as they lie.
//
// Real-split table: per group of four bins k = 4g + kLane[i], four cos and four
// sin of 2 pi k / n, for k < m/2 (a table of fewer than four bins still spans
// one group).
namespace spl::fourier {

inline constexpr std::size_t kLane[4] = {0, 2, 1, 3};

// Large permutations move square tiles of 2^kTileBits by 2^kTileBits points;
// the caller keeps the bit reversal of the kTile tile indices.
inline constexpr unsigned kTileBits = 4;
inline constexpr std::size_t kTile = std::size_t(1) << kTileBits;

std::size_t stageTablesSize(std::size_t m);

// Fills the stage tables of complex transforms of m points (a power of two).
// root(K, c, s) must give cos and sin of 2 pi K / (2 m), for K below 3m/2.
template <typename Root>
void fillStageTables(std::size_t m, double* t, Root&& root) {
  for (std::size_t L = m; L >= 16; t += L, L >>= 2) {
    const std::size_t step = m / L;
    for (std::size_t g = 0; g < L / 4; g += 4) {
      for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t j = g + kLane[i];
        root(2 * j * step, t[4 * g + i], t[4 * g + 4 + i]);
        root(6 * j * step, t[4 * g + 8 + i], t[4 * g + 12 + i]);
      }
    }
  }
}

inline double splitCos(const double* rs, std::size_t k) { return rs[8 * (k >> 2) + kLane[k & 3]]; }
inline double splitSin(const double* rs, std::size_t k) {
  return rs[8 * (k >> 2) + 4 + kLane[k & 3]];
}

std::size_t reverseBits(std::size_t v, unsigned bits);

// The kernel sets a caller can choose from, narrowest first: portable code;
// 128-bit vectors (SSE2 on x86-64, NEON on 64-bit ARM: every such processor
// has them); 256-bit vectors with FMA (AVX2, x86-64); and 512-bit vectors
// (AVX-512F) for the longer stages where a caller has wide stage tables.
enum class KernelSet { portable, narrow, vector, wide };

// The instruction set behind a kernel set on this build: "portable", "sse2",
// "neon", "avx2" or "avx512f".
const char* kernelSetName(KernelSet set);

// True where a vector kernel set runs (every x86-64 and 64-bit ARM processor).
bool processorHasVectorUnits();
// True where the wide kernels can run (AVX-512F).
bool processorHasWideUnits();
// `wanted`, or the widest set below it that this processor runs.
KernelSet availableKernelSet(KernelSet wanted);

// The lane order of the wide stage tables (see fillWideStageTables).
inline constexpr std::size_t kLane8[8] = {0, 4, 1, 5, 2, 6, 3, 7};

// Stage tables for the wide kernels: the stages of 32 points and more hold
// their factors for groups of eight butterflies j = 8g + kLane8[i] (cos w1,
// sin w1, cos w3, sin w3, eight of each); the stage of 16 points keeps the
// layout of fillStageTables. Same size as those.
template <typename Root>
void fillWideStageTables(std::size_t m, double* t, Root&& root) {
  for (std::size_t L = m; L >= 16; t += L, L >>= 2) {
    const std::size_t step = m / L;
    const std::size_t lanes = L >= 32 ? 8 : 4;
    for (std::size_t g = 0; g < L / 4; g += lanes) {
      for (std::size_t i = 0; i < lanes; ++i) {
        const std::size_t j = g + (lanes == 8 ? kLane8[i] : kLane[i]);
        root(2 * j * step, t[4 * g + i], t[4 * g + lanes + i]);
        root(6 * j * step, t[4 * g + 2 * lanes + i], t[4 * g + 3 * lanes + i]);
      }
    }
  }
}

// The functions below that take `vector` use, where it is true, the fastest
// vector set that reads the stage tables of fillStageTables (vector, else
// narrow) where the processor runs one; the portable kernels otherwise.

// The complex transform of m points at a (m a power of two, at least 2) with
// the stage tables t, left in bit-reversed order.
void complexTransform(int sign, double* a, std::size_t m, const double* t, bool vector);

// The same transform from input in bit-reversed order to output in natural
// order, without a permutation pass where m is a power of 4 (at least 16).
void complexTransformFromReversed(int sign, double* a, std::size_t m, const double* t,
                                  const int* tileReverse, bool vector);

// The complex transform (bit-reversed output, as complexTransform) of
// out[k] = x[(k + m/2) mod m] * factor[k]: a real signal with its halves
// swapped, times complex factors (interleaved). m a power of two, at least 16.
// t holds the stage tables in the layout the set reads (stageLanes); the wide
// set runs only where m is a power of 4 of at least 64, and the caller passes
// it only then.
void rotatedRealTransform(int sign, const double* x, const double* factor, double* out,
                          std::size_t m, const double* t, KernelSet set);

// complexTransformFromReversed on a, then sum[k] += weight * Re(conj(factor[k]) * a[k])
// for every k < m; a is left holding intermediate values. Tables and sets as
// for rotatedRealTransform.
void transformFromReversedAndAccumulate(int sign, double* a, std::size_t m, const double* t,
                                        const int* tileReverse, const double* factor, double weight,
                                        double* sum, KernelSet set);

// The lanes per group of the stage tables that rotatedRealTransform and
// transformFromReversedAndAccumulate read for a set: 8 (fillWideStageTables)
// for the wide set, 4 (fillStageTables) for the others.
std::size_t stageLanes(KernelSet set);

// Puts m = 2^bits complex points into natural order and multiplies them by scale.
void bitReverse(double* a, std::size_t m, double scale, const int* tileReverse);

// Forward: turns the spectrum Z of the n/2 = m interleaved pairs of a real
// signal into its packed real spectrum for bins 1 .. m/2 - 1 and their
// partners, each result multiplied by scale (bins 0, m/2 and the Nyquist term
// are the caller's).
void splitForward(double* a, std::size_t m, const double* rs, double scale, bool vector);
// Inverse: bins 1 .. m/2 - 1 of a packed spectrum back to the spectrum of the
// interleaved pairs.
void splitInverse(double* a, std::size_t m, const double* rs, bool vector);

// One instruction set's vector kernels (FourierKernelsSimd.cpp). Called only
// through the functions above, which check the processor and the sizes.
struct VectorKernels {
  // m at least 16; fillStageTables' layout.
  void (*complexTransform)(int sign, double* a, std::size_t m, const double* t);
  // m a power of 4, at least 16; fillStageTables' layout.
  void (*complexTransformFromReversed)(int sign, double* a, std::size_t m, const double* t);
  // m at least 64 (a power of 4 where stageLanes is 8); the first stage reads
  // x and the factors directly.
  void (*rotatedRealTransform)(int sign, const double* x, const double* factor, double* out,
                               std::size_t m, const double* t);
  // m a power of 4, at least 64; the last stage adds into sum instead of storing.
  void (*transformFromReversedAndAccumulate)(int sign, double* a, std::size_t m, const double* t,
                                             const double* factor, double weight, double* sum);
  // Bins 4 .. m/2 - 1 (m >= 16); fillStageTables' split layout.
  void (*splitForward)(double* a, std::size_t m, const double* rs, double scale);
  void (*splitInverse)(double* a, std::size_t m, const double* rs);
  std::size_t stageLanes;
};

// The kernels of a set other than portable, or nullptr where this build or
// processor lacks it.
const VectorKernels* vectorKernels(KernelSet set);

// The copies of FourierKernelsSimd.cpp; a build holds those of its processor
// family only (sse2, avx2 and avx512 on x86-64, neon on 64-bit ARM).
namespace sse2 {
extern const VectorKernels kKernels;
}
namespace avx2 {
extern const VectorKernels kKernels;
}
namespace avx512 {
extern const VectorKernels kKernels;
}
namespace neon {
extern const VectorKernels kKernels;
}

}  // namespace spl::fourier
