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
  for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << i;
}

TEST(SineAndCosineWindow, OneWholePeriod) {
  spl::SineWindow sine;
  spl::CosineWindow cosine;
  expectNear(tableOf(sine, 4), {0, 1, 0, -1}, 1e-15);
  expectNear(tableOf(cosine, 4), {1, 0, -1, 0}, 1e-15);
  EXPECT_EQ(tableOf(cosine, 4)[2], -1.0);
  EXPECT_EQ(tableOf(sine, 1), std::vector<double>{0.0});
  EXPECT_EQ(tableOf(cosine, 1), std::vector<double>{1.0});
}

TEST(GaussianWindow, BellAtEight) {
  spl::GaussianWindow window;
  expectNear(tableOf(window, 8), {0.056875, 0.1913039345, 0.455, 0.7652157379, 0.91, 0.7652157379,
                                  0.455, 0.1913039345});
  expectNear(tableOf(window, 1), {0.056875});
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

TEST(FurtherWindows, TableIsBuiltOnlyWhenTheLengthChanges) {
  spl::SineWindow sine;
  spl::CosineWindow cosine;
  spl::GaussianWindow gaussian;
  spl::GaussianAdjustWindow adjust;
  spl::SigmoidWindow sigmoid(2.0);
  for (spl::TableMultiplier* window :
       {static_cast<spl::TableMultiplier*>(&sine), static_cast<spl::TableMultiplier*>(&cosine),
        static_cast<spl::TableMultiplier*>(&gaussian), static_cast<spl::TableMultiplier*>(&adjust),
        static_cast<spl::TableMultiplier*>(&sigmoid)}) {
    const std::vector<double> first = tableOf(*window, 8);
    EXPECT_EQ(tableOf(*window, 8), first);
    EXPECT_EQ(window->getTableBuildCount(), 1u);
    tableOf(*window, 16);
    EXPECT_EQ(window->getTableBuildCount(), 2u);
    EXPECT_EQ(window->getTable().size(), 16u);
  }
}

}  // namespace
