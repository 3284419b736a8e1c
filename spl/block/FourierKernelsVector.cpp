#include "spl/block/FourierKernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
// GCC 12 reports its own AVX-512 unpack intrinsics as reading an undefined
// vector (the unused pass-through of their masked form); the warning points
// into the header, so it is silenced for the header alone.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif

namespace spl::fourier {

#if defined(__x86_64__) && defined(__GNUC__)

namespace {

// Sub-blocks of at most this many complex points are finished stage by stage
// while they sit in the cache; larger ones are split depth first.
constexpr std::size_t kCacheBlock = 8192;

#define SPL_AVX2 __attribute__((target("avx2,fma")))

SPL_AVX2 inline __m256d cmulRe(int S, __m256d yr, __m256d yi, __m256d c, __m256d s) {
  // Real part of (yr + i yi)(c + i S s).
  return S > 0 ? _mm256_fmsub_pd(yr, c, _mm256_mul_pd(yi, s))
               : _mm256_fmadd_pd(yi, s, _mm256_mul_pd(yr, c));
}
SPL_AVX2 inline __m256d cmulIm(int S, __m256d yr, __m256d yi, __m256d c, __m256d s) {
  return S > 0 ? _mm256_fmadd_pd(yr, s, _mm256_mul_pd(yi, c))
               : _mm256_fmsub_pd(yi, c, _mm256_mul_pd(yr, s));
}

// Four interleaved complex values from p on as their real and imaginary
// parts, in the lane order (0, 2, 1, 3) of the stage tables, and back.
SPL_AVX2 inline void loadPair(const double* p, __m256d& re, __m256d& im) {
  const __m256d u = _mm256_loadu_pd(p), v = _mm256_loadu_pd(p + 4);
  re = _mm256_unpacklo_pd(u, v);
  im = _mm256_unpackhi_pd(u, v);
}
SPL_AVX2 inline void storePair(double* p, __m256d re, __m256d im) {
  _mm256_storeu_pd(p, _mm256_unpacklo_pd(re, im));
  _mm256_storeu_pd(p + 4, _mm256_unpackhi_pd(re, im));
}

// The factors of four butterflies: cos w1, sin w1, cos w3, sin w3 from the
// stage table, and the cos w2, sin w2 made from them.
struct Factors {
  __m256d c1, s1, c2, s2, c3, s3;
};

SPL_AVX2 inline Factors factors(const double* t) {
  Factors f;
  f.c1 = _mm256_loadu_pd(t);
  f.s1 = _mm256_loadu_pd(t + 4);
  f.c3 = _mm256_loadu_pd(t + 8);
  f.s3 = _mm256_loadu_pd(t + 12);
  f.c2 = _mm256_fmsub_pd(f.c1, f.c1, _mm256_mul_pd(f.s1, f.s1));
  f.s2 = _mm256_mul_pd(_mm256_add_pd(f.c1, f.c1), f.s1);
  return f;
}

// x + S i y into p, x - S i y into n.
template <int S>
SPL_AVX2 inline void plusMinusTurned(__m256d xr, __m256d xi, __m256d yr, __m256d yi, __m256d& pr,
                                     __m256d& pi, __m256d& nr, __m256d& ni) {
  pr = S > 0 ? _mm256_sub_pd(xr, yi) : _mm256_add_pd(xr, yi);
  pi = S > 0 ? _mm256_add_pd(xi, yr) : _mm256_sub_pd(xi, yr);
  nr = S > 0 ? _mm256_add_pd(xr, yi) : _mm256_sub_pd(xr, yi);
  ni = S > 0 ? _mm256_sub_pd(xi, yr) : _mm256_add_pd(xi, yr);
}

// One forward butterfly of four lanes on the quarters x0..x3: the sums go to
// quarters 0..3 in the order 0, 2, 1, 3, all but the first times their
// factors from the stage table t (loaded after the sums, which keeps all
// values in registers). Always inlined: where the quarters are products, as
// in radix4StageFromRotatedReal, the compiler then fuses each product into
// its first sum, as the kernels have always computed them.
template <int S>
__attribute__((always_inline)) SPL_AVX2 inline void butterflyVector(
    __m256d x0r, __m256d x0i, __m256d x1r, __m256d x1i, __m256d x2r, __m256d x2i, __m256d x3r,
    __m256d x3i, const double* t, double* a0, double* a1, double* a2, double* a3) {
  const __m256d t0r = _mm256_add_pd(x0r, x2r), t0i = _mm256_add_pd(x0i, x2i);
  const __m256d t1r = _mm256_sub_pd(x0r, x2r), t1i = _mm256_sub_pd(x0i, x2i);
  const __m256d t2r = _mm256_add_pd(x1r, x3r), t2i = _mm256_add_pd(x1i, x3i);
  const __m256d dr = _mm256_sub_pd(x1r, x3r), di = _mm256_sub_pd(x1i, x3i);
  const __m256d y0r = _mm256_add_pd(t0r, t2r), y0i = _mm256_add_pd(t0i, t2i);
  const __m256d y2r = _mm256_sub_pd(t0r, t2r), y2i = _mm256_sub_pd(t0i, t2i);
  __m256d y1r, y1i, y3r, y3i;
  plusMinusTurned<S>(t1r, t1i, dr, di, y1r, y1i, y3r, y3i);
  const Factors f = factors(t);
  storePair(a0, y0r, y0i);
  storePair(a1, cmulRe(S, y2r, y2i, f.c2, f.s2), cmulIm(S, y2r, y2i, f.c2, f.s2));
  storePair(a2, cmulRe(S, y1r, y1i, f.c1, f.s1), cmulIm(S, y1r, y1i, f.c1, f.s1));
  storePair(a3, cmulRe(S, y3r, y3i, f.c3, f.s3), cmulIm(S, y3r, y3i, f.c3, f.s3));
}

template <int S>
SPL_AVX2 void radix4StageVector(double* a, std::size_t L, const double* t) {
  const std::size_t q = L >> 2;
  double* a0 = a;
  double* a1 = a + 2 * q;
  double* a2 = a + 4 * q;
  double* a3 = a + 6 * q;
  for (std::size_t j = 0; j < 2 * q; j += 8, t += 16) {
    __m256d x0r, x0i, x1r, x1i, x2r, x2i, x3r, x3i;
    loadPair(a0 + j, x0r, x0i);
    loadPair(a1 + j, x1r, x1i);
    loadPair(a2 + j, x2r, x2i);
    loadPair(a3 + j, x3r, x3i);
    butterflyVector<S>(x0r, x0i, x1r, x1i, x2r, x2i, x3r, x3i, t, a0 + j, a1 + j, a2 + j, a3 + j);
  }
}

// Butterflies of the two complex values within one vector: [u, v] -> [u + v, u - v].
SPL_AVX2 inline __m256d butterflyHalves(__m256d x) {
  const __m256d swapped = _mm256_permute2f128_pd(x, x, 1);
  return _mm256_blend_pd(_mm256_add_pd(x, swapped), _mm256_sub_pd(swapped, x), 0b1100);
}

// [u, v] -> [u, S i v]: swaps the parts of v, then negates its real part
// (S = +1) or its imaginary part (S = -1).
template <int S>
SPL_AVX2 inline __m256d turnUpper(__m256d x) {
  const __m256d sign =
      S > 0 ? _mm256_set_pd(0.0, -0.0, 0.0, 0.0) : _mm256_set_pd(-0.0, 0.0, 0.0, 0.0);
  return _mm256_xor_pd(_mm256_permute_pd(x, 0b0110), sign);
}

// tail4 for the vector path: each block of four points is two vectors.
template <int S>
SPL_AVX2 void tail4Vector(double* a, std::size_t L) {
  for (std::size_t b = 0; b < 2 * L; b += 8) {
    const __m256d v0 = _mm256_loadu_pd(a + b), v1 = _mm256_loadu_pd(a + b + 4);
    const __m256d sums = _mm256_add_pd(v0, v1);         // [t0, t2]
    const __m256d differences = _mm256_sub_pd(v0, v1);  // [t1, d]
    _mm256_storeu_pd(a + b, butterflyHalves(sums));
    _mm256_storeu_pd(a + b + 4, butterflyHalves(turnUpper<S>(differences)));  // [t1, S i d]
  }
}

// Both complex values of x times c + i s, each with its own factor.
SPL_AVX2 inline __m256d turn(__m256d x, __m256d c, __m256d s) {
  return _mm256_addsub_pd(_mm256_mul_pd(x, c), _mm256_mul_pd(_mm256_permute_pd(x, 0b0101), s));
}

// tail8 for the vector path: each block of eight points is four vectors,
// the quarters of its radix-4 stage.
template <int S>
SPL_AVX2 void tail8Vector(double* a, std::size_t L) {
  const double h = 0.70710678118654752440084436210485;
  const __m256d sign =
      S > 0 ? _mm256_set_pd(0.0, -0.0, 0.0, -0.0) : _mm256_set_pd(-0.0, 0.0, -0.0, 0.0);
  // Factors of the upper values (the lower ones take 1): e^(S i pi/4) for
  // sums 1, e^(S i pi/2) for sums 2, e^(3 S i pi/4) for sums 3, as cos and S sin.
  const __m256d c1 = _mm256_set_pd(h, h, 1.0, 1.0), s1 = _mm256_set_pd(S * h, S * h, 0.0, 0.0);
  const __m256d c2 = _mm256_set_pd(0.0, 0.0, 1.0, 1.0), s2 = _mm256_set_pd(S, S, 0.0, 0.0);
  const __m256d c3 = _mm256_set_pd(-h, -h, 1.0, 1.0), s3 = s1;
  for (std::size_t b = 0; b < 2 * L; b += 16) {
    double* x = a + b;
    const __m256d v0 = _mm256_loadu_pd(x), v1 = _mm256_loadu_pd(x + 4);
    const __m256d v2 = _mm256_loadu_pd(x + 8), v3 = _mm256_loadu_pd(x + 12);
    const __m256d t0 = _mm256_add_pd(v0, v2), t1 = _mm256_sub_pd(v0, v2);
    const __m256d t2 = _mm256_add_pd(v1, v3);
    // S i (v1 - v3): swap the parts of each value, then fix the signs.
    const __m256d t3 = _mm256_xor_pd(_mm256_permute_pd(_mm256_sub_pd(v1, v3), 0b0101), sign);
    const __m256d y0 = _mm256_add_pd(t0, t2), y2 = _mm256_sub_pd(t0, t2);
    const __m256d y1 = _mm256_add_pd(t1, t3), y3 = _mm256_sub_pd(t1, t3);
    _mm256_storeu_pd(x, butterflyHalves(y0));
    _mm256_storeu_pd(x + 4, butterflyHalves(turn(y2, c2, s2)));
    _mm256_storeu_pd(x + 8, butterflyHalves(turn(y1, c1, s1)));
    _mm256_storeu_pd(x + 12, butterflyHalves(turn(y3, c3, s3)));
  }
}

template <int S>
SPL_AVX2 void tailVector(double* a, std::size_t L, std::size_t len) {
  if (len == 4) {
    tail4Vector<S>(a, L);
  } else if (len == 8) {
    tail8Vector<S>(a, L);
  }
  // Shorter tails do not occur: the vector kernels run from 16 points up.
}

template <int S>
SPL_AVX2 void difTransformVector(double* a, std::size_t L, const double* t) {
  if (L > kCacheBlock) {
    radix4StageVector<S>(a, L, t);
    const std::size_t q = L >> 2;
    for (std::size_t s = 0; s < 4; ++s) difTransformVector<S>(a + 2 * s * q, q, t + L);
    return;
  }
  std::size_t len = L;
  for (; len >= 16; t += len, len >>= 2) {
    for (std::size_t b = 0; b < L; b += len) radix4StageVector<S>(a + 2 * b, len, t);
  }
  tailVector<S>(a, L, len);
}

// The transposed butterfly (see FourierKernels.cpp): factors first, then the
// butterfly; z[0..7] are the real and imaginary results of quarters 0..3.
template <int S>
SPL_AVX2 inline void transposedVector(const double* a0, const double* a1, const double* a2,
                                      const double* a3, const double* t, __m256d z[8]) {
  __m256d y0r, y0i, x1r, x1i, x2r, x2i, x3r, x3i;
  loadPair(a0, y0r, y0i);
  loadPair(a1, x1r, x1i);
  loadPair(a2, x2r, x2i);
  loadPair(a3, x3r, x3i);
  const Factors f = factors(t);
  const __m256d y2r = cmulRe(S, x1r, x1i, f.c2, f.s2), y2i = cmulIm(S, x1r, x1i, f.c2, f.s2);
  const __m256d y1r = cmulRe(S, x2r, x2i, f.c1, f.s1), y1i = cmulIm(S, x2r, x2i, f.c1, f.s1);
  const __m256d y3r = cmulRe(S, x3r, x3i, f.c3, f.s3), y3i = cmulIm(S, x3r, x3i, f.c3, f.s3);
  const __m256d e0r = _mm256_add_pd(y0r, y2r), e0i = _mm256_add_pd(y0i, y2i);
  const __m256d e1r = _mm256_sub_pd(y0r, y2r), e1i = _mm256_sub_pd(y0i, y2i);
  const __m256d f0r = _mm256_add_pd(y1r, y3r), f0i = _mm256_add_pd(y1i, y3i);
  const __m256d f1r = _mm256_sub_pd(y1r, y3r), f1i = _mm256_sub_pd(y1i, y3i);
  z[0] = _mm256_add_pd(e0r, f0r);
  z[1] = _mm256_add_pd(e0i, f0i);
  z[4] = _mm256_sub_pd(e0r, f0r);
  z[5] = _mm256_sub_pd(e0i, f0i);
  plusMinusTurned<S>(e1r, e1i, f1r, f1i, z[2], z[3], z[6], z[7]);
}

template <int S>
SPL_AVX2 void radix4StageTransposedVector(double* a, std::size_t L, const double* t) {
  const std::size_t q = L >> 2;
  double* a0 = a;
  double* a1 = a + 2 * q;
  double* a2 = a + 4 * q;
  double* a3 = a + 6 * q;
  for (std::size_t j = 0; j < 2 * q; j += 8, t += 16) {
    __m256d z[8];
    transposedVector<S>(a0 + j, a1 + j, a2 + j, a3 + j, t, z);
    storePair(a0 + j, z[0], z[1]);
    storePair(a1 + j, z[2], z[3]);
    storePair(a2 + j, z[4], z[5]);
    storePair(a3 + j, z[6], z[7]);
  }
}

template <int S>
SPL_AVX2 void tail4TransposedVector(double* a, std::size_t L) {
  for (std::size_t b = 0; b < 2 * L; b += 8) {
    // The four points arrive as sums 0, 2, 1, 3: [e0, e1] and [f0, f1].
    const __m256d e = butterflyHalves(_mm256_loadu_pd(a + b));
    const __m256d turned =
        turnUpper<S>(butterflyHalves(_mm256_loadu_pd(a + b + 4)));  // [f0, S i f1]
    _mm256_storeu_pd(a + b, _mm256_add_pd(e, turned));
    _mm256_storeu_pd(a + b + 4, _mm256_sub_pd(e, turned));
  }
}

template <int S>
SPL_AVX2 void ditTransformVector(double* a, std::size_t L, const double* t) {
  if (L > kCacheBlock) {
    const std::size_t q = L >> 2;
    for (std::size_t s = 0; s < 4; ++s) ditTransformVector<S>(a + 2 * s * q, q, t + L);
    radix4StageTransposedVector<S>(a, L, t);
    return;
  }
  std::size_t offsets[32];
  std::size_t stages = 0, offset = 0, len = L;
  for (; len >= 16; offset += len, len >>= 2) offsets[stages++] = offset;
  tail4TransposedVector<S>(a, L);
  while (stages > 0) {
    --stages;
    const std::size_t stageLength = L >> (2 * stages);
    for (std::size_t b = 0; b < L; b += stageLength) {
      radix4StageTransposedVector<S>(a + 2 * b, stageLength, t + offsets[stages]);
    }
  }
}

// Four real samples from xs at point j / 2 on, in the lane order of unpacked
// pairs (0, 2, 1, 3), times their factors from fs.
SPL_AVX2 inline void loadRealTimesFactor(const double* xs, const double* fs, std::size_t j,
                                         __m256d& re, __m256d& im) {
  const __m256d samples = _mm256_permute4x64_pd(_mm256_loadu_pd(xs + j / 2), 0b11011000);
  __m256d fr, fi;
  loadPair(fs + j, fr, fi);
  re = _mm256_mul_pd(samples, fr);
  im = _mm256_mul_pd(samples, fi);
}

// Adds w * Re(conj(factor) * z) of four points, in the lane order (0, 2, 1, 3),
// to the sums of their positions.
SPL_AVX2 inline void accumulateQuarter(__m256d w, __m256d zr, __m256d zi, const double* fs,
                                       double* sums, std::size_t j) {
  __m256d fr, fi;
  loadPair(fs + j, fr, fi);
  const __m256d part = _mm256_fmadd_pd(fr, zr, _mm256_mul_pd(fi, zi));
  const __m256d ordered = _mm256_permute4x64_pd(part, 0b11011000);
  double* s = sums + j / 2;
  _mm256_storeu_pd(s, _mm256_fmadd_pd(w, ordered, _mm256_loadu_pd(s)));
}

// The first stage of difTransformVector over the whole length, reading
// x[(k + L/2) mod L] * factor[k] instead of a[k]: quarter s of the input is
// quarter s + 2 (mod 4) of x.
template <int S>
SPL_AVX2 void radix4StageFromRotatedReal(const double* x, const double* factor, double* a,
                                         std::size_t L, const double* t) {
  const std::size_t q = L >> 2;
  const double* x0 = x + 2 * q;
  const double* x1 = x + 3 * q;
  const double* x2 = x;
  const double* x3 = x + q;
  double* a0 = a;
  double* a1 = a + 2 * q;
  double* a2 = a + 4 * q;
  double* a3 = a + 6 * q;
  const double* f0 = factor;
  const double* f1 = factor + 2 * q;
  const double* f2 = factor + 4 * q;
  const double* f3 = factor + 6 * q;
  for (std::size_t j = 0; j < 2 * q; j += 8, t += 16) {
    __m256d x0r, x0i, x1r, x1i, x2r, x2i, x3r, x3i;
    loadRealTimesFactor(x0, f0, j, x0r, x0i);
    loadRealTimesFactor(x1, f1, j, x1r, x1i);
    loadRealTimesFactor(x2, f2, j, x2r, x2i);
    loadRealTimesFactor(x3, f3, j, x3r, x3i);
    butterflyVector<S>(x0r, x0i, x1r, x1i, x2r, x2i, x3r, x3i, t, a0 + j, a1 + j, a2 + j, a3 + j);
  }
}

// The last stage of ditTransformVector over the whole length, adding
// weight * Re(conj(factor[k]) * a[k]) to sum[k] instead of storing a[k].
template <int S>
SPL_AVX2 void radix4StageTransposedAccumulate(const double* a, std::size_t L, const double* t,
                                              const double* factor, double weight, double* sum) {
  const std::size_t q = L >> 2;
  const double* a0 = a;
  const double* a1 = a + 2 * q;
  const double* a2 = a + 4 * q;
  const double* a3 = a + 6 * q;
  const __m256d w = _mm256_set1_pd(weight);
  for (std::size_t j = 0; j < 2 * q; j += 8, t += 16) {
    __m256d z[8];
    transposedVector<S>(a0 + j, a1 + j, a2 + j, a3 + j, t, z);
    accumulateQuarter(w, z[0], z[1], factor, sum, j);
    accumulateQuarter(w, z[4], z[5], factor + 4 * q, sum + 2 * q, j);
    accumulateQuarter(w, z[2], z[3], factor + 2 * q, sum + q, j);
    accumulateQuarter(w, z[6], z[7], factor + 6 * q, sum + 3 * q, j);
  }
}

// Loads the four points ending at p + 8 in reverse order (the partners of a
// rising run of four bins).
SPL_AVX2 inline void loadPairReversed(const double* p, __m256d& re, __m256d& im) {
  const __m256d u = _mm256_loadu_pd(p), v = _mm256_loadu_pd(p + 4);
  const __m256d hi = _mm256_permute2f128_pd(v, v, 1), lo = _mm256_permute2f128_pd(u, u, 1);
  re = _mm256_unpacklo_pd(hi, lo);
  im = _mm256_unpackhi_pd(hi, lo);
}
SPL_AVX2 inline void storePairReversed(double* p, __m256d re, __m256d im) {
  const __m256d hi = _mm256_unpacklo_pd(re, im), lo = _mm256_unpackhi_pd(re, im);
  _mm256_storeu_pd(p + 4, _mm256_permute2f128_pd(hi, hi, 1));
  _mm256_storeu_pd(p, _mm256_permute2f128_pd(lo, lo, 1));
}

// What both directions of the real split read for four bins k and their
// partners m - k: the twiddle factors and the half sums and differences.
struct SplitTerms {
  __m256d c, s, er, ei, dr, di;
};

SPL_AVX2 inline SplitTerms splitTerms(const double* p, const double* q, const double* twiddle) {
  const __m256d half = _mm256_set1_pd(0.5);
  __m256d pr, pi, qr, qi;
  loadPair(p, pr, pi);
  loadPairReversed(q, qr, qi);
  SplitTerms t;
  t.c = _mm256_loadu_pd(twiddle);
  t.s = _mm256_loadu_pd(twiddle + 4);
  t.er = _mm256_mul_pd(half, _mm256_add_pd(pr, qr));
  t.ei = _mm256_mul_pd(half, _mm256_sub_pd(pi, qi));
  t.dr = _mm256_mul_pd(half, _mm256_sub_pd(pr, qr));
  t.di = _mm256_mul_pd(half, _mm256_add_pd(pi, qi));
  return t;
}

SPL_AVX2 void splitForwardVector(double* a, std::size_t m, const double* rs, double scale) {
  const __m256d sc = _mm256_set1_pd(scale);
  const __m256d negSc = _mm256_set1_pd(-scale);
  for (std::size_t k = 4; k < m / 2; k += 4) {
    double* p = a + 2 * k;
    double* q = a + 2 * (m - k - 3);
    const SplitTerms t = splitTerms(p, q, rs + 2 * k);
    const __m256d c = t.c, s = t.s, er = t.er, ei = t.ei, dr = t.dr, di = t.di;
    // fr = -(c di + s dr), fi = c dr - s di
    const __m256d fr = _mm256_fnmsub_pd(c, di, _mm256_mul_pd(s, dr));
    const __m256d fi = _mm256_fmsub_pd(c, dr, _mm256_mul_pd(s, di));
    storePair(p, _mm256_mul_pd(sc, _mm256_sub_pd(er, fr)),
              _mm256_mul_pd(sc, _mm256_sub_pd(ei, fi)));
    storePairReversed(q, _mm256_mul_pd(sc, _mm256_add_pd(er, fr)),
                      _mm256_mul_pd(negSc, _mm256_add_pd(ei, fi)));
  }
}

SPL_AVX2 void splitInverseVector(double* a, std::size_t m, const double* rs) {
  for (std::size_t k = 4; k < m / 2; k += 4) {
    double* p = a + 2 * k;
    double* q = a + 2 * (m - k - 3);
    const SplitTerms t = splitTerms(p, q, rs + 2 * k);
    const __m256d c = t.c, s = t.s, er = t.er, ei = t.ei, dr = t.dr, di = t.di;
    // gr = s dr - c di, gi = c dr + s di
    const __m256d gr = _mm256_fmsub_pd(s, dr, _mm256_mul_pd(c, di));
    const __m256d gi = _mm256_fmadd_pd(c, dr, _mm256_mul_pd(s, di));
    storePair(p, _mm256_add_pd(er, gr), _mm256_add_pd(ei, gi));
    storePairReversed(q, _mm256_sub_pd(er, gr), _mm256_sub_pd(gi, ei));
  }
}

// ---- Wide kernels (AVX-512F) for the stages of 32 points and more ----
//
// Eight butterflies per vector. Unpacking two vectors of four interleaved
// pairs leaves the points in the lane order 0, 4, 1, 5, 2, 6, 3, 7 (kLane8),
// the order of the factors in the wide stage tables. Shorter stages and the
// tails run the AVX2 kernels above, on their tables.

#define SPL_AVX512 __attribute__((target("avx512f,avx2,fma")))

SPL_AVX512 inline __m512d cmulRe512(int S, __m512d yr, __m512d yi, __m512d c, __m512d s) {
  return S > 0 ? _mm512_fmsub_pd(yr, c, _mm512_mul_pd(yi, s))
               : _mm512_fmadd_pd(yi, s, _mm512_mul_pd(yr, c));
}
SPL_AVX512 inline __m512d cmulIm512(int S, __m512d yr, __m512d yi, __m512d c, __m512d s) {
  return S > 0 ? _mm512_fmadd_pd(yr, s, _mm512_mul_pd(yi, c))
               : _mm512_fmsub_pd(yi, c, _mm512_mul_pd(yr, s));
}

SPL_AVX512 inline void load512(const double* p, __m512d& re, __m512d& im) {
  const __m512d u = _mm512_loadu_pd(p), v = _mm512_loadu_pd(p + 8);
  re = _mm512_unpacklo_pd(u, v);
  im = _mm512_unpackhi_pd(u, v);
}

SPL_AVX512 inline void store512(double* p, __m512d re, __m512d im) {
  _mm512_storeu_pd(p, _mm512_unpacklo_pd(re, im));
  _mm512_storeu_pd(p + 8, _mm512_unpackhi_pd(re, im));
}

// The factors of eight butterflies: cos w1, sin w1, cos w3, sin w3, and the
// cos w2, sin w2 made from them.
struct Factors512 {
  __m512d c1, s1, c2, s2, c3, s3;
};

SPL_AVX512 inline Factors512 factors512(const double* t) {
  Factors512 f;
  f.c1 = _mm512_loadu_pd(t);
  f.s1 = _mm512_loadu_pd(t + 8);
  f.c3 = _mm512_loadu_pd(t + 16);
  f.s3 = _mm512_loadu_pd(t + 24);
  f.c2 = _mm512_fmsub_pd(f.c1, f.c1, _mm512_mul_pd(f.s1, f.s1));
  f.s2 = _mm512_mul_pd(_mm512_add_pd(f.c1, f.c1), f.s1);
  return f;
}

// x + S i y into p, x - S i y into n.
template <int S>
SPL_AVX512 inline void plusMinusTurned512(__m512d xr, __m512d xi, __m512d yr, __m512d yi,
                                          __m512d& pr, __m512d& pi, __m512d& nr, __m512d& ni) {
  pr = S > 0 ? _mm512_sub_pd(xr, yi) : _mm512_add_pd(xr, yi);
  pi = S > 0 ? _mm512_add_pd(xi, yr) : _mm512_sub_pd(xi, yr);
  nr = S > 0 ? _mm512_add_pd(xr, yi) : _mm512_sub_pd(xr, yi);
  ni = S > 0 ? _mm512_sub_pd(xi, yr) : _mm512_add_pd(xi, yr);
}

// One forward butterfly of eight lanes on the quarters x0..x3; results to
// quarters 0..3 as radix4StageVector stores them.
template <int S>
SPL_AVX512 inline void butterfly512(__m512d x0r, __m512d x0i, __m512d x1r, __m512d x1i, __m512d x2r,
                                    __m512d x2i, __m512d x3r, __m512d x3i, const Factors512& f,
                                    double* a0, double* a1, double* a2, double* a3) {
  const __m512d t0r = _mm512_add_pd(x0r, x2r), t0i = _mm512_add_pd(x0i, x2i);
  const __m512d t1r = _mm512_sub_pd(x0r, x2r), t1i = _mm512_sub_pd(x0i, x2i);
  const __m512d t2r = _mm512_add_pd(x1r, x3r), t2i = _mm512_add_pd(x1i, x3i);
  const __m512d dr = _mm512_sub_pd(x1r, x3r), di = _mm512_sub_pd(x1i, x3i);
  const __m512d y2r = _mm512_sub_pd(t0r, t2r), y2i = _mm512_sub_pd(t0i, t2i);
  __m512d y1r, y1i, y3r, y3i;
  plusMinusTurned512<S>(t1r, t1i, dr, di, y1r, y1i, y3r, y3i);
  store512(a0, _mm512_add_pd(t0r, t2r), _mm512_add_pd(t0i, t2i));
  store512(a1, cmulRe512(S, y2r, y2i, f.c2, f.s2), cmulIm512(S, y2r, y2i, f.c2, f.s2));
  store512(a2, cmulRe512(S, y1r, y1i, f.c1, f.s1), cmulIm512(S, y1r, y1i, f.c1, f.s1));
  store512(a3, cmulRe512(S, y3r, y3i, f.c3, f.s3), cmulIm512(S, y3r, y3i, f.c3, f.s3));
}

template <int S>
SPL_AVX512 void radix4Stage512(double* a, std::size_t L, const double* t) {
  const std::size_t q = L >> 2;
  double* a0 = a;
  double* a1 = a + 2 * q;
  double* a2 = a + 4 * q;
  double* a3 = a + 6 * q;
  for (std::size_t j = 0; j < 2 * q; j += 16, t += 32) {
    __m512d x0r, x0i, x1r, x1i, x2r, x2i, x3r, x3i;
    load512(a0 + j, x0r, x0i);
    load512(a1 + j, x1r, x1i);
    load512(a2 + j, x2r, x2i);
    load512(a3 + j, x3r, x3i);
    butterfly512<S>(x0r, x0i, x1r, x1i, x2r, x2i, x3r, x3i, factors512(t), a0 + j, a1 + j, a2 + j,
                    a3 + j);
  }
}

// The transposed butterfly: factors first, then the butterfly; z[0..7] are
// the real and imaginary results of quarters 0..3.
template <int S>
SPL_AVX512 inline void transposed512(const double* a0, const double* a1, const double* a2,
                                     const double* a3, const double* t, __m512d z[8]) {
  __m512d y0r, y0i, x1r, x1i, x2r, x2i, x3r, x3i;
  load512(a0, y0r, y0i);
  load512(a1, x1r, x1i);
  load512(a2, x2r, x2i);
  load512(a3, x3r, x3i);
  const Factors512 f = factors512(t);
  const __m512d y2r = cmulRe512(S, x1r, x1i, f.c2, f.s2), y2i = cmulIm512(S, x1r, x1i, f.c2, f.s2);
  const __m512d y1r = cmulRe512(S, x2r, x2i, f.c1, f.s1), y1i = cmulIm512(S, x2r, x2i, f.c1, f.s1);
  const __m512d y3r = cmulRe512(S, x3r, x3i, f.c3, f.s3), y3i = cmulIm512(S, x3r, x3i, f.c3, f.s3);
  const __m512d e0r = _mm512_add_pd(y0r, y2r), e0i = _mm512_add_pd(y0i, y2i);
  const __m512d e1r = _mm512_sub_pd(y0r, y2r), e1i = _mm512_sub_pd(y0i, y2i);
  const __m512d f0r = _mm512_add_pd(y1r, y3r), f0i = _mm512_add_pd(y1i, y3i);
  const __m512d f1r = _mm512_sub_pd(y1r, y3r), f1i = _mm512_sub_pd(y1i, y3i);
  z[0] = _mm512_add_pd(e0r, f0r);
  z[1] = _mm512_add_pd(e0i, f0i);
  z[4] = _mm512_sub_pd(e0r, f0r);
  z[5] = _mm512_sub_pd(e0i, f0i);
  plusMinusTurned512<S>(e1r, e1i, f1r, f1i, z[2], z[3], z[6], z[7]);
}

template <int S>
SPL_AVX512 void radix4StageTransposed512(double* a, std::size_t L, const double* t) {
  const std::size_t q = L >> 2;
  double* a0 = a;
  double* a1 = a + 2 * q;
  double* a2 = a + 4 * q;
  double* a3 = a + 6 * q;
  for (std::size_t j = 0; j < 2 * q; j += 16, t += 32) {
    __m512d z[8];
    transposed512<S>(a0 + j, a1 + j, a2 + j, a3 + j, t, z);
    store512(a0 + j, z[0], z[1]);
    store512(a1 + j, z[2], z[3]);
    store512(a2 + j, z[4], z[5]);
    store512(a3 + j, z[6], z[7]);
  }
}

// difTransformVector with the wide stages.
template <int S>
SPL_AVX512 void difTransformWide(double* a, std::size_t L, const double* t) {
  if (L > kCacheBlock) {
    radix4Stage512<S>(a, L, t);
    const std::size_t q = L >> 2;
    for (std::size_t s = 0; s < 4; ++s) difTransformWide<S>(a + 2 * s * q, q, t + L);
    return;
  }
  std::size_t len = L;
  for (; len >= 32; t += len, len >>= 2) {
    for (std::size_t b = 0; b < L; b += len) radix4Stage512<S>(a + 2 * b, len, t);
  }
  if (len == 16) {
    for (std::size_t b = 0; b < L; b += 16) radix4StageVector<S>(a + 2 * b, 16, t);
    len = 4;
  }
  tailVector<S>(a, L, len);
}

// ditTransformVector with the wide stages (L a power of 4).
template <int S>
SPL_AVX512 void ditTransformWide(double* a, std::size_t L, const double* t) {
  if (L > kCacheBlock) {
    const std::size_t q = L >> 2;
    for (std::size_t s = 0; s < 4; ++s) ditTransformWide<S>(a + 2 * s * q, q, t + L);
    radix4StageTransposed512<S>(a, L, t);
    return;
  }
  std::size_t offsets[32];
  std::size_t stages = 0, offset = 0, len = L;
  for (; len >= 16; offset += len, len >>= 2) offsets[stages++] = offset;
  tail4TransposedVector<S>(a, L);
  while (stages > 0) {
    --stages;
    const std::size_t stageLength = L >> (2 * stages);
    for (std::size_t b = 0; b < L; b += stageLength) {
      if (stageLength >= 32) {
        radix4StageTransposed512<S>(a + 2 * b, stageLength, t + offsets[stages]);
      } else {
        radix4StageTransposedVector<S>(a + 2 * b, stageLength, t + offsets[stages]);
      }
    }
  }
}

// Eight real samples from xs at point j / 2 on, in the lane order kLane8,
// times their factors from fs.
SPL_AVX512 inline void loadRealTimesFactor512(const double* xs, const double* fs, std::size_t j,
                                              __m512d& re, __m512d& im) {
  const __m512i order = _mm512_set_epi64(7, 3, 6, 2, 5, 1, 4, 0);
  const __m512d samples = _mm512_permutexvar_pd(order, _mm512_loadu_pd(xs + j / 2));
  __m512d fr, fi;
  load512(fs + j, fr, fi);
  re = _mm512_mul_pd(samples, fr);
  im = _mm512_mul_pd(samples, fi);
}

template <int S>
SPL_AVX512 void rotatedRealTransformWide(const double* x, const double* factor, double* a,
                                         std::size_t L, const double* t) {
  const std::size_t q = L >> 2;
  const double* x0 = x + 2 * q;
  const double* x1 = x + 3 * q;
  const double* x2 = x;
  const double* x3 = x + q;
  const double* tt = t;
  for (std::size_t j = 0; j < 2 * q; j += 16, tt += 32) {
    __m512d x0r, x0i, x1r, x1i, x2r, x2i, x3r, x3i;
    loadRealTimesFactor512(x0, factor, j, x0r, x0i);
    loadRealTimesFactor512(x1, factor + 2 * q, j, x1r, x1i);
    loadRealTimesFactor512(x2, factor + 4 * q, j, x2r, x2i);
    loadRealTimesFactor512(x3, factor + 6 * q, j, x3r, x3i);
    butterfly512<S>(x0r, x0i, x1r, x1i, x2r, x2i, x3r, x3i, factors512(tt), a + j, a + 2 * q + j,
                    a + 4 * q + j, a + 6 * q + j);
  }
  for (std::size_t s = 0; s < 4; ++s) difTransformWide<S>(a + 2 * s * q, q, t + L);
}

// Adds w * Re(conj(factor) * z) of eight points, in the lane order kLane8, to
// the sums of their positions.
SPL_AVX512 inline void accumulate512(__m512d w, __m512d zr, __m512d zi, const double* fs,
                                     double* sums, std::size_t j) {
  __m512d fr, fi;
  load512(fs + j, fr, fi);
  const __m512d part = _mm512_fmadd_pd(fr, zr, _mm512_mul_pd(fi, zi));
  const __m512i natural = _mm512_set_epi64(7, 5, 3, 1, 6, 4, 2, 0);
  double* s = sums + j / 2;
  _mm512_storeu_pd(s, _mm512_fmadd_pd(w, _mm512_permutexvar_pd(natural, part), _mm512_loadu_pd(s)));
}

template <int S>
SPL_AVX512 void transformFromReversedAndAccumulateWide(double* a, std::size_t L, const double* t,
                                                       const double* factor, double weight,
                                                       double* sum) {
  const std::size_t q = L >> 2;
  for (std::size_t s = 0; s < 4; ++s) ditTransformWide<S>(a + 2 * s * q, q, t + L);
  const __m512d w = _mm512_set1_pd(weight);
  for (std::size_t j = 0; j < 2 * q; j += 16, t += 32) {
    __m512d z[8];
    transposed512<S>(a + j, a + 2 * q + j, a + 4 * q + j, a + 6 * q + j, t, z);
    accumulate512(w, z[0], z[1], factor, sum, j);
    accumulate512(w, z[2], z[3], factor + 2 * q, sum + q, j);
    accumulate512(w, z[4], z[5], factor + 4 * q, sum + 2 * q, j);
    accumulate512(w, z[6], z[7], factor + 6 * q, sum + 3 * q, j);
  }
}

}  // namespace

bool processorHasVectorUnits() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  }();
  return has;
}

bool processorHasWideUnits() {
  static const bool has = [] {
    __builtin_cpu_init();
    return processorHasVectorUnits() && __builtin_cpu_supports("avx512f");
  }();
  return has;
}

namespace avx512 {

SPL_AVX512 void rotatedRealTransform(int sign, const double* x, const double* factor, double* out,
                                     std::size_t m, const double* t) {
  if (sign > 0) {
    rotatedRealTransformWide<1>(x, factor, out, m, t);
  } else {
    rotatedRealTransformWide<-1>(x, factor, out, m, t);
  }
}

SPL_AVX512 void transformFromReversedAndAccumulate(int sign, double* a, std::size_t m,
                                                   const double* t, const double* factor,
                                                   double weight, double* sum) {
  if (sign > 0) {
    transformFromReversedAndAccumulateWide<1>(a, m, t, factor, weight, sum);
  } else {
    transformFromReversedAndAccumulateWide<-1>(a, m, t, factor, weight, sum);
  }
}

}  // namespace avx512

namespace avx2 {

SPL_AVX2 void complexTransform(int sign, double* a, std::size_t m, const double* t) {
  if (sign > 0) {
    difTransformVector<1>(a, m, t);
  } else {
    difTransformVector<-1>(a, m, t);
  }
}

SPL_AVX2 void complexTransformFromReversed(int sign, double* a, std::size_t m, const double* t) {
  if (sign > 0) {
    ditTransformVector<1>(a, m, t);
  } else {
    ditTransformVector<-1>(a, m, t);
  }
}

SPL_AVX2 void rotatedRealTransform(int sign, const double* x, const double* factor, double* out,
                                   std::size_t m, const double* t) {
  // The first stage over all m points, then each quarter on its own, as
  // difTransformVector does after its first stage.
  const std::size_t q = m >> 2;
  if (sign > 0) {
    radix4StageFromRotatedReal<1>(x, factor, out, m, t);
    for (std::size_t s = 0; s < 4; ++s) difTransformVector<1>(out + 2 * s * q, q, t + m);
  } else {
    radix4StageFromRotatedReal<-1>(x, factor, out, m, t);
    for (std::size_t s = 0; s < 4; ++s) difTransformVector<-1>(out + 2 * s * q, q, t + m);
  }
}

SPL_AVX2 void transformFromReversedAndAccumulate(int sign, double* a, std::size_t m,
                                                 const double* t, const double* factor,
                                                 double weight, double* sum) {
  const std::size_t q = m >> 2;
  if (sign > 0) {
    for (std::size_t s = 0; s < 4; ++s) ditTransformVector<1>(a + 2 * s * q, q, t + m);
    radix4StageTransposedAccumulate<1>(a, m, t, factor, weight, sum);
  } else {
    for (std::size_t s = 0; s < 4; ++s) ditTransformVector<-1>(a + 2 * s * q, q, t + m);
    radix4StageTransposedAccumulate<-1>(a, m, t, factor, weight, sum);
  }
}

SPL_AVX2 void splitForward(double* a, std::size_t m, const double* rs, double scale) {
  splitForwardVector(a, m, rs, scale);
}

SPL_AVX2 void splitInverse(double* a, std::size_t m, const double* rs) {
  splitInverseVector(a, m, rs);
}

}  // namespace avx2

#else

bool processorHasVectorUnits() { return false; }
bool processorHasWideUnits() { return false; }

namespace avx512 {
void rotatedRealTransform(int, const double*, const double*, double*, std::size_t, const double*) {}
void transformFromReversedAndAccumulate(int, double*, std::size_t, const double*, const double*,
                                        double, double*) {}
}  // namespace avx512

// Never reached: the dispatch in FourierKernels.cpp asks processorHasVectorUnits() first.
namespace avx2 {
void complexTransform(int sign, double* a, std::size_t m, const double* t) {
  spl::fourier::complexTransform(sign, a, m, t, false);
}
void complexTransformFromReversed(int, double*, std::size_t, const double*) {}
void rotatedRealTransform(int, const double*, const double*, double*, std::size_t, const double*) {}
void transformFromReversedAndAccumulate(int, double*, std::size_t, const double*, const double*,
                                        double, double*) {}
void splitForward(double*, std::size_t, const double*, double) {}
void splitInverse(double*, std::size_t, const double*) {}
}  // namespace avx2

#endif

}  // namespace spl::fourier
