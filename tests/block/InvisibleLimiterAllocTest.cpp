// Counts heap allocations on the audio path of the invisible limiters. This
// file replaces the global operator new, so it is an executable of its own.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "spl/block/InvisibleLimiter.h"
#include "spl/block/InvisibleLimiter2.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/AllocationCounter.h"

using spl_test::allocations;

namespace {

void fill(spl::DefaultClip& block, unsigned n) {
  for (unsigned p = 0; p < block.getLength(); ++p) {
    const double t = double(n) * block.getLength() + p;
    block.set(0, p, 1.5 * std::sin(t / 7.3));
    block.set(1, p, 0.8 * std::sin(t / 3.1 + 1.0));
  }
}

}  // namespace

TEST(InvisibleLimiterAlloc, SteadyBlocksAllocateNothing) {
  spl::InvisibleLimiter limiter(2, 512);
  limiter.setThreshold(-6.0);
  limiter.setHardClip(true);
  spl::DefaultClip block(2, 512);
  fill(block, 0);
  limiter.process(block);  // the first block may size the buffers
  allocations = 0;
  for (unsigned n = 1; n < 20; ++n) {
    fill(block, n);
    limiter.process(block);
  }
  EXPECT_EQ(allocations.load(), 0);
}

TEST(InvisibleLimiterAlloc, SampleLimitersAllocateOnlyWhenBuilt) {
  spl::InvisibleLimiter2 limiter(2);
  spl::DefaultClip block(2, 300);
  allocations = 0;
  for (unsigned n = 0; n < 40; ++n) {
    fill(block, n);
    limiter.process(block);
  }
  EXPECT_EQ(allocations.load(), 0);
}
