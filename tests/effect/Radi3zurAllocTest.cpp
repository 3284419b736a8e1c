// Counts heap allocations to show that the imaging core allocates only when a
// block size, channel count or quality first appears. This file replaces the
// global operator new, so it is an executable of its own.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "effect/Radi3zur.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/AllocationCounter.h"

using spl_test::allocations;

namespace {

void fillRandom(spl::DefaultClip& block, std::mt19937& generator) {
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  for (unsigned p = 0; p < block.getLength(); ++p) {
    for (unsigned c = 0; c < block.getNumChannels(); ++c) block.set(c, p, uniform(generator));
  }
}

}  // namespace

TEST(Radi3zurAlloc, SteadyBlocksDoNotAllocate) {
  std::mt19937 generator(5);
  Radi3zur imager;
  spl::DefaultClip block(2, 4096);  // the plug-in's block length
  // The very first block makes the working frame: proof that the counter sees
  // the allocations of the code under test.
  const long initial = allocations.load();
  imager.process(block);
  ASSERT_GT(allocations.load() - initial, 0);
  for (int mode : {0, 1}) {
    for (unsigned quality : {0u, 1u, 3u, 2u}) {
      imager.setWindowMode(mode);
      imager.setQuality(quality);
      fillRandom(block, generator);
      imager.process(block);  // may allocate: a new frame length or window table

      const long before = allocations.load();
      for (int i = 0; i < 3; ++i) {
        fillRandom(block, generator);
        imager.setCenter(0.25 * i);
        imager.setSide(2.0 - 0.5 * i);
        imager.setAutoGain(i % 2 == 0);
        imager.process(block);
      }
      EXPECT_EQ(allocations.load() - before, 0) << "mode " << mode << ", quality " << quality;
    }
  }
}
