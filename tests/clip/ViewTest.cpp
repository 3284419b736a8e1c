#include <gtest/gtest.h>

#include "spl/clip/ConcatClip.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/DelegationClip.h"
#include "spl/clip/RangedClip.h"
#include "spl/clip/ZeroClip.h"
#include "tests/support/FailureCheck.h"

namespace {

using spl::ConcatClip;
using spl::DefaultClip;
using spl::DelegationClip;
using spl::RangedClip;
using spl::ZeroClip;

// A clip whose sample (c, p) is 100 c + p + 1.
DefaultClip ramp(unsigned channels, unsigned length) {
  DefaultClip clip(channels, length);
  for (unsigned p = 0; p < length; ++p)
    for (unsigned c = 0; c < channels; ++c) clip.set(c, p, 100.0 * c + p + 1);
  return clip;
}

TEST(ClipAdapter, EveryOperationIsUnsupported) {
  const char* source = "spl/clip/ClipAdapter";
  spl::ClipAdapter adapter;
  DefaultClip clip(1, 1);
  EXPECT_SPL_FAILURE(adapter.assign(clip), "unsupported", source);
  EXPECT_SPL_FAILURE(adapter.getNumChannels(), "unsupported", source);
  EXPECT_SPL_FAILURE(adapter.getLength(), "unsupported", source);
  EXPECT_SPL_FAILURE(adapter.get(0, 0), "unsupported", source);
  EXPECT_SPL_FAILURE(adapter.set(0, 0, 1.0), "unsupported", source);
  EXPECT_SPL_FAILURE(adapter.setLength(1), "unsupported", source);
  EXPECT_SPL_FAILURE(adapter.toString(), "unsupported", source);
}

TEST(DelegationClip, IsAReadOnlyProxyThatFollowsItsClip) {
  DefaultClip clip = ramp(2, 4);
  DelegationClip view(clip);
  EXPECT_EQ(view.get(1, 3), 104.0);
  EXPECT_EQ(view.toString(), "Clip [channels=2, length=4]");
  clip.setLength(6);
  EXPECT_EQ(view.getLength(), 6u);
  EXPECT_EQ(view.get(1, 3), 0.0);
  EXPECT_SPL_FAILURE(view.assign(clip), "unsupported", "spl/clip/ClipAdapter");
  EXPECT_SPL_FAILURE(view.setLength(2), "unsupported", "spl/clip/ClipAdapter");
  EXPECT_SPL_FAILURE(view.set(0, 0, 1.0), "unsupported", "spl/clip/ClipAdapter");
  EXPECT_EQ(clip.getLength(), 6u);
  // Range failures are the wrapped clip's.
  EXPECT_SPL_FAILURE(view.get(2, 0), "assertion error", "spl/clip/DefaultClip");
}

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
