#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "spl/block/GaussianAdjustWindow.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/WindowFactors.h"

namespace {

using spl::DefaultClip;
using spl_test::expectNear;
using spl_test::factors;
using spl_test::kTenDigits;

TEST(GaussianAdjustWindow, HalvesUseTheirOwnNeighbour) {
  spl::GaussianAdjustWindow window;
  const std::vector<double> eight = factors(window, 8);
  expectNear(eight, {0.9085189678, 0.8762360917, 0.8876070439, 0.8762360917, 0.9085189678,
                     0.8762360917, 0.8876070439, 0.8762360917});
  for (unsigned n : {8u, 64u, 1000u}) {
    const std::vector<double> w = factors(window, n);
    for (unsigned i = 0; i < n / 2; ++i) EXPECT_NEAR(w[i], w[i + n / 2], 1e-15) << n << ":" << i;
  }
  // For an odd length the middle entry takes the later neighbour (t = 1).
  const std::vector<double> three = factors(window, 3);
  const double t = 1.0 / 3.0, s2 = 0.33 * 0.33;
  EXPECT_NEAR(three[1],
              1.0 / (std::exp(-(t - 0.5) * (t - 0.5) / s2) + std::exp(-(t - 1) * (t - 1) / s2)),
              1e-15);
}

}  // namespace
