// Heap allocations on Brisendel's audio path, counted through a replaced global
// operator new that the loaded module's calls reach as well.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/vst/TestHost.h"
#include "tests/support/AllocationCounter.h"

using spl_test::allocations;

namespace {

struct Buffers {
  explicit Buffers(std::size_t frames) : inL(frames), inR(frames), outL(frames), outR(frames),
      fInL(frames), fInR(frames), fOutL(frames), fOutR(frames) {
    for (std::size_t i = 0; i < frames; ++i) {
      inL[i] = fInL[i] = static_cast<float>((i % 97) / 97.0 - 0.5);
      inR[i] = fInR[i] = static_cast<float>((i % 61) / 61.0 - 0.5);
    }
  }
  std::vector<double> inL, inR, outL, outR;
  std::vector<float> fInL, fInR, fOutL, fOutR;
};

// Allocations made by one double and one single call of `frames` frames.
long allocationsOf(TestHost& host, Buffers& b, VstInt32 frames) {
  const long before = allocations.load();
  host.processDouble(b.inL.data(), b.inR.data(), b.outL.data(), b.outR.data(), frames);
  host.processFloat(b.fInL.data(), b.fInR.data(), b.fOutL.data(), b.fOutR.data(), frames);
  return allocations.load() - before;
}

TEST(BrisendelAllocations, NoneAfterTheFirstBlockAtEachQuality) {
  TestHost host;
  Buffers buffers(8192);
  const std::vector<VstInt32> sizes = {8192, 1, 0, 31, 157, 4096, 8192, 2048, 5000};
  // The largest transforms are slow: fewer blocks there, each one window or more.
  const std::vector<VstInt32> fewSizes = {1, 0, 157, 2048};
  for (int quality = 1; quality <= 9; ++quality) {
    // Step quality - 1 of nine: its centre is (quality - 0.5) / 9.
    host.setParameter(3, static_cast<float>((quality - 0.5) / 9.0));
    // The first block at a new Quality may build the larger transform frame,
    // even one too short to complete a window.
    allocationsOf(host, buffers, 1);
    for (VstInt32 frames : quality <= 4 ? sizes : fewSizes) {
      EXPECT_EQ(allocationsOf(host, buffers, frames), 0)
          << "quality " << quality << ", " << frames << " frames";
    }
  }
}

TEST(BrisendelAllocations, NoneWhenParametersChangeBetweenBlocks) {
  TestHost host;
  Buffers buffers(8192);
  // One block with each window builds its table.
  allocationsOf(host, buffers, 8192);
  host.setParameter(4, 0.0f);
  allocationsOf(host, buffers, 1);
  for (int i = 0; i < 8; ++i) {
    host.setParameter(0, i / 8.0f);
    host.setParameter(1, 1.0f - i / 8.0f);
    host.setParameter(2, i % 2 == 0 ? 0.0f : 1.0f);
    host.setParameter(4, i % 3 == 0 ? 0.0f : 1.0f);
    EXPECT_EQ(allocationsOf(host, buffers, 3000), 0) << i;
  }
}

}  // namespace
