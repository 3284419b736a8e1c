#include <gtest/gtest.h>

#include "spl/clip/ConcatClip.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/DelegationClip.h"
#include "spl/clip/RangedClip.h"
#include "spl/clip/ZeroClip.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/TestClips.h"

namespace {

using spl::ConcatClip;
using spl::DefaultClip;
using spl::DelegationClip;
using spl::RangedClip;
using spl::ZeroClip;
using spl_test::ramp;

TEST(RangedClip, ConstructorBoundsTheWindowByTheClip) {
  const char* source = "spl/clip/RangedClip";
  DefaultClip clip = ramp(1, 10);
  EXPECT_SPL_FAILURE(RangedClip(clip, 10, 0), "begin", source);
  EXPECT_SPL_FAILURE(RangedClip(clip, 9, 2), "length", source);
  // A length that would wrap around 32 bits is still too long.
  EXPECT_SPL_FAILURE(RangedClip(clip, 9, 0xFFFFFFFFu), "length", source);
  DefaultClip empty(1, 0);
  EXPECT_SPL_FAILURE(RangedClip(empty, 0, 0), "begin", source);
  const RangedClip last(clip, 9, 1);
  EXPECT_EQ(last.get(0, 0), 10.0);
  const RangedClip nothing(clip, 3, 0);
  EXPECT_EQ(nothing.getLength(), 0u);
}

TEST(RangedClip, AccessIsBoundedOnlyByTheWrappedClip) {
  DefaultClip clip = ramp(2, 10);
  RangedClip window(clip, 2, 4);
  EXPECT_EQ(window.getLength(), 4u);
  EXPECT_EQ(window.getNumChannels(), 2u);
  EXPECT_EQ(window.get(1, 0), 103.0);
  EXPECT_EQ(window.get(0, 7), 10.0);
  EXPECT_SPL_FAILURE(window.get(0, 8), "assertion error", "spl/clip/RangedClip");
  EXPECT_SPL_FAILURE(window.set(0, 8, 1.0), "assertion error", "spl/clip/RangedClip");
  // A position so large that begin + position wraps around must not reach the clip.
  EXPECT_SPL_FAILURE(window.get(0, 0xFFFFFFFFu), "assertion error", "spl/clip/RangedClip");
  EXPECT_SPL_FAILURE(window.get(2, 0), "assertion error", "spl/clip/DefaultClip");
  window.set(1, 3, -5.0);
  EXPECT_EQ(clip.get(1, 5), -5.0);
  EXPECT_SPL_FAILURE(window.setLength(1), "unsupported", "spl/clip/ClipAdapter");
  EXPECT_EQ(window.toString(), "RangedClip/Clip [channels=2, length=10]");
  // A copy is the same window over the same clip.
  const RangedClip copy = window;
  EXPECT_EQ(copy.get(1, 3), -5.0);
  EXPECT_EQ(copy.getLength(), 4u);
}

}  // namespace
