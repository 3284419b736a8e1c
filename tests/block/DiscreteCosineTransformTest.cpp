#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "spl/block/DiscreteCosineTransform.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/RangedClip.h"
#include "tests/support/FailureCheck.h"

namespace {

using spl::DefaultClip;
using spl::DiscreteCosineTransform;

std::vector<double> transformed(const std::vector<double>& x, int mode) {
  const unsigned n = static_cast<unsigned>(x.size());
  DefaultClip clip(1, n);
  for (unsigned p = 0; p < n; ++p) clip.set(0, p, x[p]);
  DiscreteCosineTransform(mode).process(clip);
  return std::vector<double>(clip.channelData(0), clip.channelData(0) + n);
}

// The defining sums, scaled by sqrt(2/n). Angles are multiples of pi / (2n);
// the table holds cos(pi t / (2n)) for t < 4n.
std::vector<double> direct(const std::vector<double>& x, int mode) {
  const unsigned n = static_cast<unsigned>(x.size());
  std::vector<double> cosine(4 * n);
  for (unsigned t = 0; t < 4 * n; ++t) {
    cosine[t] = static_cast<double>(std::cos(3.14159265358979323846264338327950L * t / (2 * n)));
  }
  std::vector<double> c(n);
  for (unsigned k = 0; k < n; ++k) {
    long double sum = 0.0L;
    for (unsigned j = 0; j < n; ++j) {
      // +1: cos(pi j (2k + 1) / (2n)); -1: cos(pi (2j + 1) k / (2n)).
      const unsigned long long t = mode > 0 ? j * (2ull * k + 1) : (2ull * j + 1) * k;
      sum += x[j] * static_cast<long double>(cosine[t % (4 * n)]);
    }
    c[k] = static_cast<double>(std::sqrt(2.0L / n) * sum);
  }
  return c;
}

double maxDifference(const std::vector<double>& a, const std::vector<double>& b) {
  double worst = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(a[i] - b[i]));
  return worst;
}

TEST(DiscreteCosineTransform, BothDirectionsMatchTheDefiningSums) {
  std::mt19937 gen(5);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  for (unsigned n = 2; n <= 2048; n *= 2) {
    for (int round = 0; round < 2; ++round) {
      std::vector<double> x(n);
      for (auto& v : x) v = dist(gen);
      const double tolerance = 6e-16 * std::sqrt(static_cast<double>(n)) * (std::log2(n) + 4);
      EXPECT_LE(maxDifference(transformed(x, 1), direct(x, 1)), tolerance) << "+1, n=" << n;
      EXPECT_LE(maxDifference(transformed(x, -1), direct(x, -1)), tolerance) << "-1, n=" << n;
    }
  }
}

TEST(DiscreteCosineTransform, WorkedValuesForFourPoints) {
  const std::vector<double> down = transformed({1, 0, 0, 0}, -1);
  const std::vector<double> expectedDown = {0.70710678118654752, 0.65328148243818826, 0.5,
                                            0.27059805007309849};
  EXPECT_LE(maxDifference(down, expectedDown), 1e-15);
  EXPECT_LE(maxDifference(transformed({1, 0, 0, 0}, 1), std::vector<double>(4, std::sqrt(0.5))),
            1e-15);
}

TEST(DiscreteCosineTransform, RoundTripsAddTheMeanOrDoubleTheFirstSample) {
  // -1 then +1 adds the mean of the block to every sample.
  EXPECT_LE(maxDifference(transformed(transformed({1, 2, 3, 4}, -1), 1), {3.5, 4.5, 5.5, 6.5}),
            1e-14);
  // +1 then -1 doubles the first sample.
  EXPECT_LE(maxDifference(transformed(transformed({1, 2, 3, 4}, 1), -1), {2, 2, 3, 4}), 1e-14);

  std::mt19937 gen(9);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  std::vector<double> x(1 << 14);
  double mean = 0.0;
  for (auto& v : x) mean += (v = dist(gen));
  mean /= static_cast<double>(x.size());
  std::vector<double> plusMean = x, doubledFirst = x;
  for (auto& v : plusMean) v += mean;
  doubledFirst[0] *= 2.0;
  EXPECT_LE(maxDifference(transformed(transformed(x, -1), 1), plusMean), 1e-13);
  EXPECT_LE(maxDifference(transformed(transformed(x, 1), -1), doubledFirst), 1e-13);
}

TEST(DiscreteCosineTransform, ViewsAndTwoChannelsAndReuseAcrossLengths) {
  DiscreteCosineTransform transform(-1);
  for (unsigned n : {64u, 8u, 64u, 2u}) {
    DefaultClip wide(2, n + 2);
    std::vector<double> left(n), right(n);
    for (unsigned p = 0; p < n; ++p) {
      left[p] = std::sin(0.3 * p);
      right[p] = 1.0 / (p + 1.0);
      wide.set(0, p + 1, left[p]);
      wide.set(1, p + 1, right[p]);
    }
    spl::RangedClip view(wide, 1, n);
    transform.process(view);
    const std::vector<double> a = transformed(left, -1), b = transformed(right, -1);
    for (unsigned p = 0; p < n; ++p) {
      EXPECT_EQ(view.get(0, p), a[p]);
      EXPECT_EQ(view.get(1, p), b[p]);
    }
    EXPECT_EQ(wide.get(0, 0), 0.0);
    EXPECT_EQ(wide.get(1, n + 1), 0.0);
  }
}

TEST(DiscreteCosineTransform, RejectsBadModesAndLengths) {
  EXPECT_SPL_FAILURE_AT(DiscreteCosineTransform{0}, "mode", "spl/block/DiscreteCosineTransform",
                        10);
  DiscreteCosineTransform transform(1);
  DefaultClip one(1, 1), twelve(1, 12);
  twelve.set(0, 3, 7.0);
  EXPECT_SPL_FAILURE_AT(transform.process(one), "assertion error", "spl/block/FFTBase", 13);
  EXPECT_SPL_FAILURE_AT(transform.process(twelve), "assertion error", "spl/block/FFTBase", 16);
  EXPECT_EQ(twelve.get(0, 3), 7.0);
}

}  // namespace
