// Counts heap allocations on the audio path of the band gainer. This
// file replaces the global operator new, so it is an executable of its own.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "spl/block/BandGainer.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/AllocationCounter.h"

using spl_test::allocations;

TEST(BandGainerAlloc, SteadyBlocksAllocateNothing) {
  spl::BandGainer gainer(44100, 31);
  std::vector<double> gains(31, 0.0);
  gains[12] = -6.0;
  gainer.setGains(gains);
  spl::DefaultClip block(2, 1024);
  auto fill = [&](unsigned n) {
    for (unsigned p = 0; p < 1024; ++p) {
      const double t = double(n) * 1024 + p;
      block.set(0, p, std::sin(t / 5.0));
      block.set(1, p, std::sin(t / 50.0));
    }
  };
  fill(0);
  gainer.process(block);  // the first block builds the tables, the weights and the curve
  allocations = 0;
  for (unsigned n = 1; n < 10; ++n) {
    fill(n);
    gainer.process(block);
  }
  // New gains at the same length rebuild the curve in place.
  gainer.setGains(gains);
  gainer.process(block);
  EXPECT_EQ(allocations.load(), 0);
}
