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

}  // namespace
