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

}  // namespace
