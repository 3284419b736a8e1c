#include <gtest/gtest.h>

#include <vector>

#include "spl/block/VorbisWindow.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/WindowFactors.h"

namespace {

using spl::DefaultClip;
using spl_test::expectNear;
using spl_test::factors;

// A sum of two products rounded several times: a few units in the last place of 1.
constexpr double kRounding = 1e-15;

TEST(VorbisWindow, TablesAtFourAndEight) {
  spl::VorbisWindow window;
  expectNear(factors(window, 4), {0, 0.7071067812, 1, 0.7071067812});
  expectNear(factors(window, 8), {0, 0.2280143242, 0.7071067812, 0.9736577776, 1, 0.9736577776,
                                  0.7071067812, 0.2280143242});
  EXPECT_EQ(window.getTable().size(), 8u);
}

TEST(VorbisWindow, SquaresHalfABlockApartAddUpToOne) {
  spl::VorbisWindow window;
  for (unsigned n : {2u, 4u, 8u, 6u, 64u, 4096u}) {
    const std::vector<double> w = factors(window, n);
    for (unsigned i = 0; i < n / 2; ++i)
      EXPECT_NEAR(w[i] * w[i] + w[i + n / 2] * w[i + n / 2], 1.0, kRounding) << n << ":" << i;
  }
}

TEST(VorbisWindow, TableIsBuiltOnlyWhenTheLengthChanges) {
  spl::VorbisWindow window;
  const std::vector<double> first = factors(window, 8);
  EXPECT_EQ(window.getTableBuildCount(), 1u);
  const std::vector<double> second = factors(window, 8);
  EXPECT_EQ(window.getTableBuildCount(), 1u);
  EXPECT_EQ(first, second);
  factors(window, 16);
  EXPECT_EQ(window.getTableBuildCount(), 2u);
  EXPECT_EQ(factors(window, 8), first);
  EXPECT_EQ(window.getTableBuildCount(), 3u);
}

}  // namespace
