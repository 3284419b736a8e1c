#include <gtest/gtest.h>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/InterpolationClip.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/TestClips.h"

namespace {

using namespace spl;
using spl_test::ramp;

constexpr double kSqrt2 = 1.4142135623730951;

TEST(InterpolationClip, StuffsZerosBetweenSamples) {
  const char* source = "spl/clip/InterpolationClip";
  const DefaultClip clip = ramp(1, 3);
  InterpolationClip up(clip, 4);
  ASSERT_EQ(up.getLength(), 12u);
  EXPECT_EQ(up.getNumChannels(), 1u);
  for (unsigned p = 0; p < 12; ++p) EXPECT_EQ(up.get(0, p), p % 4 == 0 ? p / 4 + 1.0 : 0.0) << p;
  EXPECT_SPL_FAILURE(up.get(0, 12), "assertion error", "spl/clip/DefaultClip");
  EXPECT_EQ(up.toString(), "InterpolationClip");
  EXPECT_SPL_FAILURE(up.set(0, 0, 1.0), "unsupported", source);
  EXPECT_SPL_FAILURE(up.setLength(3), "unsupported", source);
  EXPECT_SPL_FAILURE(up.assign(clip), "unsupported", source);
  EXPECT_SPL_FAILURE(InterpolationClip(clip, 0), "factor", source);
}

}  // namespace
