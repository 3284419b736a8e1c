// The vector kernels of the Fourier transforms, written once against xsimd's
// batches and compiled once per instruction set: spl/CMakeLists.txt builds this
// file with SPL_KERNEL_SET naming the set (sse2, avx2 or avx512 on x86-64, neon
// on 64-bit ARM) and that set's compiler flags. Everything here lives in a
// namespace of that name, so the copies never meet at link time, and
// FourierKernels.cpp calls a copy only where the processor runs its set.
//
// A batch B of W doubles holds W complex points as two batches, real and
// imaginary parts. Zipping two loads of interleaved pairs within each 128-bit
// chunk (the one shuffle every instruction set has) leaves the points in the
// lane order of the stage tables: kLane for four-lane groups, kLane8 for
// eight. A set of two lanes covers a four-lane group with two batches, lanes
// (0, 2) and (1, 3), so every set but the widest reads the same tables.
//
// The tails (the last stages, on blocks of 4 or 8 points) hold one complex
// point per 128-bit chunk, a point of each of W/2 neighbouring blocks.

#include "spl/block/FourierKernels.h"

// GCC 12 reports its own AVX-512 unpack intrinsics as reading an undefined
// vector (the unused pass-through of their masked form); the warning points
// into the intrinsics header, which xsimd includes, so it is silenced there.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#include <xsimd/xsimd.hpp>
#pragma GCC diagnostic pop
#else
#include <xsimd/xsimd.hpp>
#endif

#if !defined(SPL_KERNEL_SET)
#error "SPL_KERNEL_SET names the instruction set this copy of the kernels is built for"
#endif

// The batches of this copy: Narrow for the tables of four lanes and the tails,
// Wide for the longer stages where the set has wider vectors. Their
// architectures are types of this copy's own, so every xsimd function
// instantiated for them is too: where the compiler keeps one out of line (as
// unoptimised builds do), no copy built with other instruction-set flags can
// stand in for it at link time.
#if defined(__aarch64__)
#define SPL_NARROW_ARCH xsimd::neon64
#elif defined(__AVX512F__)
#define SPL_NARROW_ARCH xsimd::fma3<xsimd::avx2>
#define SPL_WIDE_ARCH xsimd::avx512f
#elif defined(__AVX2__) && defined(__FMA__)
#define SPL_NARROW_ARCH xsimd::fma3<xsimd::avx2>
#elif defined(__SSE2__)
#define SPL_NARROW_ARCH xsimd::sse2
#else
#error "no vector instruction set to build the kernels for"
#endif

namespace spl::fourier::SPL_KERNEL_SET {
struct NarrowArch : SPL_NARROW_ARCH {};
#if defined(SPL_WIDE_ARCH)
struct WideArch : SPL_WIDE_ARCH {};
#endif
}  // namespace spl::fourier::SPL_KERNEL_SET

namespace xsimd::types {
XSIMD_DECLARE_SIMD_REGISTER_ALIAS(spl::fourier::SPL_KERNEL_SET::NarrowArch, SPL_NARROW_ARCH);
#if defined(SPL_WIDE_ARCH)
XSIMD_DECLARE_SIMD_REGISTER_ALIAS(spl::fourier::SPL_KERNEL_SET::WideArch, SPL_WIDE_ARCH);
#endif
}  // namespace xsimd::types

namespace spl::fourier::SPL_KERNEL_SET {

namespace {

// ---- The few shuffles, per instruction set ----
//
// xsimd's general swizzles cost several instructions each on AVX and have no
// double-precision form on NEON, so the kernels use these instead, on the
// native registers a batch converts to and from. Not every copy's kernels use
// every one of them (clang warns of the others).

#if defined(__aarch64__)
[[maybe_unused]] inline float64x2_t zipLo(float64x2_t u, float64x2_t v) { return vzip1q_f64(u, v); }
[[maybe_unused]] inline float64x2_t zipHi(float64x2_t u, float64x2_t v) { return vzip2q_f64(u, v); }
[[maybe_unused]] inline float64x2_t swapParts(float64x2_t x) { return vextq_f64(x, x, 1); }
#elif defined(__SSE2__)
[[maybe_unused]] inline __m128d zipLo(__m128d u, __m128d v) { return _mm_unpacklo_pd(u, v); }
[[maybe_unused]] inline __m128d zipHi(__m128d u, __m128d v) { return _mm_unpackhi_pd(u, v); }
[[maybe_unused]] inline __m128d swapParts(__m128d x) { return _mm_shuffle_pd(x, x, 1); }
#endif

#if defined(__AVX2__)
[[maybe_unused]] inline __m256d zipLo(__m256d u, __m256d v) { return _mm256_unpacklo_pd(u, v); }
[[maybe_unused]] inline __m256d zipHi(__m256d u, __m256d v) { return _mm256_unpackhi_pd(u, v); }
[[maybe_unused]] inline __m256d swapParts(__m256d x) { return _mm256_permute_pd(x, 0b0101); }
[[maybe_unused]] inline __m256d reverseChunks(__m256d x) { return _mm256_permute2f128_pd(x, x, 1); }
// [a0, a1], [b0, b1] (128-bit chunks) -> [a0, b0], [a1, b1].
[[maybe_unused]] inline void transposeChunks(__m256d& a, __m256d& b) {
  const __m256d lo = _mm256_permute2f128_pd(a, b, 0x20);
  b = _mm256_permute2f128_pd(a, b, 0x31);
  a = lo;
}
// Four values in natural order to the lane order (0, 2, 1, 3) and back.
[[maybe_unused]] inline __m256d toLaneOrder(__m256d x) {
  return _mm256_permute4x64_pd(x, 0b11011000);
}
[[maybe_unused]] inline __m256d fromLaneOrder(__m256d x) {
  return _mm256_permute4x64_pd(x, 0b11011000);
}
#endif

#if defined(__AVX512F__)
[[maybe_unused]] inline __m512d zipLo(__m512d u, __m512d v) { return _mm512_unpacklo_pd(u, v); }
[[maybe_unused]] inline __m512d zipHi(__m512d u, __m512d v) { return _mm512_unpackhi_pd(u, v); }
[[maybe_unused]] inline __m512d toLaneOrder(__m512d x) {
  return _mm512_permutexvar_pd(_mm512_set_epi64(7, 3, 6, 2, 5, 1, 4, 0), x);
}
[[maybe_unused]] inline __m512d fromLaneOrder(__m512d x) {
  return _mm512_permutexvar_pd(_mm512_set_epi64(7, 5, 3, 1, 6, 4, 2, 0), x);
}
#endif

// A chunk of two lanes is one point: reversing chunks and transposing them
// are nothing to do.
#if defined(__aarch64__)
[[maybe_unused]] inline float64x2_t reverseChunks(float64x2_t x) { return x; }
[[maybe_unused]] inline void transposeChunks(float64x2_t&, float64x2_t&) {}
#elif defined(__SSE2__)
[[maybe_unused]] inline __m128d reverseChunks(__m128d x) { return x; }
[[maybe_unused]] inline void transposeChunks(__m128d&, __m128d&) {}
#endif

// The same on batches.
template <class B>
using Register = typename B::register_type;
template <class B>
inline B zipLo(B u, B v) {
  return B(zipLo(Register<B>(u), Register<B>(v)));
}
template <class B>
inline B zipHi(B u, B v) {
  return B(zipHi(Register<B>(u), Register<B>(v)));
}
template <class B>
inline B swapParts(B x) {
  return B(swapParts(Register<B>(x)));
}
template <class B>
inline B reverseChunks(B x) {
  return B(reverseChunks(Register<B>(x)));
}
template <class B>
inline void transposeChunks(B& a, B& b) {
  Register<B> ra = a, rb = b;
  transposeChunks(ra, rb);
  a = B(ra);
  b = B(rb);
}

template <class B>
inline B loadu(const double* p) {
  return B::load_unaligned(p);
}
template <class B>
inline void storeu(double* p, B x) {
  x.store_unaligned(p);
}

// A batch of (even, odd, even, odd, ...).
template <class B>
inline B alternating(double even, double odd) {
  alignas(64) double v[B::size];
  for (std::size_t i = 0; i < B::size; i += 2) {
    v[i] = even;
    v[i + 1] = odd;
  }
  return B::load_aligned(v);
}

// Sub-blocks of at most this many complex points are finished stage by stage
// while they sit in the cache; larger ones are split depth first.
constexpr std::size_t kCacheBlock = 8192;

// ---- Groups of points in lane order ----

// A group is the points whose factors sit together in a stage table: four, or
// eight for batches of eight lanes. It spans kSubs batches.
template <class B>
constexpr std::size_t kGroup = B::size < 4 ? 4 : B::size;
template <class B>
constexpr std::size_t kSubs = kGroup<B> / B::size;

// Batch h of the group of interleaved points at p, as real and imaginary parts.
template <class B>
inline void loadGroup(const double* p, std::size_t h, B& re, B& im) {
  const B u = loadu<B>(p + h * B::size), v = loadu<B>(p + kGroup<B> + h * B::size);
  re = zipLo(u, v);
  im = zipHi(u, v);
}
template <class B>
inline void storeGroup(double* p, std::size_t h, B re, B im) {
  storeu(p + h * B::size, zipLo(re, im));
  storeu(p + kGroup<B> + h * B::size, zipHi(re, im));
}

// How a stage finds and leaves the points of its groups: interleaved, as
// callers hold them, or unzipped, each group's batches as loadGroup returns
// them (the real parts of its kSubs batches, then the imaginary parts).
enum class Layout { interleaved, unzipped };

template <Layout In, class B>
inline void loadGroupAs(const double* p, std::size_t h, B& re, B& im) {
  if constexpr (In == Layout::unzipped) {
    re = loadu<B>(p + h * B::size);
    im = loadu<B>(p + kGroup<B> + h * B::size);
  } else {
    loadGroup(p, h, re, im);
  }
}
template <Layout Out, class B>
inline void storeGroupAs(double* p, std::size_t h, B re, B im) {
  if constexpr (Out == Layout::unzipped) {
    storeu(p + h * B::size, re);
    storeu(p + kGroup<B> + h * B::size, im);
  } else {
    storeGroup(p, h, re, im);
  }
}

// Batch h of the group of four points ending at p + 8, in reverse order: the
// partners m - k of a rising run of four bins k.
template <class B>
inline void loadGroupReversed(const double* p, std::size_t h, B& re, B& im) {
  constexpr std::size_t points = B::size / 2;
  const B u = reverseChunks(loadu<B>(p + 2 * (4 - points * (h + 1))));
  const B v = reverseChunks(loadu<B>(p + 2 * (2 - points * (h + 1))));
  re = zipLo(u, v);
  im = zipHi(u, v);
}
template <class B>
inline void storeGroupReversed(double* p, std::size_t h, B re, B im) {
  constexpr std::size_t points = B::size / 2;
  storeu(p + 2 * (4 - points * (h + 1)), reverseChunks(zipLo(re, im)));
  storeu(p + 2 * (2 - points * (h + 1)), reverseChunks(zipHi(re, im)));
}

// The real samples xs[0 .. kGroup) in the lane order of the group.
template <class B>
inline void loadSamples(const double* xs, B out[]) {
  if constexpr (B::size == 2) {
    const B a = loadu<B>(xs), b = loadu<B>(xs + 2);
    out[0] = zipLo(a, b);
    out[1] = zipHi(a, b);
  } else {
    out[0] = B(toLaneOrder(Register<B>(loadu<B>(xs))));
  }
}

// sums[0 .. kGroup) += w * part, part in the lane order of the group.
template <class B>
inline void accumulateSamples(B w, const B part[], double* sums) {
  if constexpr (B::size == 2) {
    storeu(sums, xsimd::fma(w, zipLo(part[0], part[1]), loadu<B>(sums)));
    storeu(sums + 2, xsimd::fma(w, zipHi(part[0], part[1]), loadu<B>(sums + 2)));
  } else {
    const B ordered(fromLaneOrder(Register<B>(part[0])));
    storeu(sums, xsimd::fma(w, ordered, loadu<B>(sums)));
  }
}

// ---- Radix-4 stages ----

// (yr + i yi)(c + i S s), real and imaginary part.
template <int S, class B>
inline B cmulRe(B yr, B yi, B c, B s) {
  return S > 0 ? xsimd::fms(yr, c, yi * s) : xsimd::fma(yi, s, yr * c);
}
template <int S, class B>
inline B cmulIm(B yr, B yi, B c, B s) {
  return S > 0 ? xsimd::fma(yr, s, yi * c) : xsimd::fms(yi, c, yr * s);
}

// The factors of batch h of a group: cos w1, sin w1, cos w3, sin w3 from the
// stage table, and the cos w2, sin w2 made from them.
template <class B>
struct Factors {
  B c1, s1, c2, s2, c3, s3;
};

template <class B>
inline Factors<B> factors(const double* t, std::size_t h) {
  constexpr std::size_t G = kGroup<B>;
  const std::size_t o = h * B::size;
  Factors<B> f;
  f.c1 = loadu<B>(t + o);
  f.s1 = loadu<B>(t + G + o);
  f.c3 = loadu<B>(t + 2 * G + o);
  f.s3 = loadu<B>(t + 3 * G + o);
  f.c2 = xsimd::fms(f.c1, f.c1, f.s1 * f.s1);
  f.s2 = (f.c1 + f.c1) * f.s1;
  return f;
}

// x + S i y into p, x - S i y into n.
template <int S, class B>
inline void plusMinusTurned(B xr, B xi, B yr, B yi, B& pr, B& pi, B& nr, B& ni) {
  pr = S > 0 ? xr - yi : xr + yi;
  pi = S > 0 ? xi + yr : xi - yr;
  nr = S > 0 ? xr + yi : xr - yi;
  ni = S > 0 ? xi - yr : xi + yr;
}

// Quarter s of a radix-4 stage on the points at p starts at p + s * stride.

// One forward butterfly on the quarters x[0..3] (real parts xr, imaginary xi):
// the sums go to quarters 0..3 in the order 0, 2, 1, 3, all but the first
// times their factors (loaded after the sums, which keeps all values in
// registers). Always inlined: where the quarters are products, as in
// stageFromRotatedReal, the compiler then fuses each product into its first sum.
template <int S, Layout Out, class B>
__attribute__((always_inline)) inline void butterfly(const B xr[4], const B xi[4], const double* t,
                                                     std::size_t h, double* p, std::size_t stride) {
  const B t0r = xr[0] + xr[2], t0i = xi[0] + xi[2];
  const B t1r = xr[0] - xr[2], t1i = xi[0] - xi[2];
  const B t2r = xr[1] + xr[3], t2i = xi[1] + xi[3];
  const B dr = xr[1] - xr[3], di = xi[1] - xi[3];
  const B y2r = t0r - t2r, y2i = t0i - t2i;
  B y1r, y1i, y3r, y3i;
  plusMinusTurned<S>(t1r, t1i, dr, di, y1r, y1i, y3r, y3i);
  const Factors<B> f = factors<B>(t, h);
  storeGroupAs<Out>(p, h, t0r + t2r, t0i + t2i);
  storeGroupAs<Out>(p + stride, h, cmulRe<S>(y2r, y2i, f.c2, f.s2),
                    cmulIm<S>(y2r, y2i, f.c2, f.s2));
  storeGroupAs<Out>(p + 2 * stride, h, cmulRe<S>(y1r, y1i, f.c1, f.s1),
                    cmulIm<S>(y1r, y1i, f.c1, f.s1));
  storeGroupAs<Out>(p + 3 * stride, h, cmulRe<S>(y3r, y3i, f.c3, f.s3),
                    cmulIm<S>(y3r, y3i, f.c3, f.s3));
}

// Runs step(p, stride, t, h) on batch h of every group of a radix-4 stage over
// L points at a: p the group in quarter 0, t its factors.
template <class B, class Step>
__attribute__((always_inline)) inline void forEachGroup(double* a, std::size_t L, const double* t,
                                                        Step step) {
  const std::size_t stride = L / 2;
  for (std::size_t j = 0; j < stride; j += 2 * kGroup<B>, t += 4 * kGroup<B>) {
    for (std::size_t h = 0; h < kSubs<B>; ++h) step(a + j, stride, t, h);
  }
}

template <int S, class B, Layout In, Layout Out>
void stage(double* a, std::size_t L, const double* t) {
  forEachGroup<B>(
      a, L, t,
      [](double* p, std::size_t stride, const double* f, std::size_t h)
          __attribute__((always_inline)) {
            B xr[4], xi[4];
            for (std::size_t s = 0; s < 4; ++s) {
              loadGroupAs<In>(p + s * stride, h, xr[s], xi[s]);
            }
            butterfly<S, Out>(xr, xi, f, h, p, stride);
          });
}

// The transposed butterfly (see FourierKernels.cpp): factors first, then the
// butterfly; zr, zi are the results for quarters 0..3.
template <int S, Layout In, class B>
inline void transposedButterfly(const double* p, std::size_t stride, const double* t, std::size_t h,
                                B zr[4], B zi[4]) {
  B y0r, y0i, x1r, x1i, x2r, x2i, x3r, x3i;
  loadGroupAs<In>(p, h, y0r, y0i);
  loadGroupAs<In>(p + stride, h, x1r, x1i);
  loadGroupAs<In>(p + 2 * stride, h, x2r, x2i);
  loadGroupAs<In>(p + 3 * stride, h, x3r, x3i);
  const Factors<B> f = factors<B>(t, h);
  const B y2r = cmulRe<S>(x1r, x1i, f.c2, f.s2), y2i = cmulIm<S>(x1r, x1i, f.c2, f.s2);
  const B y1r = cmulRe<S>(x2r, x2i, f.c1, f.s1), y1i = cmulIm<S>(x2r, x2i, f.c1, f.s1);
  const B y3r = cmulRe<S>(x3r, x3i, f.c3, f.s3), y3i = cmulIm<S>(x3r, x3i, f.c3, f.s3);
  const B e0r = y0r + y2r, e0i = y0i + y2i;
  const B e1r = y0r - y2r, e1i = y0i - y2i;
  const B f0r = y1r + y3r, f0i = y1i + y3i;
  const B f1r = y1r - y3r, f1i = y1i - y3i;
  zr[0] = e0r + f0r;
  zi[0] = e0i + f0i;
  zr[2] = e0r - f0r;
  zi[2] = e0i - f0i;
  plusMinusTurned<S>(e1r, e1i, f1r, f1i, zr[1], zi[1], zr[3], zi[3]);
}

template <int S, class B, Layout In, Layout Out>
void stageTransposed(double* a, std::size_t L, const double* t) {
  forEachGroup<B>(
      a, L, t,
      [](double* p, std::size_t stride, const double* f, std::size_t h)
          __attribute__((always_inline)) {
            B zr[4], zi[4];
            transposedButterfly<S, In>(p, stride, f, h, zr, zi);
            for (std::size_t s = 0; s < 4; ++s) {
              storeGroupAs<Out>(p + s * stride, h, zr[s], zi[s]);
            }
          });
}

// Whether the stage over L points runs on the wide batches: where a quarter
// holds one of their groups (wide stage tables); on the narrow ones otherwise.
template <class Wide>
inline bool runsWide(std::size_t L) {
  return L / 4 >= kGroup<Wide>;
}

// Whether the points lie unzipped between the stage over L points and the
// one over L/4 of the same transform, either way round. They do where both
// stages run on batches of one kind, whose groups match, since the zips are a
// large share of a stage's work; they lie interleaved where the kinds differ
// and next to the tails and callers.
template <class Wide>
inline bool unzippedBelow(std::size_t L) {
  return L >= 64 && runsWide<Wide>(L) == runsWide<Wide>(L / 4);
}

template <int S, bool Transposed, class B, Layout In, Layout Out>
void anyStage(double* a, std::size_t L, const double* t) {
  if constexpr (Transposed) {
    stageTransposed<S, B, In, Out>(a, L, t);
  } else {
    stage<S, B, In, Out>(a, L, t);
  }
}

template <int S, bool Transposed, class B>
void stageWithLayouts(double* a, std::size_t L, const double* t, bool inUnzipped,
                      bool outUnzipped) {
  constexpr Layout I = Layout::interleaved, U = Layout::unzipped;
  if (inUnzipped) {
    if (outUnzipped) {
      anyStage<S, Transposed, B, U, U>(a, L, t);
    } else {
      anyStage<S, Transposed, B, U, I>(a, L, t);
    }
  } else if (outUnzipped) {
    anyStage<S, Transposed, B, I, U>(a, L, t);
  } else {
    anyStage<S, Transposed, B, I, I>(a, L, t);
  }
}

// A stage (transposed or not) over L points on the batches its length calls
// for, finding and leaving its points in the layouts given.
template <int S, bool Transposed, class Wide, class Narrow>
void stageOf(double* a, std::size_t L, const double* t, bool inUnzipped, bool outUnzipped) {
  if (runsWide<Wide>(L)) {
    stageWithLayouts<S, Transposed, Wide>(a, L, t, inUnzipped, outUnzipped);
  } else {
    stageWithLayouts<S, Transposed, Narrow>(a, L, t, inUnzipped, outUnzipped);
  }
}

// ---- Tails: the last stages of blocks of 4 or 8 points ----
//
// Point k of W/2 neighbouring blocks in one batch, one point per chunk.

template <class B, std::size_t Points>
inline void loadBlocks(const double* a, B x[Points]) {
  for (std::size_t k = 0; k < Points; k += B::size / 2) {
    x[k] = loadu<B>(a + 2 * k);
    if constexpr (B::size == 4) {
      x[k + 1] = loadu<B>(a + 2 * Points + 2 * k);
      transposeChunks(x[k], x[k + 1]);
    }
  }
}
template <class B, std::size_t Points>
inline void storeBlocks(double* a, B x[Points]) {
  for (std::size_t k = 0; k < Points; k += B::size / 2) {
    if constexpr (B::size == 4) {
      transposeChunks(x[k], x[k + 1]);
      storeu(a + 2 * Points + 2 * k, x[k + 1]);
    }
    storeu(a + 2 * k, x[k]);
  }
}

// S i x for every point of x.
template <int S, class B>
inline B turned(B x) {
  static_assert(B::size == 2 || B::size == 4, "one or two points per batch");
  const B sign = S > 0 ? alternating<B>(-0.0, 0.0) : alternating<B>(0.0, -0.0);
  return swapParts(x) ^ sign;
}

// The butterfly without factors on x0..x3: y0 = t0 + t2, y2 = t0 - t2,
// y1 = t1 + t3, y3 = t1 - t3 with t0, t1 = x0 +- x2, t2 = x1 + x3,
// t3 = S i (x1 - x3); results in the order y0, y2, y1, y3.
template <int S, class B>
inline void plainButterfly(B x0, B x1, B x2, B x3, B& y0, B& y2, B& y1, B& y3) {
  const B t0 = x0 + x2, t1 = x0 - x2, t2 = x1 + x3, t3 = turned<S>(x1 - x3);
  y0 = t0 + t2;
  y2 = t0 - t2;
  y1 = t1 + t3;
  y3 = t1 - t3;
}

template <int S, class B>
void tail4(double* a, std::size_t L) {
  for (std::size_t b = 0; b < 2 * L; b += 4 * B::size) {
    B x[4];
    loadBlocks<B, 4>(a + b, x);
    plainButterfly<S>(x[0], x[1], x[2], x[3], x[0], x[1], x[2], x[3]);
    storeBlocks<B, 4>(a + b, x);
  }
}

// A radix-4 stage of length 8, then radix-2 butterflies of neighbours.
template <int S, class B>
void tail8(double* a, std::size_t L) {
  const B h = B::broadcast(0.70710678118654752440084436210485);
  for (std::size_t b = 0; b < 2 * L; b += 8 * B::size) {
    B x[8], y[8];
    loadBlocks<B, 8>(a + b, x);
    for (std::size_t j = 0; j < 2; ++j) {
      plainButterfly<S>(x[j], x[j + 2], x[j + 4], x[j + 6], y[j], y[j + 2], y[j + 4], y[j + 6]);
    }
    // Factors e^(S i pi/4), e^(S i pi/2) and e^(3 S i pi/4) of the second
    // butterfly's sums 1, 2 and 3.
    y[5] = h * (y[5] + turned<S>(y[5]));
    y[3] = turned<S>(y[3]);
    y[7] = h * (turned<S>(y[7]) - y[7]);
    for (std::size_t p = 0; p < 8; p += 2) {
      x[p] = y[p] + y[p + 1];
      x[p + 1] = y[p] - y[p + 1];
    }
    storeBlocks<B, 8>(a + b, x);
  }
}

// The transposed tail of blocks of 4: the points arrive as sums 0, 2, 1, 3.
template <int S, class B>
void tail4Transposed(double* a, std::size_t L) {
  for (std::size_t b = 0; b < 2 * L; b += 4 * B::size) {
    B x[4];
    loadBlocks<B, 4>(a + b, x);
    const B e0 = x[0] + x[1], e1 = x[0] - x[1];
    const B f0 = x[2] + x[3], f1 = turned<S>(x[2] - x[3]);
    x[0] = e0 + f0;
    x[2] = e0 - f0;
    x[1] = e1 + f1;
    x[3] = e1 - f1;
    storeBlocks<B, 4>(a + b, x);
  }
}

// ---- Whole transforms ----
//
// Wide batches for the stages whose quarters hold their groups, Narrow
// batches (one or two points per chunk row) for the rest and the tails.

// The points arrive unzipped where inUnzipped says so (a stage over a longer
// length ran first), interleaved otherwise.
template <int S, class Wide, class Narrow>
void difTransform(double* a, std::size_t L, const double* t, bool inUnzipped = false) {
  if (L > kCacheBlock) {
    const bool between = unzippedBelow<Wide>(L);
    stageOf<S, false, Wide, Narrow>(a, L, t, inUnzipped, between);
    const std::size_t q = L >> 2;
    for (std::size_t s = 0; s < 4; ++s) {
      difTransform<S, Wide, Narrow>(a + 2 * s * q, q, t + L, between);
    }
    return;
  }
  std::size_t len = L;
  for (; len >= 16; t += len, len >>= 2) {
    const bool in = len == L ? inUnzipped : unzippedBelow<Wide>(4 * len);
    const bool out = unzippedBelow<Wide>(len);
    for (std::size_t b = 0; b < L; b += len)
      stageOf<S, false, Wide, Narrow>(a + 2 * b, len, t, in, out);
  }
  if (len == 4) {
    tail4<S, Narrow>(a, L);
  } else if (len == 8) {
    tail8<S, Narrow>(a, L);
  }
}

// From bit-reversed input to natural order (L a power of 4), left unzipped
// where outUnzipped says so (a stage over a longer length follows),
// interleaved otherwise.
template <int S, class Wide, class Narrow>
void ditTransform(double* a, std::size_t L, const double* t, bool outUnzipped = false) {
  if (L > kCacheBlock) {
    const bool between = unzippedBelow<Wide>(L);
    const std::size_t q = L >> 2;
    for (std::size_t s = 0; s < 4; ++s) {
      ditTransform<S, Wide, Narrow>(a + 2 * s * q, q, t + L, between);
    }
    stageOf<S, true, Wide, Narrow>(a, L, t, between, outUnzipped);
    return;
  }
  std::size_t offsets[32];
  std::size_t stages = 0, offset = 0, len = L;
  for (; len >= 16; offset += len, len >>= 2) offsets[stages++] = offset;
  tail4Transposed<S, Narrow>(a, L);
  while (stages > 0) {
    --stages;
    const std::size_t stageLength = L >> (2 * stages);
    const bool in = unzippedBelow<Wide>(stageLength);
    const bool out = stages == 0 ? outUnzipped : unzippedBelow<Wide>(4 * stageLength);
    for (std::size_t b = 0; b < L; b += stageLength) {
      stageOf<S, true, Wide, Narrow>(a + 2 * b, stageLength, t + offsets[stages], in, out);
    }
  }
}

// The first stage of difTransform over the whole length, reading
// x[(k + L/2) mod L] * factor[k] instead of a[k]: quarter s of the input is
// quarter s + 2 (mod 4) of x. The rest runs on each quarter.
template <int S, class B, Layout Out>
void rotatedFirstStage(const double* x, const double* factor, double* a, std::size_t L,
                       const double* t) {
  const std::size_t q = L >> 2, stride = 2 * q;
  for (std::size_t j = 0; j < stride; j += 2 * kGroup<B>, t += 4 * kGroup<B>) {
    B samples[4][kSubs<B>];
    for (std::size_t s = 0; s < 4; ++s) loadSamples<B>(x + ((s + 2) & 3) * q + j / 2, samples[s]);
    for (std::size_t h = 0; h < kSubs<B>; ++h) {
      B xr[4], xi[4];
      for (std::size_t s = 0; s < 4; ++s) {
        B fr, fi;
        loadGroup(factor + 2 * s * q + j, h, fr, fi);
        xr[s] = samples[s][h] * fr;
        xi[s] = samples[s][h] * fi;
      }
      butterfly<S, Out>(xr, xi, t, h, a + j, stride);
    }
  }
}

template <int S, class Wide, class Narrow>
void rotatedRealTransform(const double* x, const double* factor, double* a, std::size_t L,
                          const double* t) {
  const bool between = unzippedBelow<Wide>(L);
  if (between) {
    rotatedFirstStage<S, Wide, Layout::unzipped>(x, factor, a, L, t);
  } else {
    rotatedFirstStage<S, Wide, Layout::interleaved>(x, factor, a, L, t);
  }
  const std::size_t q = L >> 2;
  for (std::size_t s = 0; s < 4; ++s)
    difTransform<S, Wide, Narrow>(a + 2 * s * q, q, t + L, between);
}

// The last stage of transformFromReversedAndAccumulate, finding its points in
// layout In.
template <int S, class B, Layout In>
void accumulatingLastStage(const double* a, std::size_t L, const double* t, const double* factor,
                           double weight, double* sum) {
  const std::size_t q = L >> 2, stride = 2 * q;
  const B w = B::broadcast(weight);
  for (std::size_t j = 0; j < stride; j += 2 * kGroup<B>, t += 4 * kGroup<B>) {
    B part[4][kSubs<B>];
    for (std::size_t h = 0; h < kSubs<B>; ++h) {
      B zr[4], zi[4];
      transposedButterfly<S, In>(a + j, stride, t, h, zr, zi);
      for (std::size_t s = 0; s < 4; ++s) {
        B fr, fi;
        loadGroup(factor + 2 * s * q + j, h, fr, fi);
        part[s][h] = xsimd::fma(fr, zr[s], fi * zi[s]);
      }
    }
    for (std::size_t s = 0; s < 4; ++s) accumulateSamples(w, part[s], sum + s * q + j / 2);
  }
}

// ditTransform on the quarters, then the last stage over the whole length,
// adding weight * Re(conj(factor[k]) * a[k]) to sum[k] instead of storing a[k].
template <int S, class Wide, class Narrow>
void transformFromReversedAndAccumulate(double* a, std::size_t L, const double* t,
                                        const double* factor, double weight, double* sum) {
  const bool between = unzippedBelow<Wide>(L);
  const std::size_t q = L >> 2;
  for (std::size_t s = 0; s < 4; ++s)
    ditTransform<S, Wide, Narrow>(a + 2 * s * q, q, t + L, between);
  if (between) {
    accumulatingLastStage<S, Wide, Layout::unzipped>(a, L, t, factor, weight, sum);
  } else {
    accumulatingLastStage<S, Wide, Layout::interleaved>(a, L, t, factor, weight, sum);
  }
}

// ---- Real-split passes, bins 4 .. m/2 - 1 in runs of four ----

// What both directions read for batch h of four bins k and their partners
// m - k: the twiddle factors and the half sums and differences.
template <class B>
struct SplitTerms {
  B c, s, er, ei, dr, di;
};

template <class B>
inline SplitTerms<B> splitTerms(const double* p, const double* q, const double* twiddle,
                                std::size_t h) {
  const B half = B::broadcast(0.5);
  B pr, pi, qr, qi;
  loadGroup(p, h, pr, pi);
  loadGroupReversed(q, h, qr, qi);
  SplitTerms<B> t;
  t.c = loadu<B>(twiddle + h * B::size);
  t.s = loadu<B>(twiddle + 4 + h * B::size);
  t.er = half * (pr + qr);
  t.ei = half * (pi - qi);
  t.dr = half * (pr - qr);
  t.di = half * (pi + qi);
  return t;
}

// Runs step(terms, p, q, h) on batch h of every run of four bins k from 4 to
// m/2 - 1: p the run, q the run of their partners, ending at m - k.
template <class B, class Step>
__attribute__((always_inline)) inline void forEachSplitRun(double* a, std::size_t m,
                                                           const double* rs, Step step) {
  for (std::size_t k = 4; k < m / 2; k += 4) {
    double* p = a + 2 * k;
    double* q = a + 2 * (m - k - 3);
    for (std::size_t h = 0; h < kSubs<B>; ++h) step(splitTerms<B>(p, q, rs + 2 * k, h), p, q, h);
  }
}

template <class B>
void splitForward(double* a, std::size_t m, const double* rs, double scale) {
  const B sc = B::broadcast(scale), negSc = B::broadcast(-scale);
  forEachSplitRun<B>(a, m, rs, [&](const SplitTerms<B>& t, double* p, double* q, std::size_t h) {
    // fr = -(c di + s dr), fi = c dr - s di
    const B fr = xsimd::fnms(t.c, t.di, t.s * t.dr);
    const B fi = xsimd::fms(t.c, t.dr, t.s * t.di);
    storeGroup(p, h, sc * (t.er - fr), sc * (t.ei - fi));
    storeGroupReversed(q, h, sc * (t.er + fr), negSc * (t.ei + fi));
  });
}

template <class B>
void splitInverse(double* a, std::size_t m, const double* rs) {
  forEachSplitRun<B>(a, m, rs, [](const SplitTerms<B>& t, double* p, double* q, std::size_t h) {
    // gr = s dr - c di, gi = c dr + s di
    const B gr = xsimd::fms(t.s, t.dr, t.c * t.di);
    const B gi = xsimd::fma(t.c, t.dr, t.s * t.di);
    storeGroup(p, h, t.er + gr, t.ei + gi);
    storeGroupReversed(q, h, t.er - gr, gi - t.ei);
  });
}

using Narrow = xsimd::batch<double, NarrowArch>;
#if defined(SPL_WIDE_ARCH)
using Wide = xsimd::batch<double, WideArch>;
#else
using Wide = Narrow;
#endif

void complexTransformEntry(int sign, double* a, std::size_t m, const double* t) {
  if (sign > 0) {
    difTransform<1, Narrow, Narrow>(a, m, t);
  } else {
    difTransform<-1, Narrow, Narrow>(a, m, t);
  }
}

void complexTransformFromReversedEntry(int sign, double* a, std::size_t m, const double* t) {
  if (sign > 0) {
    ditTransform<1, Narrow, Narrow>(a, m, t);
  } else {
    ditTransform<-1, Narrow, Narrow>(a, m, t);
  }
}

void rotatedRealTransformEntry(int sign, const double* x, const double* factor, double* out,
                               std::size_t m, const double* t) {
  if (sign > 0) {
    rotatedRealTransform<1, Wide, Narrow>(x, factor, out, m, t);
  } else {
    rotatedRealTransform<-1, Wide, Narrow>(x, factor, out, m, t);
  }
}

void transformFromReversedAndAccumulateEntry(int sign, double* a, std::size_t m, const double* t,
                                             const double* factor, double weight, double* sum) {
  if (sign > 0) {
    transformFromReversedAndAccumulate<1, Wide, Narrow>(a, m, t, factor, weight, sum);
  } else {
    transformFromReversedAndAccumulate<-1, Wide, Narrow>(a, m, t, factor, weight, sum);
  }
}

}  // namespace

extern const VectorKernels kKernels{complexTransformEntry,
                                    complexTransformFromReversedEntry,
                                    rotatedRealTransformEntry,
                                    transformFromReversedAndAccumulateEntry,
                                    splitForward<Narrow>,
                                    splitInverse<Narrow>,
                                    kGroup<Wide>};

}  // namespace spl::fourier::SPL_KERNEL_SET
