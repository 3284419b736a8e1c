#include <gtest/gtest.h>

#include <stdexcept>

#include "spl/clip/CrossfadeClip.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"
#include "tests/support/FailureCheck.h"

namespace {

using spl::CrossfadeClip;
using spl::DefaultClip;

DefaultClip filled(unsigned channels, unsigned length, double value) {
  DefaultClip clip(channels, length);
  for (unsigned p = 0; p < length; ++p)
    for (unsigned c = 0; c < channels; ++c) clip.set(c, p, value);
  return clip;
}

TEST(CrossfadeClip, WeightsOfBothClipsAtLengthFour) {
  const DefaultClip ones = filled(2, 4, 1.0);
  const spl::ZeroClip zeros(2, 4);
  const CrossfadeClip fadeOut(ones, zeros);
  const CrossfadeClip fadeIn(zeros, ones);
  const double weightA[] = {1.0, 0.8535533906, 0.5, 0.1464466094};
  ASSERT_EQ(fadeOut.getLength(), 4u);
  ASSERT_EQ(fadeOut.getNumChannels(), 2u);
  for (unsigned p = 0; p < 4; ++p) {
    for (unsigned c = 0; c < 2; ++c) {
      EXPECT_NEAR(fadeOut.get(c, p), weightA[p], 1e-10) << p;
      EXPECT_NEAR(fadeIn.get(c, p), 1.0 - weightA[p], 1e-10) << p;
    }
  }
  // The two weights are complementary, so equal inputs pass through unchanged.
  const DefaultClip twos = filled(2, 4, 2.0);
  const CrossfadeClip same(twos, twos);
  for (unsigned p = 0; p < 4; ++p) EXPECT_NEAR(same.get(1, p), 2.0, 1e-15);
  EXPECT_EQ(fadeOut.toString(), "CrossfadeClip");
}

TEST(CrossfadeClip, ConstructorRejectsEmptyOrMismatchedClips) {
  const char* source = "spl/clip/CrossfadeClip";
  const DefaultClip a(2, 4);
  const DefaultClip empty(2, 0);
  EXPECT_SPL_FAILURE(CrossfadeClip(empty, empty), "a.getLength() < 1 || b.getLength() < 1", source);
  EXPECT_SPL_FAILURE(CrossfadeClip(a, empty), "a.getLength() < 1 || b.getLength() < 1", source);
  EXPECT_SPL_FAILURE(CrossfadeClip(a, DefaultClip(2, 3)), "a.getLength() != b.getLength()", source);
  EXPECT_SPL_FAILURE(CrossfadeClip(a, DefaultClip(1, 4)),
                     "a.getNumChannels() != b.getNumChannels()", source);
}

TEST(CrossfadeClip, WriteOperationsAreUnsupported) {
  DefaultClip a(1, 2);
  CrossfadeClip view(a, a);
  EXPECT_SPL_FAILURE(view.set(0, 0, 1.0), "unsupported", "spl/clip/ClipAdapter");
  EXPECT_SPL_FAILURE(view.setLength(1), "unsupported", "spl/clip/ClipAdapter");
  EXPECT_SPL_FAILURE(view.assign(a), "unsupported", "spl/clip/ClipAdapter");
  // Range failures come from the wrapped clips.
  EXPECT_SPL_FAILURE(view.get(0, 2), "assertion error", "spl/clip/DefaultClip");
}

}  // namespace
