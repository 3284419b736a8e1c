#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "spl/block/CosineWindow.h"
#include "spl/block/GaussianAdjustWindow.h"
#include "spl/block/GaussianWindow.h"
#include "spl/block/SigmoidWindow.h"
#include "spl/block/SineWindow.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/FailureCheck.h"

namespace {

using spl::DefaultClip;

constexpr double kTenDigits = 5e-11;

// The factors a window applies, read off a two-channel clip of ones.
std::vector<double> tableOf(spl::TableMultiplier& window, unsigned length) {
  DefaultClip clip(2, length);
  for (unsigned p = 0; p < length; ++p)
    for (unsigned c = 0; c < 2; ++c) clip.set(c, p, 1.0);
  window.process(clip);
  std::vector<double> result;
  for (unsigned p = 0; p < length; ++p) {
    EXPECT_EQ(clip.get(0, p), clip.get(1, p)) << p;
    result.push_back(clip.get(1, p));
  }
  return result;
}

void expectNear(const std::vector<double>& actual, const std::vector<double>& expected,
                double tolerance = kTenDigits) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i)
    EXPECT_NEAR(actual[i], expected[i], tolerance) << i;
}

TEST(GaussianAdjustWindow, HalvesUseTheirOwnNeighbour) {
  spl::GaussianAdjustWindow window;
  const std::vector<double> eight = tableOf(window, 8);
  expectNear(eight, {0.9085189678, 0.8762360917, 0.8876070439, 0.8762360917, 0.9085189678,
                     0.8762360917, 0.8876070439, 0.8762360917});
  for (unsigned n : {8u, 64u, 1000u}) {
    const std::vector<double> w = tableOf(window, n);
    for (unsigned i = 0; i < n / 2; ++i) EXPECT_NEAR(w[i], w[i + n / 2], 1e-15) << n << ":" << i;
  }
  // For an odd length the middle entry takes the later neighbour (t = 1).
  const std::vector<double> three = tableOf(window, 3);
  const double t = 1.0 / 3.0, s2 = 0.33 * 0.33;
  EXPECT_NEAR(three[1],
              1.0 / (std::exp(-(t - 0.5) * (t - 0.5) / s2) + std::exp(-(t - 1) * (t - 1) / s2)),
              1e-15);
}

}  // namespace
