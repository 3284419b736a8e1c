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
#include "tests/support/WindowFactors.h"

namespace {

using spl::DefaultClip;
using spl_test::factors;

TEST(TableMultiplier, TableIsBuiltOnlyWhenTheLengthChanges) {
  spl::SineWindow sine;
  spl::CosineWindow cosine;
  spl::GaussianWindow gaussian;
  spl::GaussianAdjustWindow adjust;
  spl::SigmoidWindow sigmoid(2.0);
  for (spl::TableMultiplier* window :
       {static_cast<spl::TableMultiplier*>(&sine), static_cast<spl::TableMultiplier*>(&cosine),
        static_cast<spl::TableMultiplier*>(&gaussian), static_cast<spl::TableMultiplier*>(&adjust),
        static_cast<spl::TableMultiplier*>(&sigmoid)}) {
    const std::vector<double> first = factors(*window, 8);
    EXPECT_EQ(factors(*window, 8), first);
    EXPECT_EQ(window->getTableBuildCount(), 1u);
    factors(*window, 16);
    EXPECT_EQ(window->getTableBuildCount(), 2u);
    EXPECT_EQ(window->getTable().size(), 16u);
  }
}

}  // namespace
