#include "spl/block/FFTBase.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "spl/util/Failure.h"

namespace spl {

namespace {

constexpr const char* kSource = "spl/block/FFTBase";
// The error texts of the length checks name fixed lines that callers match on.
constexpr unsigned kTooShortLine = 13;
constexpr unsigned kNotPowerOfTwoLine = 16;

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

// Complex transforms of m points held as interleaved (re, im) pairs.
// S = +1 computes Z[k] = sum_j z[j] e^(+2 pi i j k / m), S = -1 the same with
// e^(-...). The table T holds (cos, sin)(2 pi k / m) for k < 3m/4.

// Sub-blocks of at most this many complex points are finished stage by stage
// while they sit in the cache; larger ones are split depth first.
constexpr std::size_t kCacheBlock = 4096;

// One radix-4 decimation-in-frequency stage over L points at a. The four
// outputs of each butterfly go to the quarters in bit-reversed digit order
// (sums 0, 2, 1, 3), so that the stages together leave the spectrum in
// bit-reversed order. Twiddle k of this stage is T[k * st].
template <int S>
void radix4Stage(double* a, std::size_t L, const double* T, std::size_t st) {
  const std::size_t q = L >> 2;
  double* __restrict a0 = a;
  double* __restrict a1 = a + 2 * q;
  double* __restrict a2 = a + 4 * q;
  double* __restrict a3 = a + 6 * q;
  for (std::size_t j = 0; j < q; ++j) {
    const double x0r = a0[2 * j], x0i = a0[2 * j + 1];
    const double x1r = a1[2 * j], x1i = a1[2 * j + 1];
    const double x2r = a2[2 * j], x2i = a2[2 * j + 1];
    const double x3r = a3[2 * j], x3i = a3[2 * j + 1];
    const double t0r = x0r + x2r, t0i = x0i + x2i;
    const double t1r = x0r - x2r, t1i = x0i - x2i;
    const double t2r = x1r + x3r, t2i = x1i + x3i;
    // (x1 - x3) times S i.
    const double t3r = -S * (x1i - x3i), t3i = S * (x1r - x3r);
    const double y0r = t0r + t2r, y0i = t0i + t2i;
    const double y2r = t0r - t2r, y2i = t0i - t2i;
    const double y1r = t1r + t3r, y1i = t1i + t3i;
    const double y3r = t1r - t3r, y3i = t1i - t3i;
    const double* w1 = T + 2 * j * st;
    const double* w2 = T + 4 * j * st;
    const double* w3 = T + 6 * j * st;
    const double c1 = w1[0], s1 = S * w1[1];
    const double c2 = w2[0], s2 = S * w2[1];
    const double c3 = w3[0], s3 = S * w3[1];
    a0[2 * j] = y0r;
    a0[2 * j + 1] = y0i;
    a1[2 * j] = y2r * c2 - y2i * s2;
    a1[2 * j + 1] = y2i * c2 + y2r * s2;
    a2[2 * j] = y1r * c1 - y1i * s1;
    a2[2 * j + 1] = y1i * c1 + y1r * s1;
    a3[2 * j] = y3r * c3 - y3i * s3;
    a3[2 * j + 1] = y3i * c3 + y3r * s3;
  }
}

// The last stage when log2(L) is odd: butterflies of neighbouring points.
void radix2Stage(double* a, std::size_t L) {
  for (std::size_t j = 0; j < 2 * L; j += 4) {
    const double x0r = a[j], x0i = a[j + 1], x1r = a[j + 2], x1i = a[j + 3];
    a[j] = x0r + x1r;
    a[j + 1] = x0i + x1i;
    a[j + 2] = x0r - x1r;
    a[j + 3] = x0i - x1i;
  }
}

template <int S>
void difTransform(double* a, std::size_t L, const double* T, std::size_t m) {
  if (L > kCacheBlock) {
    radix4Stage<S>(a, L, T, m / L);
    const std::size_t q = L >> 2;
    for (std::size_t s = 0; s < 4; ++s) difTransform<S>(a + 2 * s * q, q, T, m);
    return;
  }
  std::size_t len = L;
  for (; len >= 4; len >>= 2) {
    for (std::size_t b = 0; b < L; b += len) radix4Stage<S>(a + 2 * b, len, T, m / len);
  }
  if (len == 2) radix2Stage(a, L);
}

// Puts the m points into natural order after the decimation-in-frequency stages.
void bitReverse(double* a, std::size_t m) {
  std::size_t j = 0;
  for (std::size_t i = 0; i < m; ++i) {
    if (i < j) {
      std::swap(a[2 * i], a[2 * j]);
      std::swap(a[2 * i + 1], a[2 * j + 1]);
    }
    std::size_t bit = m >> 1;
    while (bit != 0 && (j & bit) != 0) {
      j ^= bit;
      bit >>= 1;
    }
    j |= bit;
  }
}

template <int S>
void complexTransform(double* a, std::size_t m, const double* T) {
  if (m < 2) return;
  difTransform<S>(a, m, T, m);
  bitReverse(a, m);
}

}  // namespace

void FFTBase::prepare(unsigned n) {
  if (n < 2) fail("assertion error", kSource, kTooShortLine);
  const int e = static_cast<int>(std::floor(std::log(static_cast<double>(n)) / std::log(2.0)));
  if (static_cast<double>(n) != powerOfTwo(e)) fail("assertion error", kSource, kNotPowerOfTwoLine);
  if (n == _preparedLength) return;
  _ip.assign(static_cast<std::size_t>(std::floor(std::sqrt(static_cast<double>(n)))) + 2, 0);
  // 5n in 64 bits: in 32 bits it would wrap for the largest lengths and leave
  // the table too short.
  _w.assign(static_cast<std::size_t>((5ull * n) >> 2), 0.0);
  _ip[0] = 0;
  _preparedLength = n;
}

void FFTBase::makeTables() {
  const std::size_t n = _preparedLength;
  const std::size_t m = n / 2;
  const double twoPi = 6.283185307179586476925286766559;
  if (n > 4 * static_cast<std::size_t>(_ip[0])) {
    // Twiddles of the complex transform of m points: (cos, sin)(2 pi k / m), k < 3m/4.
    for (std::size_t k = 0; k < 3 * m / 4; ++k) {
      const double angle = twoPi * static_cast<double>(k) / static_cast<double>(m);
      _w[2 * k] = std::cos(angle);
      _w[2 * k + 1] = std::sin(angle);
    }
    _ip[0] = static_cast<int>(n / 4);
    _ip[1] = 1;
  }
  if (n > 4 * static_cast<std::size_t>(_ip[1])) {
    // Real-split factors (cos, sin)(2 pi k / n), k < n/4, behind the twiddles.
    double* r = _w.data() + 2 * (3 * m / 4);
    for (std::size_t k = 0; k < m / 2; ++k) {
      const double angle = twoPi * static_cast<double>(k) / static_cast<double>(n);
      r[2 * k] = std::cos(angle);
      r[2 * k + 1] = std::sin(angle);
    }
    _ip[1] = static_cast<int>(n / 4);
  }
}

void FFTBase::rdft(int isgn, double* a, double scale) {
  makeTables();
  const std::size_t n = _preparedLength;
  const std::size_t m = n / 2;
  const double* T = _w.data();
  const double* r = _w.data() + 2 * (3 * m / 4);
  if (isgn >= 0) {
    complexTransform<1>(a, m, T);
    // Untangle the spectra of the even and odd samples, pairing bins k and m - k.
    for (std::size_t k = 1; k < m / 2; ++k) {
      double* p = a + 2 * k;
      double* q = a + 2 * (m - k);
      const double er = 0.5 * (p[0] + q[0]), ei = 0.5 * (p[1] - q[1]);
      const double dr = 0.5 * (p[0] - q[0]), di = 0.5 * (p[1] + q[1]);
      const double c = r[2 * k], s = r[2 * k + 1];
      // F = i w D
      const double fr = -(c * di + s * dr), fi = c * dr - s * di;
      p[0] = scale * (er - fr);
      p[1] = scale * (ei - fi);
      q[0] = scale * (er + fr);
      q[1] = -scale * (ei + fi);
    }
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
  for (std::size_t k = 1; k < m / 2; ++k) {
    double* p = a + 2 * k;
    double* q = a + 2 * (m - k);
    const double er = 0.5 * (p[0] + q[0]), ei = 0.5 * (p[1] - q[1]);
    const double dr = 0.5 * (p[0] - q[0]), di = 0.5 * (p[1] + q[1]);
    const double c = r[2 * k], s = -r[2 * k + 1];
    // G = i conj(w) D
    const double gr = -(c * di + s * dr), gi = c * dr - s * di;
    p[0] = er + gr;
    p[1] = ei + gi;
    q[0] = er - gr;
    q[1] = -(ei - gi);
  }
  complexTransform<-1>(a, m, T);
  if (scale != 1.0) {
    for (std::size_t i = 0; i < n; ++i) a[i] *= scale;
  }
}

void FFTBase::ddct(int isgn, const double* in, double* out, double* work) {
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
    const double* w = _w.data() + 2 * (3 * (n / 2) / 4) + 2 * q;
    c = w[0] * smallCos[r] - w[1] * smallSin[r];
    s = w[1] * smallCos[r] + w[0] * smallSin[r];
  };
  if (isgn < 0) {
    // Even samples forwards, odd samples backwards: the cosine transform
    // becomes a real Fourier transform followed by a quarter-bin turn.
    for (std::size_t j = 0; j < h; ++j) {
      work[j] = in[2 * j];
      work[n - 1 - j] = in[2 * j + 1];
    }
    rdft(1, work);
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
  rdft(-1, work);
  for (std::size_t j = 0; j < h; ++j) {
    out[2 * j] = work[j];
    out[2 * j + 1] = work[n - 1 - j];
  }
}

}  // namespace spl
