// Counts heap allocations to show that the transform allocates only when a length first
// appears. Replaces the global operator new, so it is an executable of its own.
#include <gtest/gtest.h>

#include <cstdlib>

#include "spl/block/RealDiscreteFourierTransform.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/RangedClip.h"
#include "tests/support/AllocationCounter.h"

using spl_test::allocations;

namespace {

TEST(RealDiscreteFourierTransformAlloc, RepeatedCallsAtOneLengthDoNotAllocate) {
  spl::DefaultClip frame(2, 1 << 14);
  spl::DefaultClip wide(2, (1 << 14) + 16);
  spl::RangedClip view(wide, 16, 1 << 14);
  for (int mode : {1, -1}) {
    spl::RealDiscreteFourierTransform transform(mode);
    transform.process(frame);
    transform.process(view);
    const long before = allocations.load();
    for (int round = 0; round < 3; ++round) {
      transform.process(frame);
      transform.process(view);
    }
    EXPECT_EQ(allocations.load(), before) << "mode " << mode;
  }
}

}  // namespace
