#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "spl/block/CosineWindow.h"
#include "spl/block/SineWindow.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/WindowFactors.h"

namespace {

using spl::DefaultClip;
using spl_test::expectNear;
using spl_test::factors;
using spl_test::kTenDigits;

TEST(SineAndCosineWindow, OneWholePeriod) {
  spl::SineWindow sine;
  spl::CosineWindow cosine;
  expectNear(factors(sine, 4), {0, 1, 0, -1}, 1e-15);
  expectNear(factors(cosine, 4), {1, 0, -1, 0}, 1e-15);
  EXPECT_EQ(factors(cosine, 4)[2], -1.0);
  EXPECT_EQ(factors(sine, 1), std::vector<double>{0.0});
  EXPECT_EQ(factors(cosine, 1), std::vector<double>{1.0});
}

}  // namespace
