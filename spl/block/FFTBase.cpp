#include "spl/block/FFTBase.h"

#include <atomic>
#include <cmath>
#include <cstddef>
#include <utility>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "spl/util/Failure.h"

namespace spl {

namespace {

constexpr const char* kSource = "spl/block/FFTBase";
constexpr unsigned kLineTooShort = 13;
constexpr unsigned kLineNotPowerOfTwo = 16;

// 2^e by repeated squaring, exact in double precision.
double powerOfTwo(int e) {
  double result = 1.0;
  double base = 2.0;
  for (; e > 0; e >>= 1) {
    if (e & 1) result *= base;
    base *= base;
  }
  return result;
}

// Complex transforms of m = n/2 points held as interleaved (re, im) pairs.
// S = +1 computes Z[k] = sum_j z[j] e^(+2 pi i j k / m), S = -1 the same with
// e^(-...). Radix-4 decimation-in-frequency stages leave the spectrum in
// bit-reversed order; a blocked permutation restores natural order.
//
// Table layout in the floating-point work area:
// - stage tables, one per radix-4 stage of length L = m, m/4, ... down to 16,
//   each L doubles, the largest first: per group of four butterflies
//   j = 4g + kLane[i] (i = 0..3) the values cos w1, sin w1, cos w3, sin w3,
//   four of each, where w1 = 2 pi j / L and w3 = 3 w1. The lane order is the
//   order in which two vectors of two complex values come apart into real
//   and imaginary parts, so vector code loads the factors as they lie.
// - directly behind them the real-split table: per group of four bins
//   k = 4g + kLane[i], four cos and four sin of 2 pi k / n, for k < m/2 (a
//   table of fewer than four bins still spans one group). Built when n > 4.

constexpr std::size_t kLane[4] = {0, 2, 1, 3};

// Sub-blocks of at most this many complex points are finished stage by stage
// while they sit in the cache; larger ones are split depth first.
constexpr std::size_t kCacheBlock = 8192;

std::size_t stageTablesSize(std::size_t m) {
  std::size_t size = 0;
  for (std::size_t L = m; L >= 16; L >>= 2) size += L;
  return size;
}

inline double splitCos(const double* rs, std::size_t k) { return rs[8 * (k >> 2) + kLane[k & 3]]; }
inline double splitSin(const double* rs, std::size_t k) {
  return rs[8 * (k >> 2) + 4 + kLane[k & 3]];
}

// ---- Portable kernels ----

// One radix-4 stage over L >= 16 points at a with its stage table t. The
// outputs of each butterfly go to the quarters in the order of sums 0, 2, 1,
// 3, which is what keeps the overall result in bit-reversed order.
template <int S>
void radix4Stage(double* a, std::size_t L, const double* t) {
  const std::size_t q = L >> 2;
  double* __restrict a0 = a;
  double* __restrict a1 = a + 2 * q;
  double* __restrict a2 = a + 4 * q;
  double* __restrict a3 = a + 6 * q;
  for (std::size_t g = 0; g < q; g += 4, t += 16) {
    for (std::size_t i = 0; i < 4; ++i) {
      const std::size_t j = 2 * (g + kLane[i]);
      const double x0r = a0[j], x0i = a0[j + 1];
      const double x1r = a1[j], x1i = a1[j + 1];
      const double x2r = a2[j], x2i = a2[j + 1];
      const double x3r = a3[j], x3i = a3[j + 1];
      const double t0r = x0r + x2r, t0i = x0i + x2i;
      const double t1r = x0r - x2r, t1i = x0i - x2i;
      const double t2r = x1r + x3r, t2i = x1i + x3i;
      const double dr = x1r - x3r, di = x1i - x3i;
      // (x1 - x3) times S i.
      const double t3r = -S * di, t3i = S * dr;
      const double y0r = t0r + t2r, y0i = t0i + t2i;
      const double y2r = t0r - t2r, y2i = t0i - t2i;
      const double y1r = t1r + t3r, y1i = t1i + t3i;
      const double y3r = t1r - t3r, y3i = t1i - t3i;
      const double c1 = t[i], s1 = S * t[4 + i];
      const double c3 = t[8 + i], s3 = S * t[12 + i];
      const double c2 = c1 * c1 - s1 * s1, s2 = 2.0 * c1 * s1;
      a0[j] = y0r;
      a0[j + 1] = y0i;
      a1[j] = y2r * c2 - y2i * s2;
      a1[j + 1] = y2i * c2 + y2r * s2;
      a2[j] = y1r * c1 - y1i * s1;
      a2[j + 1] = y1i * c1 + y1r * s1;
      a3[j] = y3r * c3 - y3i * s3;
      a3[j + 1] = y3i * c3 + y3r * s3;
    }
  }
}

// The last stages of blocks of 4 points: one radix-4 butterfly without factors.
template <int S>
void tail4(double* a, std::size_t L) {
  for (std::size_t b = 0; b < 2 * L; b += 8) {
    double* x = a + b;
    const double t0r = x[0] + x[4], t0i = x[1] + x[5];
    const double t1r = x[0] - x[4], t1i = x[1] - x[5];
    const double t2r = x[2] + x[6], t2i = x[3] + x[7];
    const double dr = x[2] - x[6], di = x[3] - x[7];
    const double t3r = -S * di, t3i = S * dr;
    x[0] = t0r + t2r;
    x[1] = t0i + t2i;
    x[2] = t0r - t2r;
    x[3] = t0i - t2i;
    x[4] = t1r + t3r;
    x[5] = t1i + t3i;
    x[6] = t1r - t3r;
    x[7] = t1i - t3i;
  }
}

// The last stages of blocks of 8 points: a radix-4 stage of length 8, then
// radix-2 butterflies of neighbours.
template <int S>
void tail8(double* a, std::size_t L) {
  const double h = 0.70710678118654752440084436210485;
  for (std::size_t b = 0; b < 2 * L; b += 16) {
    double y[16];
    for (std::size_t j = 0; j < 2; ++j) {
      const double* x = a + b + 2 * j;
      const double t0r = x[0] + x[8], t0i = x[1] + x[9];
      const double t1r = x[0] - x[8], t1i = x[1] - x[9];
      const double t2r = x[4] + x[12], t2i = x[5] + x[13];
      const double dr = x[4] - x[12], di = x[5] - x[13];
      const double t3r = -S * di, t3i = S * dr;
      double y0r = t0r + t2r, y0i = t0i + t2i;
      double y2r = t0r - t2r, y2i = t0i - t2i;
      double y1r = t1r + t3r, y1i = t1i + t3i;
      double y3r = t1r - t3r, y3i = t1i - t3i;
      if (j == 1) {
        // Factors e^(S i pi/4), e^(S i pi/2) and e^(3 S i pi/4).
        double r = h * (y1r - S * y1i), i = h * (y1i + S * y1r);
        y1r = r;
        y1i = i;
        r = -S * y2i;
        i = S * y2r;
        y2r = r;
        y2i = i;
        r = h * (-y3r - S * y3i);
        i = h * (-y3i + S * y3r);
        y3r = r;
        y3i = i;
      }
      y[2 * j] = y0r;
      y[2 * j + 1] = y0i;
      y[4 + 2 * j] = y2r;
      y[5 + 2 * j] = y2i;
      y[8 + 2 * j] = y1r;
      y[9 + 2 * j] = y1i;
      y[12 + 2 * j] = y3r;
      y[13 + 2 * j] = y3i;
    }
    double* x = a + b;
    for (std::size_t p = 0; p < 16; p += 4) {
      x[p] = y[p] + y[p + 2];
      x[p + 1] = y[p + 1] + y[p + 3];
      x[p + 2] = y[p] - y[p + 2];
      x[p + 3] = y[p + 1] - y[p + 3];
    }
  }
}

template <int S>
void tail(double* a, std::size_t L, std::size_t len) {
  if (len == 4) {
    tail4<S>(a, L);
  } else if (len == 8) {
    tail8<S>(a, L);
  } else if (len == 2) {
    const double x0r = a[0], x0i = a[1];
    a[0] = x0r + a[2];
    a[1] = x0i + a[3];
    a[2] = x0r - a[2];
    a[3] = x0i - a[3];
  }
}

template <int S>
void difTransform(double* a, std::size_t L, const double* t) {
  if (L > kCacheBlock) {
    radix4Stage<S>(a, L, t);
    const std::size_t q = L >> 2;
    for (std::size_t s = 0; s < 4; ++s) difTransform<S>(a + 2 * s * q, q, t + L);
    return;
  }
  std::size_t len = L;
  for (; len >= 16; t += len, len >>= 2) {
    for (std::size_t b = 0; b < L; b += len) radix4Stage<S>(a + 2 * b, len, t);
  }
  tail<S>(a, L, len);
}

// ---- Bit reversal ----

std::size_t reverseBits(std::size_t v, unsigned bits) {
  std::size_t r = 0;
  for (unsigned i = 0; i < bits; ++i, v >>= 1) r = (r << 1) | (v & 1);
  return r;
}

// Puts the m = 2^bits points into natural order and multiplies them by scale.
// Large transforms move square tiles: index (a, c, d) with a and d of
// kTileBits bits goes to (rev d, rev c, rev a), so every tile is read and
// written in runs of 2^kTileBits consecutive points.
constexpr unsigned kTileBits = 4;
constexpr std::size_t kTile = std::size_t(1) << kTileBits;

void bitReverse(double* a, std::size_t m, double scale, const int* tileReverse) {
  unsigned bits = 0;
  while ((std::size_t(1) << bits) < m) ++bits;
  if (bits < 2 * kTileBits + 2) {
    for (std::size_t i = 0; i < m; ++i) {
      const std::size_t j = reverseBits(i, bits);
      if (i < j) {
        std::swap(a[2 * i], a[2 * j]);
        std::swap(a[2 * i + 1], a[2 * j + 1]);
      }
    }
    if (scale != 1.0) {
      for (std::size_t i = 0; i < 2 * m; ++i) a[i] *= scale;
    }
    return;
  }
  const int* rev = tileReverse;
  const unsigned middleBits = bits - 2 * kTileBits;
  const unsigned highShift = bits - kTileBits;
  double tileA[2 * kTile * kTile], tileB[2 * kTile * kTile];
  auto load = [&](double* tile, std::size_t c) {
    for (std::size_t hi = 0; hi < kTile; ++hi) {
      const double* src = a + 2 * ((hi << highShift) | (c << kTileBits));
      std::copy(src, src + 2 * kTile, tile + 2 * kTile * hi);
    }
  };
  auto store = [&](const double* tile, std::size_t c) {
    for (std::size_t hi = 0; hi < kTile; ++hi) {
      double* dst = a + 2 * ((hi << highShift) | (c << kTileBits));
      const double* column = tile + 2 * rev[hi];
      for (std::size_t lo = 0; lo < kTile; ++lo) {
        const double* v = column + 2 * kTile * rev[lo];
        dst[2 * lo] = scale * v[0];
        dst[2 * lo + 1] = scale * v[1];
      }
    }
  };
  for (std::size_t c = 0; c < (std::size_t(1) << middleBits); ++c) {
    const std::size_t rc = reverseBits(c, middleBits);
    if (rc < c) continue;
    load(tileA, c);
    if (rc != c) {
      load(tileB, rc);
      store(tileB, c);
    }
    store(tileA, rc);
  }
}

// ---- Real-split passes ----

// Forward: turns the spectrum Z of the interleaved pairs into the packed real
// spectrum, pairing bins k and m - k, each result multiplied by scale.
void splitForward(double* a, std::size_t m, const double* rs, double scale, std::size_t from,
                  std::size_t to) {
  for (std::size_t k = from; k < to; ++k) {
    double* p = a + 2 * k;
    double* q = a + 2 * (m - k);
    const double er = 0.5 * (p[0] + q[0]), ei = 0.5 * (p[1] - q[1]);
    const double dr = 0.5 * (p[0] - q[0]), di = 0.5 * (p[1] + q[1]);
    const double c = splitCos(rs, k), s = splitSin(rs, k);
    // F = i w D with w = e^(2 pi i k / n): result k is E - F, result m - k conj(E + F).
    const double fr = -(c * di + s * dr), fi = c * dr - s * di;
    p[0] = scale * (er - fr);
    p[1] = scale * (ei - fi);
    q[0] = scale * (er + fr);
    q[1] = -scale * (ei + fi);
  }
}

// Inverse: the packed spectrum back to the spectrum of the interleaved pairs.
void splitInverse(double* a, std::size_t m, const double* rs, std::size_t from, std::size_t to) {
  for (std::size_t k = from; k < to; ++k) {
    double* p = a + 2 * k;
    double* q = a + 2 * (m - k);
    const double er = 0.5 * (p[0] + q[0]), ei = 0.5 * (p[1] - q[1]);
    const double dr = 0.5 * (p[0] - q[0]), di = 0.5 * (p[1] + q[1]);
    const double c = splitCos(rs, k), s = splitSin(rs, k);
    // G = i conj(w) D: pair k becomes E + G, pair m - k conj(E - G).
    const double gr = s * dr - c * di, gi = c * dr + s * di;
    p[0] = er + gr;
    p[1] = ei + gi;
    q[0] = er - gr;
    q[1] = gi - ei;
  }
}

// ---- Vector kernels (x86-64 with AVX2 and FMA, chosen at run time) ----

#if defined(__x86_64__) && defined(__GNUC__)
#define SPL_FFT_VECTOR 1

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
  } else {
    tail<S>(a, L, len);
  }
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

bool processorHasVectorUnits() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}
#else
bool processorHasVectorUnits() { return false; }
#endif

// Read by every transform, written only by setVectorKernels.
std::atomic<bool> gVectorKernels{processorHasVectorUnits()};

}  // namespace

void FFTBase::prepare(unsigned n) {
  SPL_REQUIRE_AT(n >= 2, "assertion error", kSource, kLineTooShort);
  const int e = static_cast<int>(std::floor(std::log(static_cast<double>(n)) / std::log(2.0)));
  SPL_REQUIRE_AT(static_cast<double>(n) == powerOfTwo(e), "assertion error", kSource,
                 kLineNotPowerOfTwo);
  if (n == _preparedLength) return;
  // 5n in 64 bits: in 32 bits it would wrap for the largest lengths and leave
  // the table too short. The larger table goes first, so that running out of
  // memory leaves both tables as they were.
  _cosSinTable.assign(static_cast<std::size_t>((5ull * n) >> 2), 0.0);
  _bitReversalTable.assign(
      static_cast<std::size_t>(std::floor(std::sqrt(static_cast<double>(n)))) + 2, 0);
  _bitReversalTable[0] = 0;
  _preparedLength = n;
}

void FFTBase::makeTables() {
  const std::size_t n = _preparedLength;
  const std::size_t m = n / 2;
  const double twoPi = 6.283185307179586476925286766559;
  double* rs = _cosSinTable.data() + stageTablesSize(m);
  auto buildSplit = [&] {
    for (std::size_t k = 0; k < m / 2; ++k) {
      const double angle = twoPi * static_cast<double>(k) / static_cast<double>(n);
      rs[8 * (k >> 2) + kLane[k & 3]] = std::cos(angle);
      rs[8 * (k >> 2) + 4 + kLane[k & 3]] = std::sin(angle);
    }
    _bitReversalTable[1] = static_cast<int>(n / 4);
  };
  if (n > 4 * static_cast<std::size_t>(_bitReversalTable[0])) {
    _bitReversalTable[1] = 1;
    if (n > 4) buildSplit();
    // Every stage factor is a multiple of 2 pi / n: a real-split factor
    // turned by whole quarter circles, so only the real-split table needs
    // the trigonometric functions.
    unsigned quarterBits = 0;
    while ((std::size_t(4) << quarterBits) < n) ++quarterBits;
    const std::size_t quarterMask = (std::size_t(1) << quarterBits) - 1;
    auto root = [&](std::size_t K, double& c, double& s) {
      const std::size_t r = K & quarterMask;
      const double rc = splitCos(rs, r), rsn = splitSin(rs, r);
      switch (K >> quarterBits) {
        case 0:
          c = rc, s = rsn;
          break;
        case 1:
          c = -rsn, s = rc;
          break;
        case 2:
          c = -rc, s = -rsn;
          break;
        default:
          c = rsn, s = -rc;
          break;
      }
    };
    double* t = _cosSinTable.data();
    for (std::size_t L = m; L >= 16; t += L, L >>= 2) {
      const std::size_t step = n / L;
      for (std::size_t g = 0; g < L / 4; g += 4) {
        for (std::size_t i = 0; i < 4; ++i) {
          const std::size_t j = g + kLane[i];
          root(j * step, t[4 * g + i], t[4 * g + 4 + i]);
          root(3 * j * step, t[4 * g + 8 + i], t[4 * g + 12 + i]);
        }
      }
    }
    // The bit reversal of the tile indices, for lengths that move tiles.
    if (_bitReversalTable.size() >= 2 + kTile) {
      for (std::size_t i = 0; i < kTile; ++i)
        _bitReversalTable[2 + i] = static_cast<int>(reverseBits(i, kTileBits));
    }
    _bitReversalTable[0] = static_cast<int>(n / 4);
  }
  if (n > 4 * static_cast<std::size_t>(_bitReversalTable[1])) buildSplit();
}

bool FFTBase::setVectorKernels(bool enabled) {
  const bool vector = enabled && processorHasVectorUnits();
  gVectorKernels.store(vector);
  return vector;
}

void FFTBase::realTransform(int direction, double* a, double scale) {
  makeTables();
  const std::size_t n = _preparedLength;
  const std::size_t m = n / 2;
  const double* t = _cosSinTable.data();
  const double* rs = _cosSinTable.data() + stageTablesSize(m);
#ifdef SPL_FFT_VECTOR
  const bool vector = m >= 16 && gVectorKernels.load(std::memory_order_relaxed);
#else
  const bool vector = false;
#endif
  // The vector split passes take bins in runs of four from bin 4 on.
  const std::size_t scalarSplitEnd = vector ? 4 : m / 2;
  if (direction >= 0) {
    if (m >= 2) {
#ifdef SPL_FFT_VECTOR
      if (vector) {
        difTransformVector<1>(a, m, t);
      } else {
        difTransform<1>(a, m, t);
      }
#else
      difTransform<1>(a, m, t);
#endif
      bitReverse(a, m, 1.0, _bitReversalTable.data() + 2);
    }
    splitForward(a, m, rs, scale, 1, scalarSplitEnd);
#ifdef SPL_FFT_VECTOR
    if (vector) splitForwardVector(a, m, rs, scale);
#endif
    if (m >= 2) {
      a[m] *= scale;
      a[m + 1] *= scale;
    }
    const double sum = a[0] + a[1], difference = a[0] - a[1];
    a[0] = scale * sum;
    a[1] = scale * difference;
    return;
  }
  const double sum = a[0] + a[1], difference = a[0] - a[1];
  a[0] = 0.5 * sum;
  a[1] = 0.5 * difference;
  splitInverse(a, m, rs, 1, scalarSplitEnd);
#ifdef SPL_FFT_VECTOR
  if (vector) splitInverseVector(a, m, rs);
#endif
  if (m >= 2) {
#ifdef SPL_FFT_VECTOR
    if (vector) {
      difTransformVector<-1>(a, m, t);
    } else {
      difTransform<-1>(a, m, t);
    }
#else
    difTransform<-1>(a, m, t);
#endif
    bitReverse(a, m, scale, _bitReversalTable.data() + 2);
  } else if (scale != 1.0) {
    a[0] *= scale;
    a[1] *= scale;
  }
}

void FFTBase::cosineTransform(int direction, const double* in, double* out, double* work) {
  const std::size_t n = _preparedLength;
  const std::size_t h = n / 2;
  const double pi = 3.14159265358979323846264338327950;
  const double rootHalf = 0.70710678118654752440084436210485;
  // The angle pi k / (2n) of bin k, k = 4q + r: the real-split factor of q
  // (angle 2 pi q / n) turned further by the small angle of r.
  double smallCos[4], smallSin[4];
  for (int r = 0; r < 4; ++r) {
    smallCos[r] = std::cos(pi * r / (2.0 * static_cast<double>(n)));
    smallSin[r] = std::sin(pi * r / (2.0 * static_cast<double>(n)));
  }
  auto turn = [&](std::size_t k, double& c, double& s) {
    const std::size_t q = k >> 2, r = k & 3;
    if (q == 0) {
      c = smallCos[r];
      s = smallSin[r];
      return;
    }
    const double* rs = _cosSinTable.data() + stageTablesSize(n / 2);
    const double wc = splitCos(rs, q), ws = splitSin(rs, q);
    c = wc * smallCos[r] - ws * smallSin[r];
    s = ws * smallCos[r] + wc * smallSin[r];
  };
  if (direction < 0) {
    // Even samples forwards, odd samples backwards: the cosine transform
    // becomes a real Fourier transform whose bin k is then turned by pi k / (2n).
    for (std::size_t j = 0; j < h; ++j) {
      work[j] = in[2 * j];
      work[n - 1 - j] = in[2 * j + 1];
    }
    realTransform(1, work);
    out[0] = work[0];
    out[h] = work[1] * rootHalf;
    for (std::size_t k = 1; k < h; ++k) {
      double c, s;
      turn(k, c, s);
      const double re = work[2 * k], im = work[2 * k + 1];
      out[k] = re * c - im * s;
      out[n - k] = re * s + im * c;
    }
    return;
  }
  // The transpose of the steps above, in reverse order.
  makeTables();
  work[0] = 2.0 * in[0];
  work[1] = 2.0 * in[h] * rootHalf;
  for (std::size_t k = 1; k < h; ++k) {
    double c, s;
    turn(k, c, s);
    work[2 * k] = in[k] * c + in[n - k] * s;
    work[2 * k + 1] = in[n - k] * c - in[k] * s;
  }
  realTransform(-1, work);
  for (std::size_t j = 0; j < h; ++j) {
    out[2 * j] = work[j];
    out[2 * j + 1] = work[n - 1 - j];
  }
}

}  // namespace spl
