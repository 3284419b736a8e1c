#pragma once

// Reading the factors a window (or any block processor that scales samples)
// applies, and comparing them with tabulated values.

#include <gtest/gtest.h>

#include <vector>

#include "spl/block/BlockProcessor.h"
#include "tests/support/TestClips.h"

namespace spl_test {

// The tabulated values are rounded to ten digits, so they hold to half a unit
// of the last digit.
constexpr double kTenDigits = 5e-11;

// The factors a processor applies, read off a two-channel clip of ones; both
// channels must get the same factor.
inline std::vector<double> factors(spl::BlockProcessor& processor, unsigned length) {
  spl::DefaultClip clip = ones(2, length);
  processor.process(clip);
  EXPECT_EQ(clip.getLength(), length);
  std::vector<double> result;
  for (unsigned p = 0; p < length; ++p) {
    EXPECT_EQ(clip.get(0, p), clip.get(1, p)) << p;
    result.push_back(clip.get(0, p));
  }
  return result;
}

inline void expectNear(const std::vector<double>& actual, const std::vector<double>& expected,
                       double tolerance = kTenDigits) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i)
    EXPECT_NEAR(actual[i], expected[i], tolerance) << i;
}

}  // namespace spl_test
