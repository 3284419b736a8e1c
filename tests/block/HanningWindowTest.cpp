#include <gtest/gtest.h>

#include <vector>

#include "spl/block/HanningWindow.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/WindowFactors.h"

namespace {

using spl::DefaultClip;
using spl_test::expectNear;
using spl_test::factors;

// A sum of two products rounded several times: a few units in the last place of 1.
constexpr double kRounding = 1e-15;

TEST(HanningWindow, FactorsAndTheirOverlapSum) {
  spl::HanningWindow window;
  expectNear(factors(window, 4), {0, 0.5, 1, 0.5});
  expectNear(factors(window, 8),
             {0, 0.1464466094, 0.5, 0.8535533906, 1, 0.8535533906, 0.5, 0.1464466094});
  for (unsigned n : {8u, 6u, 4096u}) {
    const std::vector<double> w = factors(window, n);
    for (unsigned i = 0; i < n / 2; ++i) EXPECT_NEAR(w[i] + w[i + n / 2], 1.0, kRounding) << n;
  }
}

}  // namespace
