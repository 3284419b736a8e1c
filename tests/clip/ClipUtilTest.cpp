#include <gtest/gtest.h>

#include <vector>

#include "spl/clip/ClipUtil.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/TestClips.h"

namespace {

using spl::DefaultClip;
using spl_test::ramp;
namespace ClipUtil = spl::ClipUtil;

constexpr const char* kSource = "spl/clip/ClipUtil";

TEST(ClipUtil, ChannelAndVectorRoundTrip) {
  const DefaultClip clip = ramp(2, 3);
  std::vector<double> v{9, 9, 9, 9, 9};
  ClipUtil::copyChannelToVector(clip, v, 1);
  EXPECT_EQ(v, (std::vector<double>{101, 102, 103}));

  DefaultClip target(2, 3);
  ClipUtil::copyVectorToChannel(v, target, 0);
  EXPECT_EQ(target.get(0, 2), 103.0);
  EXPECT_EQ(target.get(1, 2), 0.0);
  v.push_back(1.0);
  EXPECT_SPL_FAILURE(ClipUtil::copyVectorToChannel(v, target, 1),
                     "clip.getLength() != vector.size()", kSource);
  EXPECT_EQ(target.get(1, 0), 0.0);
}

TEST(ClipUtil, InterleaveFrameAfterFrame) {
  const DefaultClip clip = ramp(2, 3);
  std::vector<double> v{42};
  ClipUtil::interleave(clip, v);
  EXPECT_EQ(v, (std::vector<double>{1, 101, 2, 102, 3, 103}));

  v.push_back(7.0);  // a partial frame
  DefaultClip back(2, 10);
  ClipUtil::deinterleave(v, back);
  ASSERT_EQ(back.getLength(), 3u);
  for (unsigned p = 0; p < 3; ++p)
    for (unsigned c = 0; c < 2; ++c) EXPECT_EQ(back.get(c, p), clip.get(c, p));

  // Into silence the samples are discarded, but the length is taken.
  spl::ZeroClip zero(2, 1);
  ClipUtil::deinterleave(v, zero);
  EXPECT_EQ(zero.getLength(), 3u);
  // A clip without channels takes no frames instead of dividing by zero.
  spl::ZeroClip none(0, 5);
  ClipUtil::deinterleave(v, none);
  EXPECT_EQ(none.getLength(), 0u);
}

TEST(ClipUtil, AddChecksSizesBeforeWriting) {
  const DefaultClip a = ramp(2, 4);
  const DefaultClip b = ramp(2, 4);
  DefaultClip sum(2, 1);
  ClipUtil::add(a, b, sum);
  ASSERT_EQ(sum.getLength(), 4u);
  EXPECT_EQ(sum.get(1, 3), 208.0);

  DefaultClip untouched = ramp(2, 2);
  EXPECT_SPL_FAILURE(ClipUtil::add(a, ramp(2, 3), untouched), "a.getLength() != b.getLength()",
                     kSource);
  EXPECT_SPL_FAILURE(ClipUtil::add(a, ramp(1, 4), untouched),
                     "a.getNumChannels() != b.getNumChannels()", kSource);
  DefaultClip mono = ramp(1, 2);
  EXPECT_SPL_FAILURE(ClipUtil::add(a, b, mono), "a.getNumChannels() != clip.getNumChannels()",
                     kSource);
  EXPECT_EQ(untouched.getLength(), 2u);
  EXPECT_EQ(untouched.get(1, 1), 102.0);
  EXPECT_EQ(mono.get(0, 1), 2.0);

  DefaultClip empty(2, 0);
  ClipUtil::add(empty, empty, untouched);
  EXPECT_EQ(untouched.getLength(), 0u);
}

TEST(ClipUtil, SplitCutsEqualParts) {
  DefaultClip clip = ramp(1, 10);
  const spl::RangedClip second = ClipUtil::split(clip, 3, 1);
  EXPECT_EQ(second.getLength(), 3u);
  EXPECT_EQ(second.get(0, 0), 4.0);
  // The remainder of the division belongs to no part, but stays reachable.
  const spl::RangedClip third = ClipUtil::split(clip, 3, 2);
  EXPECT_EQ(third.get(0, 3), 10.0);
  EXPECT_SPL_FAILURE(ClipUtil::split(clip, 3, 4), "begin", "spl/clip/RangedClip");
  EXPECT_SPL_FAILURE(ClipUtil::split(clip, 0, 0), "assertion error", kSource);
  // 858993460 * 5 wraps to 4 in 32 bits; the part must still be refused.
  EXPECT_SPL_FAILURE(ClipUtil::split(clip, 2, 858993460u), "begin", "spl/clip/RangedClip");
}

}  // namespace
