#include "spl/block/FourierKernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
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

template <int S>
SPL_AVX2 void radix4StageVector(double* a, std::size_t L, const double* t) {
  const std::size_t q = L >> 2;
  double* a0 = a;
  double* a1 = a + 2 * q;
  double* a2 = a + 4 * q;
  double* a3 = a + 6 * q;
  for (std::size_t j = 0; j < 2 * q; j += 8, t += 16) {
    __m256d u, v;
    u = _mm256_loadu_pd(a0 + j);
    v = _mm256_loadu_pd(a0 + j + 4);
    const __m256d x0r = _mm256_unpacklo_pd(u, v), x0i = _mm256_unpackhi_pd(u, v);
    u = _mm256_loadu_pd(a1 + j);
    v = _mm256_loadu_pd(a1 + j + 4);
    const __m256d x1r = _mm256_unpacklo_pd(u, v), x1i = _mm256_unpackhi_pd(u, v);
    u = _mm256_loadu_pd(a2 + j);
    v = _mm256_loadu_pd(a2 + j + 4);
    const __m256d x2r = _mm256_unpacklo_pd(u, v), x2i = _mm256_unpackhi_pd(u, v);
    u = _mm256_loadu_pd(a3 + j);
    v = _mm256_loadu_pd(a3 + j + 4);
    const __m256d x3r = _mm256_unpacklo_pd(u, v), x3i = _mm256_unpackhi_pd(u, v);
    const __m256d t0r = _mm256_add_pd(x0r, x2r), t0i = _mm256_add_pd(x0i, x2i);
    const __m256d t1r = _mm256_sub_pd(x0r, x2r), t1i = _mm256_sub_pd(x0i, x2i);
    const __m256d t2r = _mm256_add_pd(x1r, x3r), t2i = _mm256_add_pd(x1i, x3i);
    const __m256d dr = _mm256_sub_pd(x1r, x3r), di = _mm256_sub_pd(x1i, x3i);
    const __m256d y0r = _mm256_add_pd(t0r, t2r), y0i = _mm256_add_pd(t0i, t2i);
    const __m256d y2r = _mm256_sub_pd(t0r, t2r), y2i = _mm256_sub_pd(t0i, t2i);
    // y1 = t1 + S i d, y3 = t1 - S i d.
    const __m256d y1r = S > 0 ? _mm256_sub_pd(t1r, di) : _mm256_add_pd(t1r, di);
    const __m256d y1i = S > 0 ? _mm256_add_pd(t1i, dr) : _mm256_sub_pd(t1i, dr);
    const __m256d y3r = S > 0 ? _mm256_add_pd(t1r, di) : _mm256_sub_pd(t1r, di);
    const __m256d y3i = S > 0 ? _mm256_sub_pd(t1i, dr) : _mm256_add_pd(t1i, dr);
    const __m256d c1 = _mm256_loadu_pd(t), s1 = _mm256_loadu_pd(t + 4);
    const __m256d c3 = _mm256_loadu_pd(t + 8), s3 = _mm256_loadu_pd(t + 12);
    const __m256d c2 = _mm256_fmsub_pd(c1, c1, _mm256_mul_pd(s1, s1));
    const __m256d s2 = _mm256_mul_pd(_mm256_add_pd(c1, c1), s1);
    const __m256d z1r = cmulRe(S, y2r, y2i, c2, s2), z1i = cmulIm(S, y2r, y2i, c2, s2);
    const __m256d z2r = cmulRe(S, y1r, y1i, c1, s1), z2i = cmulIm(S, y1r, y1i, c1, s1);
    const __m256d z3r = cmulRe(S, y3r, y3i, c3, s3), z3i = cmulIm(S, y3r, y3i, c3, s3);
    _mm256_storeu_pd(a0 + j, _mm256_unpacklo_pd(y0r, y0i));
    _mm256_storeu_pd(a0 + j + 4, _mm256_unpackhi_pd(y0r, y0i));
    _mm256_storeu_pd(a1 + j, _mm256_unpacklo_pd(z1r, z1i));
    _mm256_storeu_pd(a1 + j + 4, _mm256_unpackhi_pd(z1r, z1i));
    _mm256_storeu_pd(a2 + j, _mm256_unpacklo_pd(z2r, z2i));
    _mm256_storeu_pd(a2 + j + 4, _mm256_unpackhi_pd(z2r, z2i));
    _mm256_storeu_pd(a3 + j, _mm256_unpacklo_pd(z3r, z3i));
    _mm256_storeu_pd(a3 + j + 4, _mm256_unpackhi_pd(z3r, z3i));
  }
}

// Butterflies of the two complex values within one vector: [u, v] -> [u + v, u - v].
SPL_AVX2 inline __m256d butterflyHalves(__m256d x) {
  const __m256d swapped = _mm256_permute2f128_pd(x, x, 1);
  return _mm256_blend_pd(_mm256_add_pd(x, swapped), _mm256_sub_pd(swapped, x), 0b1100);
}

// tail4 for the vector path: each block of four points is two vectors.
template <int S>
SPL_AVX2 void tail4Vector(double* a, std::size_t L) {
  // Negates the real part (S = +1) or the imaginary part (S = -1) of the upper value.
  const __m256d sign =
      S > 0 ? _mm256_set_pd(0.0, -0.0, 0.0, 0.0) : _mm256_set_pd(-0.0, 0.0, 0.0, 0.0);
  for (std::size_t b = 0; b < 2 * L; b += 8) {
    const __m256d v0 = _mm256_loadu_pd(a + b), v1 = _mm256_loadu_pd(a + b + 4);
    const __m256d sums = _mm256_add_pd(v0, v1);         // [t0, t2]
    const __m256d differences = _mm256_sub_pd(v0, v1);  // [t1, d]
    // [t1, S i d]: swap the parts of d, then fix the sign.
    const __m256d turned = _mm256_xor_pd(_mm256_permute_pd(differences, 0b0110), sign);
    _mm256_storeu_pd(a + b, butterflyHalves(sums));
    _mm256_storeu_pd(a + b + 4, butterflyHalves(turned));
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


// The transposed stage (see FourierKernels.cpp): factors first, then the butterfly.
template <int S>
SPL_AVX2 void radix4StageTransposedVector(double* a, std::size_t L, const double* t) {
  const std::size_t q = L >> 2;
  double* a0 = a;
  double* a1 = a + 2 * q;
  double* a2 = a + 4 * q;
  double* a3 = a + 6 * q;
  for (std::size_t j = 0; j < 2 * q; j += 8, t += 16) {
    __m256d u, v;
    u = _mm256_loadu_pd(a0 + j);
    v = _mm256_loadu_pd(a0 + j + 4);
    const __m256d y0r = _mm256_unpacklo_pd(u, v), y0i = _mm256_unpackhi_pd(u, v);
    u = _mm256_loadu_pd(a1 + j);
    v = _mm256_loadu_pd(a1 + j + 4);
    const __m256d x1r = _mm256_unpacklo_pd(u, v), x1i = _mm256_unpackhi_pd(u, v);
    u = _mm256_loadu_pd(a2 + j);
    v = _mm256_loadu_pd(a2 + j + 4);
    const __m256d x2r = _mm256_unpacklo_pd(u, v), x2i = _mm256_unpackhi_pd(u, v);
    u = _mm256_loadu_pd(a3 + j);
    v = _mm256_loadu_pd(a3 + j + 4);
    const __m256d x3r = _mm256_unpacklo_pd(u, v), x3i = _mm256_unpackhi_pd(u, v);
    const __m256d c1 = _mm256_loadu_pd(t), s1 = _mm256_loadu_pd(t + 4);
    const __m256d c3 = _mm256_loadu_pd(t + 8), s3 = _mm256_loadu_pd(t + 12);
    const __m256d c2 = _mm256_fmsub_pd(c1, c1, _mm256_mul_pd(s1, s1));
    const __m256d s2 = _mm256_mul_pd(_mm256_add_pd(c1, c1), s1);
    const __m256d y2r = cmulRe(S, x1r, x1i, c2, s2), y2i = cmulIm(S, x1r, x1i, c2, s2);
    const __m256d y1r = cmulRe(S, x2r, x2i, c1, s1), y1i = cmulIm(S, x2r, x2i, c1, s1);
    const __m256d y3r = cmulRe(S, x3r, x3i, c3, s3), y3i = cmulIm(S, x3r, x3i, c3, s3);
    const __m256d e0r = _mm256_add_pd(y0r, y2r), e0i = _mm256_add_pd(y0i, y2i);
    const __m256d e1r = _mm256_sub_pd(y0r, y2r), e1i = _mm256_sub_pd(y0i, y2i);
    const __m256d f0r = _mm256_add_pd(y1r, y3r), f0i = _mm256_add_pd(y1i, y3i);
    const __m256d f1r = _mm256_sub_pd(y1r, y3r), f1i = _mm256_sub_pd(y1i, y3i);
    const __m256d z0r = _mm256_add_pd(e0r, f0r), z0i = _mm256_add_pd(e0i, f0i);
    const __m256d z2r = _mm256_sub_pd(e0r, f0r), z2i = _mm256_sub_pd(e0i, f0i);
    // e1 +- S i f1.
    const __m256d z1r = S > 0 ? _mm256_sub_pd(e1r, f1i) : _mm256_add_pd(e1r, f1i);
    const __m256d z1i = S > 0 ? _mm256_add_pd(e1i, f1r) : _mm256_sub_pd(e1i, f1r);
    const __m256d z3r = S > 0 ? _mm256_add_pd(e1r, f1i) : _mm256_sub_pd(e1r, f1i);
    const __m256d z3i = S > 0 ? _mm256_sub_pd(e1i, f1r) : _mm256_add_pd(e1i, f1r);
    _mm256_storeu_pd(a0 + j, _mm256_unpacklo_pd(z0r, z0i));
    _mm256_storeu_pd(a0 + j + 4, _mm256_unpackhi_pd(z0r, z0i));
    _mm256_storeu_pd(a1 + j, _mm256_unpacklo_pd(z1r, z1i));
    _mm256_storeu_pd(a1 + j + 4, _mm256_unpackhi_pd(z1r, z1i));
    _mm256_storeu_pd(a2 + j, _mm256_unpacklo_pd(z2r, z2i));
    _mm256_storeu_pd(a2 + j + 4, _mm256_unpackhi_pd(z2r, z2i));
    _mm256_storeu_pd(a3 + j, _mm256_unpacklo_pd(z3r, z3i));
    _mm256_storeu_pd(a3 + j + 4, _mm256_unpackhi_pd(z3r, z3i));
  }
}

template <int S>
SPL_AVX2 void tail4TransposedVector(double* a, std::size_t L) {
  const __m256d sign =
      S > 0 ? _mm256_set_pd(0.0, -0.0, 0.0, 0.0) : _mm256_set_pd(-0.0, 0.0, 0.0, 0.0);
  for (std::size_t b = 0; b < 2 * L; b += 8) {
    // The four points arrive as sums 0, 2, 1, 3: [e0, e1] and [f0, f1].
    const __m256d e = butterflyHalves(_mm256_loadu_pd(a + b));
    const __m256d f = butterflyHalves(_mm256_loadu_pd(a + b + 4));
    // [f0, S i f1]: swap the parts of f1, then fix the sign.
    const __m256d turned = _mm256_xor_pd(_mm256_permute_pd(f, 0b0110), sign);
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
  const __m256d u = _mm256_loadu_pd(fs + j), v = _mm256_loadu_pd(fs + j + 4);
  re = _mm256_mul_pd(samples, _mm256_unpacklo_pd(u, v));
  im = _mm256_mul_pd(samples, _mm256_unpackhi_pd(u, v));
}

// Adds w * Re(conj(factor) * z) of four points, in the lane order (0, 2, 1, 3),
// to the sums of their positions.
SPL_AVX2 inline void accumulateQuarter(__m256d w, __m256d zr, __m256d zi, const double* fs,
                                       double* sums, std::size_t j) {
  const __m256d u = _mm256_loadu_pd(fs + j), v = _mm256_loadu_pd(fs + j + 4);
  const __m256d fr = _mm256_unpacklo_pd(u, v), fi = _mm256_unpackhi_pd(u, v);
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
    const __m256d t0r = _mm256_add_pd(x0r, x2r), t0i = _mm256_add_pd(x0i, x2i);
    const __m256d t1r = _mm256_sub_pd(x0r, x2r), t1i = _mm256_sub_pd(x0i, x2i);
    const __m256d t2r = _mm256_add_pd(x1r, x3r), t2i = _mm256_add_pd(x1i, x3i);
    const __m256d dr = _mm256_sub_pd(x1r, x3r), di = _mm256_sub_pd(x1i, x3i);
    const __m256d y0r = _mm256_add_pd(t0r, t2r), y0i = _mm256_add_pd(t0i, t2i);
    const __m256d y2r = _mm256_sub_pd(t0r, t2r), y2i = _mm256_sub_pd(t0i, t2i);
    const __m256d y1r = S > 0 ? _mm256_sub_pd(t1r, di) : _mm256_add_pd(t1r, di);
    const __m256d y1i = S > 0 ? _mm256_add_pd(t1i, dr) : _mm256_sub_pd(t1i, dr);
    const __m256d y3r = S > 0 ? _mm256_add_pd(t1r, di) : _mm256_sub_pd(t1r, di);
    const __m256d y3i = S > 0 ? _mm256_sub_pd(t1i, dr) : _mm256_add_pd(t1i, dr);
    const __m256d c1 = _mm256_loadu_pd(t), s1 = _mm256_loadu_pd(t + 4);
    const __m256d c3 = _mm256_loadu_pd(t + 8), s3 = _mm256_loadu_pd(t + 12);
    const __m256d c2 = _mm256_fmsub_pd(c1, c1, _mm256_mul_pd(s1, s1));
    const __m256d s2 = _mm256_mul_pd(_mm256_add_pd(c1, c1), s1);
    const __m256d z1r = cmulRe(S, y2r, y2i, c2, s2), z1i = cmulIm(S, y2r, y2i, c2, s2);
    const __m256d z2r = cmulRe(S, y1r, y1i, c1, s1), z2i = cmulIm(S, y1r, y1i, c1, s1);
    const __m256d z3r = cmulRe(S, y3r, y3i, c3, s3), z3i = cmulIm(S, y3r, y3i, c3, s3);
    _mm256_storeu_pd(a0 + j, _mm256_unpacklo_pd(y0r, y0i));
    _mm256_storeu_pd(a0 + j + 4, _mm256_unpackhi_pd(y0r, y0i));
    _mm256_storeu_pd(a1 + j, _mm256_unpacklo_pd(z1r, z1i));
    _mm256_storeu_pd(a1 + j + 4, _mm256_unpackhi_pd(z1r, z1i));
    _mm256_storeu_pd(a2 + j, _mm256_unpacklo_pd(z2r, z2i));
    _mm256_storeu_pd(a2 + j + 4, _mm256_unpackhi_pd(z2r, z2i));
    _mm256_storeu_pd(a3 + j, _mm256_unpacklo_pd(z3r, z3i));
    _mm256_storeu_pd(a3 + j + 4, _mm256_unpackhi_pd(z3r, z3i));
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
    __m256d u, v;
    u = _mm256_loadu_pd(a0 + j);
    v = _mm256_loadu_pd(a0 + j + 4);
    const __m256d y0r = _mm256_unpacklo_pd(u, v), y0i = _mm256_unpackhi_pd(u, v);
    u = _mm256_loadu_pd(a1 + j);
    v = _mm256_loadu_pd(a1 + j + 4);
    const __m256d x1r = _mm256_unpacklo_pd(u, v), x1i = _mm256_unpackhi_pd(u, v);
    u = _mm256_loadu_pd(a2 + j);
    v = _mm256_loadu_pd(a2 + j + 4);
    const __m256d x2r = _mm256_unpacklo_pd(u, v), x2i = _mm256_unpackhi_pd(u, v);
    u = _mm256_loadu_pd(a3 + j);
    v = _mm256_loadu_pd(a3 + j + 4);
    const __m256d x3r = _mm256_unpacklo_pd(u, v), x3i = _mm256_unpackhi_pd(u, v);
    const __m256d c1 = _mm256_loadu_pd(t), s1 = _mm256_loadu_pd(t + 4);
    const __m256d c3 = _mm256_loadu_pd(t + 8), s3 = _mm256_loadu_pd(t + 12);
    const __m256d c2 = _mm256_fmsub_pd(c1, c1, _mm256_mul_pd(s1, s1));
    const __m256d s2 = _mm256_mul_pd(_mm256_add_pd(c1, c1), s1);
    const __m256d y2r = cmulRe(S, x1r, x1i, c2, s2), y2i = cmulIm(S, x1r, x1i, c2, s2);
    const __m256d y1r = cmulRe(S, x2r, x2i, c1, s1), y1i = cmulIm(S, x2r, x2i, c1, s1);
    const __m256d y3r = cmulRe(S, x3r, x3i, c3, s3), y3i = cmulIm(S, x3r, x3i, c3, s3);
    const __m256d e0r = _mm256_add_pd(y0r, y2r), e0i = _mm256_add_pd(y0i, y2i);
    const __m256d e1r = _mm256_sub_pd(y0r, y2r), e1i = _mm256_sub_pd(y0i, y2i);
    const __m256d f0r = _mm256_add_pd(y1r, y3r), f0i = _mm256_add_pd(y1i, y3i);
    const __m256d f1r = _mm256_sub_pd(y1r, y3r), f1i = _mm256_sub_pd(y1i, y3i);
    accumulateQuarter(w, _mm256_add_pd(e0r, f0r), _mm256_add_pd(e0i, f0i), factor, sum, j);
    accumulateQuarter(w, _mm256_sub_pd(e0r, f0r), _mm256_sub_pd(e0i, f0i), factor + 4 * q,
                      sum + 2 * q, j);
    const __m256d z1r = S > 0 ? _mm256_sub_pd(e1r, f1i) : _mm256_add_pd(e1r, f1i);
    const __m256d z1i = S > 0 ? _mm256_add_pd(e1i, f1r) : _mm256_sub_pd(e1i, f1r);
    const __m256d z3r = S > 0 ? _mm256_add_pd(e1r, f1i) : _mm256_sub_pd(e1r, f1i);
    const __m256d z3i = S > 0 ? _mm256_sub_pd(e1i, f1r) : _mm256_add_pd(e1i, f1r);
    accumulateQuarter(w, z1r, z1i, factor + 2 * q, sum + q, j);
    accumulateQuarter(w, z3r, z3i, factor + 6 * q, sum + 3 * q, j);
  }
}

SPL_AVX2 inline void loadPair(const double* p, __m256d& re, __m256d& im) {
  const __m256d u = _mm256_loadu_pd(p), v = _mm256_loadu_pd(p + 4);
  re = _mm256_unpacklo_pd(u, v);
  im = _mm256_unpackhi_pd(u, v);
}
// Loads the four points ending at p + 8 in reverse order (the partners of a
// rising run of four bins).
SPL_AVX2 inline void loadPairReversed(const double* p, __m256d& re, __m256d& im) {
  const __m256d u = _mm256_loadu_pd(p), v = _mm256_loadu_pd(p + 4);
  const __m256d hi = _mm256_permute2f128_pd(v, v, 1), lo = _mm256_permute2f128_pd(u, u, 1);
  re = _mm256_unpacklo_pd(hi, lo);
  im = _mm256_unpackhi_pd(hi, lo);
}
SPL_AVX2 inline void storePair(double* p, __m256d re, __m256d im) {
  _mm256_storeu_pd(p, _mm256_unpacklo_pd(re, im));
  _mm256_storeu_pd(p + 4, _mm256_unpackhi_pd(re, im));
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

}  // namespace

bool processorHasVectorUnits() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  }();
  return has;
}

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

// Never reached: the dispatch in FourierKernels.cpp asks processorHasVectorUnits() first.
namespace avx2 {
void complexTransform(int sign, double* a, std::size_t m, const double* t) {
  spl::fourier::complexTransform(sign, a, m, t, false);
}
void complexTransformFromReversed(int, double*, std::size_t, const double*) {}
void rotatedRealTransform(int, const double*, const double*, double*, std::size_t,
                          const double*) {}
void transformFromReversedAndAccumulate(int, double*, std::size_t, const double*, const double*,
                                        double, double*) {}
void splitForward(double*, std::size_t, const double*, double) {}
void splitInverse(double*, std::size_t, const double*) {}
}  // namespace avx2

#endif

}  // namespace spl::fourier
