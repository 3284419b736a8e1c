#include <gtest/gtest.h>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/InversedClip.h"
#include "spl/clip/ReverseClip.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/TestClips.h"

namespace {

using namespace spl;
using spl_test::ramp;

constexpr double kSqrt2 = 1.4142135623730951;

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

}  // namespace
