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

TEST(GaussianWindow, BellAtEight) {
  spl::GaussianWindow window;
  expectNear(tableOf(window, 8), {0.056875, 0.1913039345, 0.455, 0.7652157379, 0.91, 0.7652157379,
                                  0.455, 0.1913039345});
  expectNear(tableOf(window, 1), {0.056875});
}

}  // namespace
