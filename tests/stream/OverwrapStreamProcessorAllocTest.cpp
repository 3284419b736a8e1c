// Counts heap allocations on the audio path of the overlapped processor. This
// file replaces the global operator new, so it is an executable of its own.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "spl/block/BlockProcessor.h"
#include "spl/clip/DefaultClip.h"
#include "spl/stream/OverwrapStreamProcessor.h"
#include "tests/support/AllocationCounter.h"

using spl_test::allocations;

namespace {

// Halves every sample in place, as a window-and-level stage would; allocates nothing.
class HalvingProcessor : public spl::BlockProcessor {
 public:
  void process(spl::Clip& clip) override {
    ++calls;
    for (unsigned p = 0; p < clip.getLength(); ++p) {
      for (unsigned c = 0; c < clip.getNumChannels(); ++c) clip.set(c, p, 0.5 * clip.get(c, p));
    }
  }
  long calls = 0;
};

// One host block the way the plug-in handles it: the block clip takes the
// host's frame count, is written, and is read back over with as many frames.
void hostBlock(spl::OverwrapStreamProcessor& processor, spl::DefaultClip& block, unsigned frames,
               double& phase) {
  block.setLength(frames);
  for (unsigned p = 0; p < frames; ++p) {
    phase += 0.01;
    block.set(0, p, phase);
    block.set(1, p, -phase);
  }
  processor.write(block);
  processor.read(block, frames);
}

// Runs `blocks` host blocks of random lengths up to `maxFrames` (with the
// extremes mixed in) and returns the allocations they made.
long allocationsOver(spl::OverwrapStreamProcessor& processor, spl::DefaultClip& block,
                     unsigned maxFrames, int blocks, unsigned seed, long& shortReads) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<unsigned> length(0, maxFrames);
  double phase = 0;
  allocations = 0;
  for (int i = 0; i < blocks; ++i) {
    const unsigned frames = i % 7 == 0 ? maxFrames : i % 11 == 0 ? 1 : length(random);
    hostBlock(processor, block, frames, phase);
    if (block.getLength() != frames) ++shortReads;
  }
  return allocations.load();
}

}  // namespace

TEST(OverwrapStreamProcessorAlloc, SteadyStateWriteAndReadNeverAllocate) {
  HalvingProcessor halving;
  spl::OverwrapStreamProcessor processor(halving, 2, 4096, 8192);
  spl::DefaultClip block(2, 0);
  block.reserve(8192);
  double phase = 0;
  hostBlock(processor, block, 512, phase);  // the first write may settle things

  long shortReads = 0;
  EXPECT_EQ(allocationsOver(processor, block, 8192, 300, 1, shortReads), 0);
  EXPECT_EQ(shortReads, 0);
  EXPECT_GT(halving.calls, 300);
}

TEST(OverwrapStreamProcessorAlloc, ReserveLaterForALargerHostBlock) {
  HalvingProcessor halving;
  spl::OverwrapStreamProcessor processor(halving, 2, 64);  // nothing reserved yet
  spl::DefaultClip block(2, 0);
  block.reserve(20000);
  double phase = 0;
  hostBlock(processor, block, 100, phase);

  // A host block far larger than anything seen makes the buffers grow once.
  hostBlock(processor, block, 20000, phase);

  processor.reserve(20000);
  long shortReads = 0;
  EXPECT_EQ(allocationsOver(processor, block, 20000, 60, 2, shortReads), 0);
  EXPECT_EQ(shortReads, 0);
}

TEST(OverwrapStreamProcessorAlloc, CounterSeesAllocations) {
  allocations = 0;
  auto* clip = new spl::DefaultClip(2, 16);
  delete clip;
  EXPECT_GE(allocations.load(), 2);
}
