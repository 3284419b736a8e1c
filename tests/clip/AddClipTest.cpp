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

}  // namespace
