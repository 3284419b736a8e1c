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

TEST(SigmoidWindow, RisesAndFallsAroundTheQuarters) {
  spl::SigmoidWindow window(1.0);
  expectNear(tableOf(window, 8), {0.2689414214, 0.3775406688, 0.5, 0.6224593312, 0.7310585786,
                                  0.6224593312, 0.5, 0.3775406688});
  spl::SigmoidWindow steep(3.0);
  EXPECT_NEAR(tableOf(steep, 1)[0], 1.0 / (1.0 + std::exp(3.0)), 1e-15);
  const std::vector<double> w = tableOf(steep, 8);
  EXPECT_NEAR(w[2], 0.5, 1e-15);
  EXPECT_NEAR(w[4], 1.0 / (1.0 + std::exp(-3.0)), 1e-15);
}

TEST(SigmoidWindow, SlopeMustBePositive) {
  for (double gain : {0.0, -1.0, -0.0, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_SPL_FAILURE_AT(spl::SigmoidWindow{gain}, "gain <= 0", "spl/block/SigmoidWindow", 13)
        << gain;
  }
  spl::SigmoidWindow gentle(0.001);
  EXPECT_NEAR(tableOf(gentle, 4)[1], 0.5, 1e-15);
}

}  // namespace
