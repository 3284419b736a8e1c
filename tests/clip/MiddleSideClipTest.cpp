#include <gtest/gtest.h>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/MiddleSideClip.h"
#include "spl/clip/ZeroClip.h"
#include "tests/support/FailureCheck.h"

namespace {

using namespace spl;

constexpr double kSqrt2 = 1.4142135623730951;

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
  EXPECT_SPL_FAILURE(MiddleSideClip{wide}, "_a->getNumChannels() != 2", "spl/clip/MiddleSideClip");
}

}  // namespace
