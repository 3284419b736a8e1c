#include "spl/block/FourierKernels.h"

#include <algorithm>
#include <utility>

namespace spl::fourier {

namespace {

// Sub-blocks of at most this many complex points are finished stage by stage
// while they sit in the cache; larger ones are split depth first.
constexpr std::size_t kCacheBlock = 8192;

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

// ---- Transposed stages: bit-reversed input to natural order ----
//
// The transform matrix is symmetric, so it also equals the transpose of the
// stages above applied to the bit-reversed input in reverse order. The
// transpose of a stage multiplies each quarter by its factors first and then
// runs the (symmetric) butterfly, taking the quarters in the order 0, 2, 1, 3
// in which the stage left them. Only lengths that end in blocks of 4 points
// (powers of 4) have a transposed tail here; others take the permutation.

template <int S>
void radix4StageTransposed(double* a, std::size_t L, const double* t) {
  const std::size_t q = L >> 2;
  double* __restrict a0 = a;
  double* __restrict a1 = a + 2 * q;
  double* __restrict a2 = a + 4 * q;
  double* __restrict a3 = a + 6 * q;
  for (std::size_t g = 0; g < q; g += 4, t += 16) {
    for (std::size_t i = 0; i < 4; ++i) {
      const std::size_t j = 2 * (g + kLane[i]);
      const double c1 = t[i], s1 = S * t[4 + i];
      const double c3 = t[8 + i], s3 = S * t[12 + i];
      const double c2 = c1 * c1 - s1 * s1, s2 = 2.0 * c1 * s1;
      const double y0r = a0[j], y0i = a0[j + 1];
      const double y2r = a1[j] * c2 - a1[j + 1] * s2, y2i = a1[j + 1] * c2 + a1[j] * s2;
      const double y1r = a2[j] * c1 - a2[j + 1] * s1, y1i = a2[j + 1] * c1 + a2[j] * s1;
      const double y3r = a3[j] * c3 - a3[j + 1] * s3, y3i = a3[j + 1] * c3 + a3[j] * s3;
      const double e0r = y0r + y2r, e0i = y0i + y2i;
      const double e1r = y0r - y2r, e1i = y0i - y2i;
      const double f0r = y1r + y3r, f0i = y1i + y3i;
      const double f1r = y1r - y3r, f1i = y1i - y3i;
      a0[j] = e0r + f0r;
      a0[j + 1] = e0i + f0i;
      a2[j] = e0r - f0r;
      a2[j + 1] = e0i - f0i;
      // e1 +- S i f1.
      a1[j] = e1r - S * f1i;
      a1[j + 1] = e1i + S * f1r;
      a3[j] = e1r + S * f1i;
      a3[j + 1] = e1i - S * f1r;
    }
  }
}

template <int S>
void tail4Transposed(double* a, std::size_t L) {
  for (std::size_t b = 0; b < 2 * L; b += 8) {
    double* x = a + b;
    // The four points arrive as sums 0, 2, 1, 3.
    const double e0r = x[0] + x[2], e0i = x[1] + x[3];
    const double e1r = x[0] - x[2], e1i = x[1] - x[3];
    const double f0r = x[4] + x[6], f0i = x[5] + x[7];
    const double f1r = x[4] - x[6], f1i = x[5] - x[7];
    x[0] = e0r + f0r;
    x[1] = e0i + f0i;
    x[4] = e0r - f0r;
    x[5] = e0i - f0i;
    x[2] = e1r - S * f1i;
    x[3] = e1i + S * f1r;
    x[6] = e1r + S * f1i;
    x[7] = e1i - S * f1r;
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

void complexTransform(int sign, double* a, std::size_t m, const double* t, bool vector) {
  if (vector && m >= 16 && processorHasVectorUnits()) {
    avx2::complexTransform(sign, a, m, t);
  } else if (sign > 0) {
    difTransform<1>(a, m, t);
  } else {
    difTransform<-1>(a, m, t);
  }
}

KernelSet availableKernelSet(KernelSet wanted) {
  if (wanted == KernelSet::wide && !processorHasWideUnits()) wanted = KernelSet::vector;
  if (wanted == KernelSet::vector && !processorHasVectorUnits()) wanted = KernelSet::portable;
  return wanted;
}

bool isPowerOfFour(std::size_t m) {
  unsigned bits = 0;
  while ((std::size_t(1) << bits) < m) ++bits;
  return bits % 2 == 0;
}

void complexTransformFromReversed(int sign, double* a, std::size_t m, const double* t,
                                  const int* tileReverse, bool vector) {
  if (m < 16 || !isPowerOfFour(m)) {
    bitReverse(a, m, 1.0, tileReverse);
    complexTransform(sign, a, m, t, vector);
    bitReverse(a, m, 1.0, tileReverse);
  } else if (vector && processorHasVectorUnits()) {
    avx2::complexTransformFromReversed(sign, a, m, t);
  } else if (sign > 0) {
    ditTransform<1>(a, m, t);
  } else {
    ditTransform<-1>(a, m, t);
  }
}

void rotatedRealTransform(int sign, const double* x, const double* factor, double* out,
                          std::size_t m, const double* t, bool vector) {
  if (vector && processorHasVectorUnits()) {
    avx2::rotatedRealTransform(sign, x, factor, out, m, t);
    return;
  }
  const std::size_t half = m / 2;
  for (std::size_t k = 0; k < m; ++k) {
    const double sample = x[k < half ? k + half : k - half];
    out[2 * k] = sample * factor[2 * k];
    out[2 * k + 1] = sample * factor[2 * k + 1];
  }
  complexTransform(sign, out, m, t, false);
}

void transformFromReversedAndAccumulate(int sign, double* a, std::size_t m, const double* t,
                                        const int* tileReverse, const double* factor, double weight,
                                        double* sum, bool vector) {
  if (vector && m >= 16 && isPowerOfFour(m) && processorHasVectorUnits()) {
    avx2::transformFromReversedAndAccumulate(sign, a, m, t, factor, weight, sum);
    return;
  }
  complexTransformFromReversed(sign, a, m, t, tileReverse, vector);
  for (std::size_t k = 0; k < m; ++k) {
    sum[k] += weight * (factor[2 * k] * a[2 * k] + factor[2 * k + 1] * a[2 * k + 1]);
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

// Forward: turns the spectrum Z of the interleaved pairs into the packed real
// spectrum, pairing bins k and m - k, each result multiplied by scale.
void splitForwardRange(double* a, std::size_t m, const double* rs, double scale, std::size_t from,
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
void splitInverseRange(double* a, std::size_t m, const double* rs, std::size_t from,
                       std::size_t to) {
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

}  // namespace

void splitForward(double* a, std::size_t m, const double* rs, double scale, bool vector) {
  // The vector pass takes bins in runs of four from bin 4 on.
  if (vector && m >= 16 && processorHasVectorUnits()) {
    splitForwardRange(a, m, rs, scale, 1, 4);
    avx2::splitForward(a, m, rs, scale);
  } else {
    splitForwardRange(a, m, rs, scale, 1, m / 2);
  }
}

void splitInverse(double* a, std::size_t m, const double* rs, bool vector) {
  if (vector && m >= 16 && processorHasVectorUnits()) {
    splitInverseRange(a, m, rs, 1, 4);
    avx2::splitInverse(a, m, rs);
  } else {
    splitInverseRange(a, m, rs, 1, m / 2);
  }
}

}  // namespace spl::fourier
