#include "spl/block/FFTBase.h"

#include <cmath>
#include <cstddef>

#include "spl/block/FourierKernels.h"
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

// The work areas of a real transform of n points: the stage tables of the
// complex transform of m = n/2 points, directly followed by the real-split
// table (FourierKernels.h). The split table is built when n > 4.
using fourier::kLane;
using fourier::kTile;
using fourier::kTileBits;
using fourier::reverseBits;
using fourier::splitCos;
using fourier::splitSin;
using fourier::stageTablesSize;

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
  _vectorKernels = enabled && fourier::processorHasVectorUnits();
  return _vectorKernels;
}

void FFTBase::realTransform(int direction, double* a, double scale) {
  makeTables();
  const std::size_t n = _preparedLength;
  const std::size_t m = n / 2;
  const double* t = _cosSinTable.data();
  const double* rs = _cosSinTable.data() + stageTablesSize(m);
  const int* tileReverse = _bitReversalTable.data() + 2;
  if (direction >= 0) {
    if (m >= 2) {
      fourier::complexTransform(1, a, m, t, _vectorKernels);
      fourier::bitReverse(a, m, 1.0, tileReverse);
    }
    fourier::splitForward(a, m, rs, scale, _vectorKernels);
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
  fourier::splitInverse(a, m, rs, _vectorKernels);
  if (m >= 2) {
    fourier::complexTransform(-1, a, m, t, _vectorKernels);
    fourier::bitReverse(a, m, scale, tileReverse);
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
