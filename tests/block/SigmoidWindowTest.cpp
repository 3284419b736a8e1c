#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "spl/block/SigmoidWindow.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/WindowFactors.h"

namespace {

using spl::DefaultClip;
using spl_test::expectNear;
using spl_test::factors;
using spl_test::kTenDigits;

TEST(SigmoidWindow, RisesAndFallsAroundTheQuarters) {
  spl::SigmoidWindow window(1.0);
  expectNear(factors(window, 8), {0.2689414214, 0.3775406688, 0.5, 0.6224593312, 0.7310585786,
                                  0.6224593312, 0.5, 0.3775406688});
  spl::SigmoidWindow steep(3.0);
  EXPECT_NEAR(factors(steep, 1)[0], 1.0 / (1.0 + std::exp(3.0)), 1e-15);
  const std::vector<double> w = factors(steep, 8);
  EXPECT_NEAR(w[2], 0.5, 1e-15);
  EXPECT_NEAR(w[4], 1.0 / (1.0 + std::exp(-3.0)), 1e-15);
}

TEST(SigmoidWindow, SlopeMustBePositive) {
  for (double gain : {0.0, -1.0, -0.0, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_SPL_FAILURE_AT(spl::SigmoidWindow{gain}, "gain <= 0", "spl/block/SigmoidWindow", 13)
        << gain;
  }
  spl::SigmoidWindow gentle(0.001);
  EXPECT_NEAR(factors(gentle, 4)[1], 0.5, 1e-15);
}

}  // namespace
