#include "spl/block/FourierKernels.h"

#include <algorithm>
#include <utility>

namespace spl::fourier {

namespace {

// Sub-blocks of at most this many complex points are finished stage by stage
// while they sit in the cache; larger ones are split depth first.
constexpr std::size_t kCacheBlock = 8192;

// ---- Portable kernels ----

// The factors of one butterfly of a stage: w1 and w3 from the table, w2 = w1^2
// made from w1, each sine times S.
struct Factors {
  double c1, s1, c2, s2, c3, s3;
};

template <int S>
inline Factors factors(const double* t, std::size_t i) {
  Factors f;
  f.c1 = t[i];
  f.s1 = S * t[4 + i];
  f.c3 = t[8 + i];
  f.s3 = S * t[12 + i];
  f.c2 = f.c1 * f.c1 - f.s1 * f.s1;
  f.s2 = 2.0 * f.c1 * f.s1;
  return f;
}

// Runs butterfly(x, factors, y) on every group of four points, one from each
// quarter, of a radix-4 stage over L >= 16 points at a with its stage table t:
// x holds the four (re, im) pairs of quarters 0..3, y receives their results.
// (The points are copied in and out here, where the quarters are known not to
// overlap, so that the compiler can keep them in vector registers.)
template <int S, typename Butterfly>
void forEachButterfly(double* a, std::size_t L, const double* t, Butterfly butterfly) {
  const std::size_t q = L >> 2;
  double* __restrict a0 = a;
  double* __restrict a1 = a + 2 * q;
  double* __restrict a2 = a + 4 * q;
  double* __restrict a3 = a + 6 * q;
  for (std::size_t g = 0; g < q; g += 4, t += 16) {
    for (std::size_t i = 0; i < 4; ++i) {
      const std::size_t j = 2 * (g + kLane[i]);
      const double x[8] = {a0[j], a0[j + 1], a1[j], a1[j + 1], a2[j], a2[j + 1], a3[j], a3[j + 1]};
      double y[8];
      butterfly(x, factors<S>(t, i), y);
      a0[j] = y[0];
      a0[j + 1] = y[1];
      a1[j] = y[2];
      a1[j + 1] = y[3];
      a2[j] = y[4];
      a2[j + 1] = y[5];
      a3[j] = y[6];
      a3[j + 1] = y[7];
    }
  }
}

// (re, im) times (c, s), into out.
inline void multiply(double re, double im, double c, double s, double* out) {
  out[0] = re * c - im * s;
  out[1] = im * c + re * s;
}

// The radix-4 butterfly without factors on the points x0..x3 (each an
// (re, im) pair): y0 = t0 + t2, y2 = t0 - t2, y1 = t1 + t3, y3 = t1 - t3 with
// t0 = x0 + x2, t1 = x0 - x2, t2 = x1 + x3, t3 = S i (x1 - x3). Reads all of
// x before it writes y, so it may run in place.
template <int S>
inline void butterfly(const double* x0, const double* x1, const double* x2, const double* x3,
                      double* y0, double* y2, double* y1, double* y3) {
  const double x0r = x0[0], x0i = x0[1];
  const double x1r = x1[0], x1i = x1[1];
  const double x2r = x2[0], x2i = x2[1];
  const double x3r = x3[0], x3i = x3[1];
  const double t0r = x0r + x2r, t0i = x0i + x2i;
  const double t1r = x0r - x2r, t1i = x0i - x2i;
  const double t2r = x1r + x3r, t2i = x1i + x3i;
  const double dr = x1r - x3r, di = x1i - x3i;
  // (x1 - x3) times S i.
  const double t3r = -S * di, t3i = S * dr;
  y0[0] = t0r + t2r;
  y0[1] = t0i + t2i;
  y2[0] = t0r - t2r;
  y2[1] = t0i - t2i;
  y1[0] = t1r + t3r;
  y1[1] = t1i + t3i;
  y3[0] = t1r - t3r;
  y3[1] = t1i - t3i;
}

// One radix-4 stage. The outputs of each butterfly go to the quarters in the
// order of sums 0, 2, 1, 3, which is what keeps the overall result in
// bit-reversed order.
template <int S>
void radix4Stage(double* a, std::size_t L, const double* t) {
  forEachButterfly<S>(a, L, t, [](const double* x, const Factors& f, double* y) {
    double y2[2], y1[2], y3[2];
    butterfly<S>(x, x + 2, x + 4, x + 6, y, y2, y1, y3);
    multiply(y2[0], y2[1], f.c2, f.s2, y + 2);
    multiply(y1[0], y1[1], f.c1, f.s1, y + 4);
    multiply(y3[0], y3[1], f.c3, f.s3, y + 6);
  });
}

// The last stages of blocks of 4 points: one radix-4 butterfly without factors.
template <int S>
void tail4(double* a, std::size_t L) {
  for (std::size_t b = 0; b < 2 * L; b += 8) {
    double* x = a + b;
    butterfly<S>(x, x + 2, x + 4, x + 6, x, x + 2, x + 4, x + 6);
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
      butterfly<S>(x, x + 4, x + 8, x + 12, y + 2 * j, y + 4 + 2 * j, y + 8 + 2 * j,
                   y + 12 + 2 * j);
    }
    // Factors e^(S i pi/4), e^(S i pi/2) and e^(3 S i pi/4) of the second
    // butterfly's sums 1, 2 and 3.
    double* y1 = y + 10;
    double* y2 = y + 6;
    double* y3 = y + 14;
    double r = h * (y1[0] - S * y1[1]), i = h * (y1[1] + S * y1[0]);
    y1[0] = r;
    y1[1] = i;
    r = -S * y2[1];
    i = S * y2[0];
    y2[0] = r;
    y2[1] = i;
    r = h * (-y3[0] - S * y3[1]);
    i = h * (-y3[1] + S * y3[0]);
    y3[0] = r;
    y3[1] = i;
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

// ---- Transposed stages: bit-reversed input to natural order ----
//
// The transform matrix is symmetric, so it also equals the transpose of the
// stages above applied to the bit-reversed input in reverse order. The
// transpose of a stage multiplies each quarter by its factors first and then
// runs the (symmetric) butterfly, taking the quarters in the order 0, 2, 1, 3
// in which the stage left them. Only lengths that end in blocks of 4 points
// (powers of 4) have a transposed tail here; others take the permutation.

// The butterfly of the transposed stages on y0, y2, y1, y3, the order in
// which the forward stage left its sums: x0, x2 = e0 +- f0 and
// x1, x3 = e1 +- S i f1 with e0, e1 = y0 +- y2 and f0, f1 = y1 +- y3. Reads all
// of y before it writes x, so it may run in place.
template <int S>
inline void transposedButterfly(const double* y0, const double* y2, const double* y1,
                                const double* y3, double* x0, double* x1, double* x2, double* x3) {
  const double e0r = y0[0] + y2[0], e0i = y0[1] + y2[1];
  const double e1r = y0[0] - y2[0], e1i = y0[1] - y2[1];
  const double f0r = y1[0] + y3[0], f0i = y1[1] + y3[1];
  const double f1r = y1[0] - y3[0], f1i = y1[1] - y3[1];
  x0[0] = e0r + f0r;
  x0[1] = e0i + f0i;
  x2[0] = e0r - f0r;
  x2[1] = e0i - f0i;
  x1[0] = e1r - S * f1i;
  x1[1] = e1i + S * f1r;
  x3[0] = e1r + S * f1i;
  x3[1] = e1i - S * f1r;
}

template <int S>
void radix4StageTransposed(double* a, std::size_t L, const double* t) {
  forEachButterfly<S>(a, L, t, [](const double* x, const Factors& f, double* y) {
    double y2[2], y1[2], y3[2];
    multiply(x[2], x[3], f.c2, f.s2, y2);
    multiply(x[4], x[5], f.c1, f.s1, y1);
    multiply(x[6], x[7], f.c3, f.s3, y3);
    transposedButterfly<S>(x, y2, y1, y3, y, y + 2, y + 4, y + 6);
  });
}

template <int S>
void tail4Transposed(double* a, std::size_t L) {
  for (std::size_t b = 0; b < 2 * L; b += 8) {
    double* x = a + b;
    // The four points arrive as sums 0, 2, 1, 3.
    transposedButterfly<S>(x, x + 2, x + 4, x + 6, x, x + 2, x + 4, x + 6);
  }
}

template <int S>
void ditTransform(double* a, std::size_t L, const double* t) {
  if (L > kCacheBlock) {
    const std::size_t q = L >> 2;
    for (std::size_t s = 0; s < 4; ++s) ditTransform<S>(a + 2 * s * q, q, t + L);
    radix4StageTransposed<S>(a, L, t);
    return;
  }
  // The stages of the forward order, from the last (shortest) back to the first.
  std::size_t offsets[32];
  std::size_t stages = 0, offset = 0, len = L;
  for (; len >= 16; offset += len, len >>= 2) offsets[stages++] = offset;
  tail4Transposed<S>(a, L);
  while (stages > 0) {
    --stages;
    const std::size_t stageLength = L >> (2 * stages);
    for (std::size_t b = 0; b < L; b += stageLength) {
      radix4StageTransposed<S>(a + 2 * b, stageLength, t + offsets[stages]);
    }
  }
}

}  // namespace

std::size_t stageTablesSize(std::size_t m) {
  std::size_t size = 0;
  for (std::size_t L = m; L >= 16; L >>= 2) size += L;
  return size;
}

namespace {

// ---- The vector kernel sets this processor runs ----

#if defined(__x86_64__) && defined(__GNUC__)
bool hasAvx2Fma() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  }();
  return has;
}
bool hasAvx512f() {
  static const bool has = [] {
    __builtin_cpu_init();
    return hasAvx2Fma() && __builtin_cpu_supports("avx512f");
  }();
  return has;
}
#endif

// The set behind `vector` = true: the fastest that reads fillStageTables' layout.
const VectorKernels* fourLaneKernels(bool vector) {
  if (!vector) return nullptr;
  static const VectorKernels* const best = [] {
    const VectorKernels* k = vectorKernels(KernelSet::vector);
    return k != nullptr ? k : vectorKernels(KernelSet::narrow);
  }();
  return best;
}

}  // namespace

const VectorKernels* vectorKernels(KernelSet set) {
#if defined(__x86_64__) && defined(__GNUC__)
  switch (set) {
    case KernelSet::narrow:
      return &sse2::kKernels;  // SSE2 is part of x86-64
    case KernelSet::vector:
      return hasAvx2Fma() ? &avx2::kKernels : nullptr;
    case KernelSet::wide:
      return hasAvx512f() ? &avx512::kKernels : nullptr;
    case KernelSet::portable:
      break;
  }
#elif defined(__aarch64__)
  if (set == KernelSet::narrow) return &neon::kKernels;  // NEON is part of AArch64
#else
  (void)set;
#endif
  return nullptr;
}

bool processorHasVectorUnits() { return vectorKernels(KernelSet::narrow) != nullptr; }

bool processorHasWideUnits() { return vectorKernels(KernelSet::wide) != nullptr; }

KernelSet availableKernelSet(KernelSet wanted) {
  while (wanted != KernelSet::portable && vectorKernels(wanted) == nullptr) {
    wanted = static_cast<KernelSet>(static_cast<int>(wanted) - 1);
  }
  return wanted;
}

const char* kernelSetName(KernelSet set) {
  switch (set) {
    case KernelSet::narrow:
#if defined(__aarch64__)
      return "neon";
#else
      return "sse2";
#endif
    case KernelSet::vector:
      return "avx2";
    case KernelSet::wide:
      return "avx512f";
    case KernelSet::portable:
      break;
  }
  return "portable";
}

std::size_t stageLanes(KernelSet set) {
  const VectorKernels* k = vectorKernels(set);
  return k != nullptr ? k->stageLanes : 4;
}

void complexTransform(int sign, double* a, std::size_t m, const double* t, bool vector) {
  const VectorKernels* k = fourLaneKernels(vector);
  if (k != nullptr && m >= 16) {
    k->complexTransform(sign, a, m, t);
  } else if (sign > 0) {
    difTransform<1>(a, m, t);
  } else {
    difTransform<-1>(a, m, t);
  }
}

bool isPowerOfFour(std::size_t m) {
  unsigned bits = 0;
  while ((std::size_t(1) << bits) < m) ++bits;
  return bits % 2 == 0;
}

void complexTransformFromReversed(int sign, double* a, std::size_t m, const double* t,
                                  const int* tileReverse, bool vector) {
  const VectorKernels* k = fourLaneKernels(vector);
  if (m < 16 || !isPowerOfFour(m)) {
    bitReverse(a, m, 1.0, tileReverse);
    complexTransform(sign, a, m, t, vector);
    bitReverse(a, m, 1.0, tileReverse);
  } else if (k != nullptr) {
    k->complexTransformFromReversed(sign, a, m, t);
  } else if (sign > 0) {
    ditTransform<1>(a, m, t);
  } else {
    ditTransform<-1>(a, m, t);
  }
}

// The vector kernels run the rotated and accumulating transforms from 64
// points up (their tails take two blocks at a time).
void rotatedRealTransform(int sign, const double* x, const double* factor, double* out,
                          std::size_t m, const double* t, KernelSet set) {
  const VectorKernels* k = vectorKernels(set);
  if (k != nullptr && m >= 64) {
    k->rotatedRealTransform(sign, x, factor, out, m, t);
    return;
  }
  const std::size_t half = m / 2;
  for (std::size_t i = 0; i < m; ++i) {
    const double sample = x[i < half ? i + half : i - half];
    out[2 * i] = sample * factor[2 * i];
    out[2 * i + 1] = sample * factor[2 * i + 1];
  }
  complexTransform(sign, out, m, t, set != KernelSet::portable);
}

void transformFromReversedAndAccumulate(int sign, double* a, std::size_t m, const double* t,
                                        const int* tileReverse, const double* factor, double weight,
                                        double* sum, KernelSet set) {
  const VectorKernels* k = vectorKernels(set);
  if (k != nullptr && m >= 64 && isPowerOfFour(m)) {
    k->transformFromReversedAndAccumulate(sign, a, m, t, factor, weight, sum);
    return;
  }
  complexTransformFromReversed(sign, a, m, t, tileReverse, set != KernelSet::portable);
  for (std::size_t i = 0; i < m; ++i) {
    sum[i] += weight * (factor[2 * i] * a[2 * i] + factor[2 * i + 1] * a[2 * i + 1]);
  }
}

std::size_t reverseBits(std::size_t v, unsigned bits) {
  std::size_t r = 0;
  for (unsigned i = 0; i < bits; ++i, v >>= 1) r = (r << 1) | (v & 1);
  return r;
}

// Puts the m = 2^bits points into natural order and multiplies them by scale.
// Large transforms move square tiles: index (a, c, d) with a and d of
// kTileBits bits goes to (rev d, rev c, rev a), so every tile is read and
// written in runs of 2^kTileBits consecutive points.

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

namespace {

// ---- Real-split passes ----

// What both directions read for bin k and its partner m - k: the twiddle
// factor and the half sums and differences.
struct SplitTerms {
  double c, s, er, ei, dr, di;
};

inline SplitTerms splitTerms(const double* p, const double* q, const double* rs, std::size_t k) {
  SplitTerms t;
  t.er = 0.5 * (p[0] + q[0]);
  t.ei = 0.5 * (p[1] - q[1]);
  t.dr = 0.5 * (p[0] - q[0]);
  t.di = 0.5 * (p[1] + q[1]);
  t.c = splitCos(rs, k);
  t.s = splitSin(rs, k);
  return t;
}

// Forward: turns the spectrum Z of the interleaved pairs into the packed real
// spectrum, pairing bins k and m - k, each result multiplied by scale.
void splitForwardRange(double* a, std::size_t m, const double* rs, double scale, std::size_t from,
                       std::size_t to) {
  for (std::size_t k = from; k < to; ++k) {
    double* p = a + 2 * k;
    double* q = a + 2 * (m - k);
    const auto [c, s, er, ei, dr, di] = splitTerms(p, q, rs, k);
    // F = i w D with w = e^(2 pi i k / n): result k is E - F, result m - k conj(E + F).
    const double fr = -(c * di + s * dr), fi = c * dr - s * di;
    p[0] = scale * (er - fr);
    p[1] = scale * (ei - fi);
    q[0] = scale * (er + fr);
    q[1] = -scale * (ei + fi);
  }
}

// Inverse: the packed spectrum back to the spectrum of the interleaved pairs.
void splitInverseRange(double* a, std::size_t m, const double* rs, std::size_t from,
                       std::size_t to) {
  for (std::size_t k = from; k < to; ++k) {
    double* p = a + 2 * k;
    double* q = a + 2 * (m - k);
    const auto [c, s, er, ei, dr, di] = splitTerms(p, q, rs, k);
    // G = i conj(w) D: pair k becomes E + G, pair m - k conj(E - G).
    const double gr = s * dr - c * di, gi = c * dr + s * di;
    p[0] = er + gr;
    p[1] = ei + gi;
    q[0] = er - gr;
    q[1] = gi - ei;
  }
}

}  // namespace

void splitForward(double* a, std::size_t m, const double* rs, double scale, bool vector) {
  // The vector pass takes bins in runs of four from bin 4 on.
  const VectorKernels* k = fourLaneKernels(vector);
  if (k != nullptr && m >= 16) {
    splitForwardRange(a, m, rs, scale, 1, 4);
    k->splitForward(a, m, rs, scale);
  } else {
    splitForwardRange(a, m, rs, scale, 1, m / 2);
  }
}

void splitInverse(double* a, std::size_t m, const double* rs, bool vector) {
  const VectorKernels* k = fourLaneKernels(vector);
  if (k != nullptr && m >= 16) {
    splitInverseRange(a, m, rs, 1, 4);
    k->splitInverse(a, m, rs);
  } else {
    splitInverseRange(a, m, rs, 1, m / 2);
  }
}

}  // namespace spl::fourier
