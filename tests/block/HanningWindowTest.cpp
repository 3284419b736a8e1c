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
