#include <gtest/gtest.h>

#include <vector>

#include "spl/block/Gainer.h"
#include "spl/block/HanningWindow.h"
#include "spl/block/VorbisWindow.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/DelegationClip.h"
#include "spl/clip/RangedClip.h"

namespace {

using spl::DefaultClip;

// The ten-digit values below are rounded, so they hold to half a unit of the
// last digit.
constexpr double kTenDigits = 5e-11;
// A sum of two products rounded several times: a few units in the last place of 1.
constexpr double kRounding = 1e-15;

DefaultClip ones(unsigned channels, unsigned length) {
  DefaultClip clip(channels, length);
  for (unsigned p = 0; p < length; ++p)
    for (unsigned c = 0; c < channels; ++c) clip.set(c, p, 1.0);
  return clip;
}

// The factors a processor applies, read off a two-channel clip of ones; both
// channels must get the same factor.
std::vector<double> factors(spl::BlockProcessor& processor, unsigned length) {
  DefaultClip clip = ones(2, length);
  processor.process(clip);
  EXPECT_EQ(clip.getLength(), length);
  std::vector<double> result;
  for (unsigned p = 0; p < length; ++p) {
    EXPECT_EQ(clip.get(0, p), clip.get(1, p)) << p;
    result.push_back(clip.get(0, p));
  }
  return result;
}

void expectNear(const std::vector<double>& actual, const std::vector<double>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i)
    EXPECT_NEAR(actual[i], expected[i], kTenDigits) << i;
}

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
