#include <gtest/gtest.h>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/DemuxClip.h"
#include "spl/clip/MuxClip.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/TestClips.h"

namespace {

using namespace spl;
using spl_test::ramp;

constexpr double kSqrt2 = 1.4142135623730951;

TEST(MuxAndDemuxClip, MoveChannelsBetweenClips) {
  const DefaultClip left = ramp(2, 3);
  DefaultClip right = ramp(2, 3);
  right.set(0, 1, -7.0);
  const MuxClip mux(left, right);
  EXPECT_EQ(mux.getNumChannels(), 2u);
  EXPECT_EQ(mux.getLength(), 3u);
  // Channel 0 of each input, even though they have two.
  EXPECT_EQ(mux.get(0, 1), 2.0);
  EXPECT_EQ(mux.get(1, 1), -7.0);
  EXPECT_SPL_FAILURE(mux.get(2, 0), "NO arrival", "spl/clip/MuxClip");
  EXPECT_SPL_FAILURE(MuxClip(left, ramp(2, 4)), "a.getLength() != b.getLength()",
                     "spl/clip/MuxClip");
  EXPECT_SPL_FAILURE(MuxClip(left, ramp(1, 3)), "a.getNumChannels() != b.getNumChannels()",
                     "spl/clip/MuxClip");

  const DemuxClip second(left, 1);
  EXPECT_EQ(second.getNumChannels(), 1u);
  EXPECT_EQ(second.getLength(), 3u);
  EXPECT_EQ(second.get(0, 2), 103.0);
  EXPECT_EQ(second.get(5, 2), 103.0);
  EXPECT_SPL_FAILURE(DemuxClip(ramp(1, 3), 0), "_a->getNumChannels() != 2", "spl/clip/DemuxClip");
  // The channel is checked by the wrapped clip when read.
  const DemuxClip third(left, 2);
  EXPECT_SPL_FAILURE(third.get(0, 0), "assertion error", "spl/clip/DefaultClip");
}

}  // namespace
