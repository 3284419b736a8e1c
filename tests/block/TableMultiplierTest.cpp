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
    const std::vector<double> first = tableOf(*window, 8);
    EXPECT_EQ(tableOf(*window, 8), first);
    EXPECT_EQ(window->getTableBuildCount(), 1u);
    tableOf(*window, 16);
    EXPECT_EQ(window->getTableBuildCount(), 2u);
    EXPECT_EQ(window->getTable().size(), 16u);
  }
}

}  // namespace
