#include <gtest/gtest.h>

#include "spl/clip/AddClip.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/TestClips.h"

namespace {

using namespace spl;
using spl_test::ramp;

constexpr double kSqrt2 = 1.4142135623730951;

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
