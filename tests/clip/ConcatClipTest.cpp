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

TEST(ConcatClip, SplitsAccessAtTheFirstClipsLength) {
  DefaultClip a = ramp(2, 3);
  DefaultClip b(2, 5);
  ConcatClip joined(a, b);
  EXPECT_EQ(joined.getLength(), 8u);
  EXPECT_EQ(joined.getNumChannels(), 2u);
  EXPECT_EQ(joined.toString(), "ConcatClip");
  b.set(1, 0, 7.0);
  EXPECT_EQ(joined.get(1, 3), 7.0);
  EXPECT_EQ(joined.get(1, 2), 103.0);
  joined.set(0, 2, -1.0);
  joined.set(0, 7, -2.0);
  EXPECT_EQ(a.get(0, 2), -1.0);
  EXPECT_EQ(b.get(0, 4), -2.0);
  // Past the end the second clip reports the failure.
  EXPECT_SPL_FAILURE(joined.set(0, 8, 1.0), "position", "spl/clip/DefaultClip");
  EXPECT_SPL_FAILURE(joined.setLength(2), "unsupported", "spl/clip/ClipAdapter");
  // The split point follows the first clip's current length.
  a.setLength(1);
  EXPECT_EQ(joined.getLength(), 6u);
  EXPECT_EQ(joined.get(0, 5), -2.0);
}

TEST(ConcatClip, EmptySidesAndMismatchedChannels) {
  DefaultClip a = ramp(1, 4);
  DefaultClip empty(1, 0);
  ConcatClip asA(a, empty);
  ConcatClip asB(empty, a);
  for (unsigned p = 0; p < 4; ++p) {
    EXPECT_EQ(asA.get(0, p), p + 1.0);
    EXPECT_EQ(asB.get(0, p), p + 1.0);
  }
  EXPECT_EQ(asB.getLength(), 4u);
  DefaultClip stereo(2, 4);
  EXPECT_SPL_FAILURE(ConcatClip(a, stereo), "a.getNumChannels() != b.getNumChannels()",
                     "spl/clip/ConcatClip");
}

TEST(Views, PaddingAndCuttingAsTheImagingCoreDoes) {
  // Silence, block, silence joined; the middle cut out again is the block itself.
  DefaultClip block = ramp(2, 4);
  ZeroClip pad(2, 3);
  ConcatClip left(pad, block);
  ConcatClip padded(left, pad);
  ASSERT_EQ(padded.getLength(), 10u);
  EXPECT_EQ(padded.get(1, 2), 0.0);
  EXPECT_EQ(padded.get(1, 3), 101.0);
  EXPECT_EQ(padded.get(1, 7), 0.0);
  // Writes into the padding vanish; writes into the middle reach the block.
  padded.set(0, 0, 9.0);
  padded.set(0, 9, 9.0);
  padded.set(0, 6, 9.0);
  EXPECT_EQ(padded.get(0, 0), 0.0);
  EXPECT_EQ(block.get(0, 3), 9.0);
  RangedClip middle(padded, 3, 4);
  EXPECT_EQ(middle.toString(), "RangedClip/ConcatClip");
  const DefaultClip back(middle);
  for (unsigned p = 0; p < 4; ++p)
    for (unsigned c = 0; c < 2; ++c) EXPECT_EQ(back.get(c, p), block.get(c, p));
  // A window of a window.
  RangedClip inner(middle, 1, 2);
  EXPECT_EQ(inner.get(1, 1), 103.0);
}

}  // namespace
