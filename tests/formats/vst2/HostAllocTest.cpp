// Heap allocations on Brisendel's audio path, counted through a replaced global
// operator new that the loaded module's calls reach as well. Brisendel.dll
// carries its own copy of the C++ runtime, linked in statically, so its
// allocations never reach this program's operator new: on Windows there is
// nothing to count and the tests are skipped.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "formats/vst2/VSTPlugin.h"
#include "host/PluginHost.h"
#include "tests/support/AllocationCounter.h"

using brisendel::PluginHost;
using spl_test::allocations;

namespace {

struct Buffers {
  explicit Buffers(std::size_t frames)
      : inL(frames),
        inR(frames),
        outL(frames),
        outR(frames),
        fInL(frames),
        fInR(frames),
        fOutL(frames),
        fOutR(frames) {
    for (std::size_t i = 0; i < frames; ++i) {
      inL[i] = fInL[i] = static_cast<float>((i % 97) / 97.0 - 0.5);
      inR[i] = fInR[i] = static_cast<float>((i % 61) / 61.0 - 0.5);
    }
  }
  std::vector<double> inL, inR, outL, outR;
  std::vector<float> fInL, fInR, fOutL, fOutR;
};

// Allocations made by one double and one single call of `frames` frames.
long allocationsOf(PluginHost& host, Buffers& b, VstInt32 frames) {
  const double* in[2] = {b.inL.data(), b.inR.data()};
  double* out[2] = {b.outL.data(), b.outR.data()};
  float* fIn[2] = {b.fInL.data(), b.fInR.data()};
  float* fOut[2] = {b.fOutL.data(), b.fOutR.data()};
  const long before = allocations.load();
  host.process(in, out, frames);
  host.processFloat(fIn, fOut, frames);
  return allocations.load() - before;
}

#ifdef _WIN32
#define SKIP_WHERE_THE_MODULE_HAS_ITS_OWN_RUNTIME() \
  GTEST_SKIP() << "Brisendel.dll allocates through its own, statically linked operator new"
#else
#define SKIP_WHERE_THE_MODULE_HAS_ITS_OWN_RUNTIME() static_cast<void>(0)
#endif

TEST(BrisendelAllocations, NoneAtAnyQualityOnceLoaded) {
  SKIP_WHERE_THE_MODULE_HAS_ITS_OWN_RUNTIME();
  PluginHost host(BRISENDEL_MODULE);
  Buffers buffers(BrisendelEffect::RESERVED_FRAMES);
  const std::vector<VstInt32> sizes = {8192, 1, 0, 31, 157, 4096, 8192, 2048, 5000};
  // The largest transforms are slow: fewer blocks there, each one window or more.
  const std::vector<VstInt32> fewSizes = {1, 0, 157, 2048};
  for (int quality = 1; quality <= 9; ++quality) {
    // Step quality - 1 of nine: its centre is (quality - 0.5) / 9.
    host.setParameter(VSTPlugin::kQuality, static_cast<float>((quality - 0.5) / 9.0));
    // Every Quality is prepared when the effect is made: not even the first block at
    // a new one may allocate.
    for (VstInt32 frames : quality <= 4 ? sizes : fewSizes) {
      EXPECT_EQ(allocationsOf(host, buffers, frames), 0)
          << "quality " << quality << ", " << frames << " frames";
    }
  }
}

TEST(BrisendelAllocations, NoneWhenParametersChangeBetweenBlocks) {
  SKIP_WHERE_THE_MODULE_HAS_ITS_OWN_RUNTIME();
  PluginHost host(BRISENDEL_MODULE);
  Buffers buffers(BrisendelEffect::RESERVED_FRAMES);
  for (int i = 0; i < 8; ++i) {
    host.setParameter(VSTPlugin::kCenter, i / 8.0f);
    host.setParameter(VSTPlugin::kSide, 1.0f - i / 8.0f);
    host.setParameter(VSTPlugin::kAutoGain, i % 2 == 0 ? 0.0f : 1.0f);
    host.setParameter(VSTPlugin::kWindow, i % 3 == 0 ? 0.0f : 1.0f);
    EXPECT_EQ(allocationsOf(host, buffers, 3000), 0) << i;
  }
}

// Hosts announce what they like (or nothing) and send what they like: long
// blocks go through in one pass when announced, in slices when not, and the
// rate, size and suspend/resume calls in between never leave the audio path
// something to allocate.
TEST(BrisendelAllocations, NoneForLongBlocksAnnouncedOrNotAcrossHostChanges) {
  SKIP_WHERE_THE_MODULE_HAS_ITS_OWN_RUNTIME();
  PluginHost host(BRISENDEL_MODULE);
  Buffers buffers(BrisendelEffect::MAX_RESERVED_FRAMES);
  const std::vector<VstInt32> sizes = {16384, 65536, 1, 8193};
  auto expectNone = [&](const char* after) {
    for (VstInt32 frames : sizes) {
      EXPECT_EQ(allocationsOf(host, buffers, frames), 0) << frames << " frames " << after;
    }
  };
  expectNone("never announced");
  host.start(44100.0, 16384);
  expectNone("announced 16384");
  host.start(96000.0, 65536);
  expectNone("announced 65536 at another rate");
  host.stop();
  host.start(48000.0, 512);
  expectNone("announced 512 after a suspend");
  host.start(44100.0, 1 << 30);  // must neither reserve gigabytes nor fail
  expectNone("announced 2^30");
}

// A host's broken block (no channel lists, a missing channel, a negative
// length) is refused and reported on the audio thread, so the refusal and its
// report must not allocate either.
TEST(BrisendelAllocations, NoneWhenRefusingBrokenHostBuffers) {
  SKIP_WHERE_THE_MODULE_HAS_ITS_OWN_RUNTIME();
  PluginHost host(BRISENDEL_MODULE);
  AEffect* effect = host.getEffect();
  std::vector<double> left(64), right(64);
  std::vector<float> leftFloat(64), rightFloat(64);
  double* channels[2] = {left.data(), right.data()};
  double* missing[2] = {left.data(), nullptr};
  float* floatChannels[2] = {leftFloat.data(), nullptr};
#ifndef _WIN32
  testing::internal::CaptureStderr();  // the reports, one line each
#endif
  const long before = allocations.load();
  effect->processDoubleReplacing(effect, nullptr, channels, 64);
  effect->processDoubleReplacing(effect, channels, missing, 64);
  effect->processDoubleReplacing(effect, channels, channels, -64);
  effect->processReplacing(effect, floatChannels, floatChannels, 64);
  const long made = allocations.load() - before;
#ifndef _WIN32
  EXPECT_EQ(testing::internal::GetCapturedStderr().size() > 0, true);
#endif
  EXPECT_EQ(made, 0);
}

}  // namespace
