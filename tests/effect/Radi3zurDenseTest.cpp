// The imaging core against the straightforward computation over the whole
// padded frame, at every quality the plug-in offers, with both kernel sets.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "effect/Radi3zur.h"
#include "spl/block/FourierKernels.h"
#include "spl/clip/DefaultClip.h"
#include "tests/effect/DenseImager.h"

namespace {

constexpr unsigned kBlock = 4096;  // the plug-in's window length
using spl::fourier::KernelSet;
// Every kernel set; those the processor lacks are skipped.
constexpr KernelSet kKernelSets[] = {KernelSet::portable, KernelSet::narrow, KernelSet::vector,
                                     KernelSet::wide};
const double kPi = 3.141592653589793;

spl::DefaultClip noise(unsigned seed, unsigned length = kBlock) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  spl::DefaultClip block(2, length);
  for (unsigned c = 0; c < 2; ++c) {
    for (unsigned p = 0; p < length; ++p) block.channelData(c)[p] = uniform(generator);
  }
  return block;
}

// Partials off the bin grid with a common part and a part of each channel's
// own, and a constant offset, so that the zero-frequency bin carries weight.
spl::DefaultClip music(unsigned seed) {
  spl::DefaultClip block(2, kBlock);
  const double detune = 1.0 + 0.013 * seed;
  for (unsigned p = 0; p < kBlock; ++p) {
    const double t = p / 44100.0;
    const double common = 0.5 * std::sin(2 * kPi * 220.0 * detune * t) +
                          0.2 * std::sin(2 * kPi * 661.3 * t + 0.4) + 0.05;
    block.channelData(0)[p] = common + 0.3 * std::sin(2 * kPi * 1234.5 * detune * t);
    block.channelData(1)[p] = 0.8 * common - 0.25 * std::cos(2 * kPi * 97.1 * t + 1.0);
  }
  return block;
}

// Left from `right` by a rule, so that every bin of the pair is an exact tie
// or has one side exactly zero.
spl::DefaultClip tied(unsigned seed, double leftFactor, unsigned length = kBlock) {
  spl::DefaultClip block = noise(seed, length);
  for (unsigned p = 0; p < length; ++p) {
    block.channelData(0)[p] = leftFactor * block.channelData(1)[p];
  }
  return block;
}

double peak(const spl::DefaultClip& block) {
  double value = 0.0;
  for (unsigned c = 0; c < 2; ++c) {
    for (unsigned p = 0; p < block.getLength(); ++p) {
      value = std::fmax(value, std::fabs(block.get(c, p)));
    }
  }
  return value;
}

double maxDifference(const spl::DefaultClip& a, const spl::DefaultClip& b) {
  double worst = 0.0;
  for (unsigned c = 0; c < 2; ++c) {
    for (unsigned p = 0; p < a.getLength(); ++p) {
      worst = std::fmax(worst, std::fabs(a.get(c, p) - b.get(c, p)));
    }
  }
  return worst;
}

}  // namespace

// Every quality 1..9 with both windows, one test per quality so that they run
// side by side and each has a time limit of its own; each case a different
// signal and weight setting, so that weights 0, 1 and 2, auto gain on and off,
// noise, music and the three kinds of exact ties all meet every kernel set.
// Sanitizer builds, many times slower, stop at SPL_DENSE_HIGHEST_QUALITY: the
// padded frames of Qualities 8 and 9 take minutes there, and their kernels are
// those of the lower Qualities, only over more sub-spectra.
class Radi3zurDenseQuality : public ::testing::TestWithParam<unsigned> {};

TEST_P(Radi3zurDenseQuality, SpectralCoreEqualsThePaddedFrame) {
  const unsigned quality = GetParam();
#if defined(SPL_DENSE_HIGHEST_QUALITY)
  if (quality > SPL_DENSE_HIGHEST_QUALITY) GTEST_SKIP() << "beyond this build's highest quality";
#endif
  const DenseSettings weights[] = {
      {0, 0, 1.0, 1.0, true}, {0, 0, 0.0, 2.0, false},   {0, 0, 2.0, 0.0, true},
      {0, 0, 0.0, 0.0, true}, {0, 0, 1.37, 0.21, false}, {0, 0, 2.0, 1.0, false},
      {0, 0, 0.5, 1.5, true},
  };
  unsigned round = (quality - 1) * 10;
  for (int windowMode : {0, 1}) {
    for (unsigned signal = 0; signal < 5; ++signal, ++round) {
      DenseSettings settings = weights[round % 7];
      settings.quality = quality;
      settings.windowMode = windowMode;
      const spl::DefaultClip input = signal == 0   ? noise(round)
                                     : signal == 1 ? music(round)
                                     : signal == 2 ? tied(round, 1.0)
                                     : signal == 3 ? tied(round, -1.0)
                                                   : tied(round, 0.0);
      const spl::DefaultClip expected = denseImage(input, settings);
      const double tolerance = 1e-12 * std::fmax(peak(input), 1e-300);
      for (KernelSet kernels : kKernelSets) {
        Radi3zur imager;
        if (imager.setKernelSet(kernels) != kernels) continue;  // not on this processor
        imager.prepare(kBlock);
        imager.setCenter(settings.center);
        imager.setSide(settings.side);
        imager.setAutoGain(settings.autoGain);
        imager.setQuality(quality);
        imager.setWindowMode(windowMode);
        spl::DefaultClip block(input);
        imager.process(block);
        const std::string where = "window " + std::to_string(windowMode) + ", signal " +
                                  std::to_string(signal) + ", kernels " +
                                  std::to_string(static_cast<int>(kernels));
        EXPECT_LE(maxDifference(block, expected), tolerance) << where;
        if (signal == 4) {
          // A silent channel shares nothing and keeps nothing of its own.
          for (unsigned p = 0; p < kBlock; ++p) ASSERT_EQ(block.get(0, p), 0.0) << where;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryQuality, Radi3zurDenseQuality, ::testing::Range(1u, 10u));

// Block lengths other than the plug-in's: the shortest the core takes, the
// shortest the wide kernels take, and lengths whose transforms end in blocks
// of 8 points rather than 4.
TEST(Radi3zurDense, OtherBlockLengthsEqualThePaddedFrame) {
  for (unsigned length : {16u, 32u, 64u, 2048u}) {
    for (unsigned quality = 0; quality <= 3; ++quality) {
      for (double leftFactor : {0.5, -1.0}) {
        DenseSettings settings;
        settings.quality = quality;
        settings.center = 0.3;
        settings.side = 1.9;
        const spl::DefaultClip input =
            leftFactor == -1.0 ? tied(quality, -1.0, length) : noise(quality + 40, length);
        const spl::DefaultClip expected = denseImage(input, settings);
        for (KernelSet kernels : kKernelSets) {
          Radi3zur imager;
          if (imager.setKernelSet(kernels) != kernels) continue;
          imager.setCenter(settings.center);
          imager.setSide(settings.side);
          imager.setQuality(quality);
          spl::DefaultClip block(input);
          imager.process(block);
          EXPECT_LE(maxDifference(block, expected), 1e-12 * peak(input))
              << "length " << length << ", quality " << quality << ", kernels "
              << static_cast<int>(kernels);
        }
      }
    }
  }
}
