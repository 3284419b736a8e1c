#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "spl/block/GaussianWindow.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/WindowFactors.h"

namespace {

using spl::DefaultClip;
using spl_test::expectNear;
using spl_test::factors;
using spl_test::kTenDigits;

TEST(GaussianWindow, BellAtEight) {
  spl::GaussianWindow window;
  expectNear(factors(window, 8), {0.056875, 0.1913039345, 0.455, 0.7652157379, 0.91, 0.7652157379,
                                  0.455, 0.1913039345});
  expectNear(factors(window, 1), {0.056875});
}

}  // namespace
