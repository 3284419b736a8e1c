#include <gtest/gtest.h>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/MDCTFoldClip.h"
#include "spl/clip/MDCTUnfoldClip.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/TestClips.h"

namespace {

using namespace spl;
using spl_test::ramp;

constexpr double kSqrt2 = 1.4142135623730951;

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
