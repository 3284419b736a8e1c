// Counts heap allocations to show that the filter allocates only when a length first
// appears. Replaces the global operator new, so it is an executable of its own.
#include <gtest/gtest.h>

#include <cstdlib>

#include "spl/block/FirLowpassFilter.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/AllocationCounter.h"

using spl_test::allocations;

namespace {

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
