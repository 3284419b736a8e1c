// Counts heap allocations to show that the transforms and the filter built on
// them allocate only when a length first appears. Replaces the global operator new, so it is an
// executable of its own.
#include <gtest/gtest.h>

#include <cstdlib>

#include "spl/block/FirLowpassFilter.h"
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

TEST(FirLowpassFilterAlloc, RepeatedBlocksDoNotAllocate) {
  spl::FirLowpassFilter filter;
  filter.setCutoff(0.25);
  spl::DefaultClip block(2, spl::FirLowpassFilter::BLOCK_LENGTH);
  block.set(0, 5, 1.0);
  filter.process(block);
  const long before = allocations.load();
  for (int round = 0; round < 3; ++round) filter.process(block);
  EXPECT_EQ(allocations.load(), before);
}

}  // namespace
