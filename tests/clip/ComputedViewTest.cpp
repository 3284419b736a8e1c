#include <gtest/gtest.h>

#include "spl/clip/AddClip.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/DemuxClip.h"
#include "spl/clip/InterpolationClip.h"
#include "spl/clip/InversedClip.h"
#include "spl/clip/MDCTFoldClip.h"
#include "spl/clip/MDCTUnfoldClip.h"
#include "spl/clip/MiddleSideClip.h"
#include "spl/clip/MuxClip.h"
#include "spl/clip/ReverseClip.h"
#include "spl/clip/ZeroClip.h"
#include "tests/support/FailureCheck.h"

namespace {

using namespace spl;

constexpr double kSqrt2 = 1.4142135623730951;

// A clip whose sample (c, p) is 100 c + p + 1.
DefaultClip ramp(unsigned channels, unsigned length) {
  DefaultClip clip(channels, length);
  for (unsigned p = 0; p < length; ++p)
    for (unsigned c = 0; c < channels; ++c) clip.set(c, p, 100.0 * c + p + 1);
  return clip;
}

TEST(AddClip, SumsAndChecksAgainstTheFirstClip) {
  const char* source = "spl/clip/AddClip";
  const DefaultClip a = ramp(2, 3);
  const DefaultClip b = ramp(2, 3);
  const AddClip sum(a, b);
  EXPECT_EQ(sum.getLength(), 3u);
  EXPECT_EQ(sum.get(1, 2), 206.0);
  EXPECT_EQ(sum.toString(), "AddClip");
  EXPECT_SPL_FAILURE(sum.get(2, 0), "assertion error", source);
  EXPECT_SPL_FAILURE(sum.get(0, 3), "assertion error", source);
  EXPECT_SPL_FAILURE(AddClip(a, ramp(2, 4)), "assertion error", source);
  EXPECT_SPL_FAILURE(AddClip(a, ramp(1, 3)), "assertion error", source);
}

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

TEST(MiddleSideClip, MatrixIsItsOwnInverse) {
  DefaultClip stereo(2, 2);
  stereo.set(0, 0, 1.0);
  stereo.set(1, 0, 1.0);
  stereo.set(0, 1, 0.25);
  stereo.set(1, 1, -3.0);
  const MiddleSideClip ms(stereo);
  EXPECT_DOUBLE_EQ(ms.get(0, 0), kSqrt2);
  EXPECT_EQ(ms.get(1, 0), 0.0);
  EXPECT_EQ(ms.toString(), "MiddleSideClip");
  EXPECT_SPL_FAILURE(ms.get(2, 0), "no arrival", "spl/clip/MiddleSideClip");
  const MiddleSideClip back(static_cast<const Clip&>(ms));
  EXPECT_NEAR(back.get(0, 1), 0.25, 1e-15);
  EXPECT_NEAR(back.get(1, 1), -3.0, 1e-15);
  const DefaultClip wide(ZeroClip(3, 2));
  EXPECT_SPL_FAILURE(MiddleSideClip{wide}, "_a->getNumChannels() != 2",
                    "spl/clip/MiddleSideClip");
}

TEST(InversedAndReverseClip, NegateAndMirror) {
  DefaultClip clip = ramp(2, 5);
  const InversedClip inversed(clip);
  EXPECT_EQ(inversed.get(1, 4), -105.0);
  EXPECT_EQ(inversed.toString(), "Clip [channels=2, length=5]");

  ReverseClip reversed(clip);
  EXPECT_EQ(reversed.get(0, 0), 5.0);
  EXPECT_EQ(reversed.get(1, 4), 101.0);
  EXPECT_SPL_FAILURE(reversed.get(0, 5), "position", "spl/clip/ReverseClip");
  EXPECT_SPL_FAILURE(reversed.set(0, 5, 1.0), "position", "spl/clip/ReverseClip");
  reversed.set(1, 1, -1.0);
  EXPECT_EQ(clip.get(1, 3), -1.0);
  EXPECT_EQ(reversed.toString(), "ReverseClip/Clip [channels=2, length=5]");
  // Reversing twice gives the clip back.
  ReverseClip twice(static_cast<Clip&>(reversed));
  EXPECT_EQ(twice.get(0, 1), 2.0);
  // The mirror follows the clip's current length.
  DefaultClip empty(1, 0);
  ReverseClip none(empty);
  EXPECT_SPL_FAILURE(none.get(0, 0), "position", "spl/clip/ReverseClip");
}

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

TEST(MDCTClips, FoldAndUnfoldQuarters) {
  // Quarters a, b, c, d of length 2: 1 2 | 3 4 | 5 6 | 7 8.
  const DefaultClip clip = ramp(2, 8);
  const MDCTFoldClip fold(clip);
  ASSERT_EQ(fold.getLength(), 4u);
  EXPECT_EQ(fold.getNumChannels(), 2u);
  // (-c reversed - d, a - b reversed)
  const double folded[] = {-6 - 7, -5 - 8, 1 - 4, 2 - 3};
  for (unsigned p = 0; p < 4; ++p) EXPECT_EQ(fold.get(0, p), folded[p]) << p;
  EXPECT_EQ(fold.get(1, 0), -106.0 - 107.0);
  EXPECT_SPL_FAILURE(fold.get(0, 4), "no arrive", "spl/clip/MDCTFoldClip");
  EXPECT_EQ(fold.toString(), "Clip [channels=2, length=8]");

  // Halves p0 = 1 2 3 4, p1 = 5 6 7 8 unfold to (p1, -p1 reversed, -p0 reversed, -p0).
  const MDCTUnfoldClip unfold(clip);
  ASSERT_EQ(unfold.getLength(), 16u);
  const double unfolded[] = {5, 6, 7, 8, -8, -7, -6, -5, -4, -3, -2, -1, -1, -2, -3, -4};
  for (unsigned p = 0; p < 16; ++p) EXPECT_EQ(unfold.get(0, p), unfolded[p]) << p;
  EXPECT_EQ(unfold.get(1, 15), -104.0);
  EXPECT_SPL_FAILURE(unfold.get(0, 16), "no arrive", "spl/clip/MDCTUnfoldClip");
}

TEST(MDCTClips, UnfoldOfFoldRestoresTheLength) {
  const DefaultClip clip = ramp(1, 8);
  const MDCTFoldClip fold(clip);
  const MDCTUnfoldClip unfold(fold);
  ASSERT_EQ(unfold.getLength(), 8u);
  // (a - b_r, b - a_r, c + d_r, c_r + d) with a = 1 2, b = 3 4, c = 5 6, d = 7 8.
  const double expected[] = {1 - 4, 2 - 3, 3 - 2, 4 - 1, 5 + 8, 6 + 7, 6 + 7, 5 + 8};
  for (unsigned p = 0; p < 8; ++p) EXPECT_EQ(unfold.get(0, p), expected[p]) << p;
}

TEST(MDCTClips, LengthsThatDoNotSplitEvenlyAreRefused) {
  EXPECT_SPL_FAILURE(MDCTFoldClip{ramp(1, 6)}, "length", "spl/clip/MDCTFoldClip");
  EXPECT_SPL_FAILURE(MDCTFoldClip{ramp(1, 0)}, "begin", "spl/clip/RangedClip");
  EXPECT_SPL_FAILURE(MDCTUnfoldClip{ramp(1, 5)}, "length", "spl/clip/MDCTUnfoldClip");
  EXPECT_SPL_FAILURE(MDCTUnfoldClip{ramp(1, 0)}, "begin", "spl/clip/RangedClip");
  // The smallest lengths that do split work.
  const DefaultClip four = ramp(1, 4);
  EXPECT_EQ(MDCTFoldClip{four}.get(0, 1), 1.0 - 2.0);
  const DefaultClip two = ramp(1, 2);
  EXPECT_EQ(MDCTUnfoldClip{two}.get(0, 3), -1.0);
}

TEST(MDCTClips, AWrappedClipThatShrinksIsReportedNotDividedByZero) {
  DefaultClip clip = ramp(1, 8);
  const MDCTFoldClip fold(clip);
  const MDCTUnfoldClip unfold(clip);
  clip.setLength(1);
  EXPECT_SPL_FAILURE(fold.get(0, 0), "no arrive", "spl/clip/MDCTFoldClip");
  EXPECT_EQ(unfold.getLength(), 2u);
  EXPECT_SPL_FAILURE(unfold.get(0, 0), "no arrive", "spl/clip/MDCTUnfoldClip");
}

}  // namespace
