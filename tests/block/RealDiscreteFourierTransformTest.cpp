#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "spl/block/RealDiscreteFourierTransform.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/RangedClip.h"
#include "spl/clip/ZeroClip.h"
#include "tests/support/FailureCheck.h"

namespace {

using spl::DefaultClip;
using spl::RealDiscreteFourierTransform;

std::vector<double> randomSignal(unsigned n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  std::vector<double> x(n);
  for (auto& v : x) v = dist(gen);
  return x;
}

DefaultClip clipOf(const std::vector<double>& x) {
  // The sized constructor stops at its length limit; copying a silent clip does not.
  DefaultClip clip(spl::ZeroClip(1, static_cast<unsigned>(x.size())));
  std::copy(x.begin(), x.end(), clip.channelData(0));
  return clip;
}

// Whether the transforms made by the tests use the vector kernels (where the
// processor has them); withEachKernel below switches it.
bool useVectorKernels = true;

std::vector<double> transformed(const std::vector<double>& x, int mode) {
  DefaultClip clip = clipOf(x);
  RealDiscreteFourierTransform transform(mode);
  transform.setVectorKernels(useVectorKernels);
  transform.process(clip);
  return std::vector<double>(clip.channelData(0), clip.channelData(0) + x.size());
}

// cos and sin of 2 pi t / n for every t < n, so that the direct sums below use
// exactly rounded factors whatever the size of j * k.
struct Circle {
  explicit Circle(unsigned n) : cosine(n), sine(n) {
    for (unsigned t = 0; t < n; ++t) {
      const double angle = 6.283185307179586476925286766559 * t / n;
      cosine[t] = std::cos(angle);
      sine[t] = std::sin(angle);
    }
  }
  std::vector<double> cosine, sine;
};

// The packed spectrum from its defining sums, scaled by sqrt(2/n).
std::vector<double> directForward(const std::vector<double>& x) {
  const unsigned n = static_cast<unsigned>(x.size());
  const Circle circle(n);
  std::vector<long double> re(n / 2 + 1, 0.0L), im(n / 2 + 1, 0.0L);
  for (unsigned k = 0; k <= n / 2; ++k) {
    for (unsigned j = 0; j < n; ++j) {
      const unsigned t = static_cast<unsigned>((static_cast<unsigned long long>(j) * k) % n);
      re[k] += x[j] * circle.cosine[t];
      im[k] += x[j] * circle.sine[t];
    }
  }
  const long double s = std::sqrt(2.0L / n);
  std::vector<double> a(n);
  a[0] = static_cast<double>(s * re[0]);
  a[1] = static_cast<double>(s * re[n / 2]);
  for (unsigned k = 1; k < n / 2; ++k) {
    a[2 * k] = static_cast<double>(s * re[k]);
    a[2 * k + 1] = static_cast<double>(s * im[k]);
  }
  return a;
}

// The signal of a packed spectrum from the defining sum, scaled by sqrt(2/n).
std::vector<double> directInverse(const std::vector<double>& a) {
  const unsigned n = static_cast<unsigned>(a.size());
  const Circle circle(n);
  std::vector<double> y(n);
  for (unsigned j = 0; j < n; ++j) {
    long double sum = (a[0] + a[1] * ((j & 1) ? -1.0L : 1.0L)) / 2;
    for (unsigned k = 1; k < n / 2; ++k) {
      const unsigned t = static_cast<unsigned>((static_cast<unsigned long long>(j) * k) % n);
      sum += a[2 * k] * static_cast<long double>(circle.cosine[t]) +
             a[2 * k + 1] * static_cast<long double>(circle.sine[t]);
    }
    y[j] = static_cast<double>(std::sqrt(2.0L / n) * sum);
  }
  return y;
}

double maxDifference(const std::vector<double>& a, const std::vector<double>& b) {
  double worst = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(a[i] - b[i]));
  return worst;
}

// Rounding grows with the number of stages and, for the direct sums, with
// the square root of the terms; inputs are within [-1, 1].
double tolerance(unsigned n) {
  return 4e-16 * std::sqrt(static_cast<double>(n)) * (std::log2(n) + 4);
}

// Runs a check with the vector kernels (where the processor has them) and
// with the portable ones.
template <typename F>
void withEachKernel(F&& check) {
  for (bool vector : {true, false}) {
    SCOPED_TRACE(vector ? "vector kernels" : "portable kernels");
    useVectorKernels = vector;
    check();
  }
  useVectorKernels = true;
}

TEST(RealDiscreteFourierTransform, MatchesDefiningSumsForEveryPowerOfTwoUpTo4096) {
  for (unsigned n = 2; n <= 4096; n *= 2) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
      const std::vector<double> x = randomSignal(n, seed * 7919 + n);
      const std::vector<double> forward = directForward(x), inverse = directInverse(x);
      withEachKernel([&] {
        EXPECT_LE(maxDifference(transformed(x, 1), forward), tolerance(n))
            << "forward, n=" << n << " seed=" << seed;
        EXPECT_LE(maxDifference(transformed(x, -1), inverse), tolerance(n))
            << "inverse, n=" << n << " seed=" << seed;
      });
    }
  }
}

// Large transforms split into cache-sized blocks and move tiles in the bit
// reversal; a round trip alone would not notice a mistake both directions
// share, so single bins and samples are checked against their sums.
TEST(RealDiscreteFourierTransform, LargeLengthsMatchDefiningSumsAtSampledBins) {
  for (unsigned n : {1u << 15, 1u << 16, 1u << 18}) {
    const Circle circle(n);
    const std::vector<double> x = randomSignal(n, n + 1);
    const long double s = std::sqrt(2.0L / n);
    // Expected packed values at the sampled positions of the forward result.
    std::vector<std::pair<unsigned, double>> spectrum;
    for (unsigned k : {0u, 1u, 2u, 3u, 5u, 17u, 1000u, n / 8 + 3, n / 4, n / 2 - 1, n / 2}) {
      long double re = 0.0L, im = 0.0L;
      for (unsigned j = 0; j < n; ++j) {
        const unsigned t = static_cast<unsigned>((static_cast<unsigned long long>(j) * k) % n);
        re += x[j] * circle.cosine[t];
        im += x[j] * circle.sine[t];
      }
      if (k == 0 || k == n / 2) {
        spectrum.emplace_back(k == 0 ? 0 : 1, static_cast<double>(s * re));
      } else {
        spectrum.emplace_back(2 * k, static_cast<double>(s * re));
        spectrum.emplace_back(2 * k + 1, static_cast<double>(s * im));
      }
    }
    // x read as a packed spectrum: samples of its inverse.
    std::vector<std::pair<unsigned, double>> signal;
    for (unsigned j : {0u, 1u, 6u, 999u, n / 2 + 1, n - 1}) {
      long double sum = (x[0] + x[1] * ((j & 1) ? -1.0L : 1.0L)) / 2;
      for (unsigned k = 1; k < n / 2; ++k) {
        const unsigned t = static_cast<unsigned>((static_cast<unsigned long long>(j) * k) % n);
        sum += x[2 * k] * circle.cosine[t] + x[2 * k + 1] * circle.sine[t];
      }
      signal.emplace_back(j, static_cast<double>(s * sum));
    }
    withEachKernel([&] {
      const std::vector<double> a = transformed(x, 1);
      for (const auto& [i, v] : spectrum) EXPECT_NEAR(a[i], v, tolerance(n)) << n << ":" << i;
      const std::vector<double> y = transformed(x, -1);
      for (const auto& [j, v] : signal) EXPECT_NEAR(y[j], v, tolerance(n)) << n << ":" << j;
    });
  }
}

TEST(RealDiscreteFourierTransform, WorkedValuesForTwoAndFourPoints) {
  EXPECT_EQ(transformed({3.0, 5.0}, 1), (std::vector<double>{8.0, -2.0}));
  EXPECT_EQ(transformed({8.0, -2.0}, -1), (std::vector<double>{3.0, 5.0}));

  const double h = std::sqrt(0.5);
  std::vector<double> a = transformed({1, 0, 0, 0}, 1);
  EXPECT_NEAR(a[0], h, 1e-15);
  EXPECT_NEAR(a[1], h, 1e-15);
  EXPECT_NEAR(a[2], h, 1e-15);
  EXPECT_NEAR(a[3], 0.0, 1e-15);
  // The sine part of bin 1 is positive: the sine sum with a plus.
  a = transformed({0, 1, 0, 0}, 1);
  EXPECT_NEAR(a[0], h, 1e-15);
  EXPECT_NEAR(a[1], -h, 1e-15);
  EXPECT_NEAR(a[2], 0.0, 1e-15);
  EXPECT_NEAR(a[3], h, 1e-15);
}

TEST(RealDiscreteFourierTransform, ConstantGoesToDcOnly) {
  const unsigned n = 256;
  const std::vector<double> a = transformed(std::vector<double>(n, 0.25), 1);
  EXPECT_NEAR(a[0], 0.25 * std::sqrt(2.0 * n), 1e-13);
  for (unsigned i = 1; i < n; ++i) EXPECT_NEAR(a[i], 0.0, 1e-14) << i;
}

TEST(RealDiscreteFourierTransform, InverseAfterForwardRestoresEveryPowerOfTwoUpTo2To21) {
  RealDiscreteFourierTransform forward(1), inverse(-1);
  for (unsigned n = 2; n <= (1u << 21); n *= 2) {
    const std::vector<double> x = randomSignal(n, n);
    withEachKernel([&] {
      forward.setVectorKernels(useVectorKernels);
      inverse.setVectorKernels(useVectorKernels);
      DefaultClip clip = clipOf(x);
      forward.process(clip);
      inverse.process(clip);
      const std::vector<double> y(clip.channelData(0), clip.channelData(0) + n);
      EXPECT_LE(maxDifference(x, y), 2e-16 * (std::log2(n) + 4)) << "n=" << n;
    });
  }
}

TEST(RealDiscreteFourierTransform, KernelChoiceBelongsToOneInstance) {
  RealDiscreteFourierTransform portable(1), other(1);
  EXPECT_FALSE(portable.setVectorKernels(false));
  EXPECT_EQ(other.usesVectorKernels(), spl::fourier::processorHasVectorUnits());
  EXPECT_EQ(RealDiscreteFourierTransform(-1).usesVectorKernels(),
            spl::fourier::processorHasVectorUnits());
  EXPECT_FALSE(portable.usesVectorKernels());
}

TEST(RealDiscreteFourierTransform, ChannelsAreIndependentAndViewsGiveTheSameValues) {
  const unsigned n = 1024;
  const std::vector<double> left = randomSignal(n, 11), right = randomSignal(n, 12);
  for (int mode : {1, -1}) {
    DefaultClip both(2, n);
    std::copy(left.begin(), left.end(), both.channelData(0));
    std::copy(right.begin(), right.end(), both.channelData(1));
    // The same samples behind a view take the path through the channel buffer.
    DefaultClip wide(2, n + 8);
    for (unsigned p = 0; p < n; ++p) {
      wide.set(0, p + 3, left[p]);
      wide.set(1, p + 3, right[p]);
    }
    spl::RangedClip view(wide, 3, n);
    RealDiscreteFourierTransform transform(mode);
    transform.process(both);
    transform.process(view);
    EXPECT_EQ(std::vector<double>(both.channelData(0), both.channelData(0) + n),
              transformed(left, mode));
    EXPECT_EQ(std::vector<double>(both.channelData(1), both.channelData(1) + n),
              transformed(right, mode));
    for (unsigned c = 0; c < 2; ++c) {
      for (unsigned p = 0; p < n; ++p) ASSERT_EQ(view.get(c, p), both.get(c, p)) << c << "," << p;
      EXPECT_EQ(wide.get(c, 2), 0.0);
      EXPECT_EQ(wide.get(c, n + 3), 0.0);
    }
  }
}

TEST(RealDiscreteFourierTransform, AlternatingLengthsMatchFreshInstances) {
  for (int mode : {1, -1}) {
    RealDiscreteFourierTransform reused(mode);
    for (unsigned n : {4096u, 1024u, 4096u, 64u, 2u, 8u, 4u, 64u}) {
      const std::vector<double> x = randomSignal(n, n + 5);
      DefaultClip clip = clipOf(x);
      reused.process(clip);
      EXPECT_EQ(std::vector<double>(clip.channelData(0), clip.channelData(0) + n),
                transformed(x, mode))
          << "n=" << n;
      EXPECT_EQ(reused.getPreparedLength(), n);
    }
  }
}

TEST(RealDiscreteFourierTransform, RejectsBadModesAndLengthsBeforeChangingAnything) {
  for (int mode : {0, 2}) {
    EXPECT_SPL_FAILURE_AT(RealDiscreteFourierTransform{mode}, "mode",
                          "spl/block/RealDiscreteFourierTransform", 10);
  }

  RealDiscreteFourierTransform transform(1);
  DefaultClip prepared(1, 16);
  transform.process(prepared);
  for (unsigned n : {0u, 1u, 3u, 6u, 12u, 48u}) {
    DefaultClip clip(2, n);
    for (unsigned p = 0; p < n; ++p) clip.set(1, p, p + 1.0);
    const unsigned line = n < 2 ? 13 : 16;
    EXPECT_SPL_FAILURE_AT(transform.process(clip), "assertion error", "spl/block/FFTBase", line)
        << "n=" << n;
    for (unsigned p = 0; p < n; ++p) EXPECT_EQ(clip.get(1, p), p + 1.0);
    EXPECT_EQ(transform.getPreparedLength(), 16u);
  }
}

}  // namespace
