#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>

#include "effect/Radi3zur.h"
#include "spl/block/HanningWindow.h"
#include "spl/block/VorbisWindow.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/FailureCheck.h"

namespace {

const double kPi = 3.141592653589793;

using Signal = std::function<double(unsigned)>;

spl::DefaultClip makeBlock(unsigned length, const Signal& left, const Signal& right) {
  spl::DefaultClip block(2, length);
  for (unsigned p = 0; p < length; ++p) {
    block.set(0, p, left(p));
    block.set(1, p, right(p));
  }
  return block;
}

spl::DefaultClip randomBlock(unsigned length, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  spl::DefaultClip block(2, length);
  for (unsigned p = 0; p < length; ++p) {
    for (unsigned c = 0; c < 2; ++c) block.set(c, p, uniform(generator));
  }
  return block;
}

// A sum of sinusoids that complete whole cycles in `length` samples and stay
// clear of the lowest and highest bins. After a Hann window such a block has
// (up to rounding) neither a zero-frequency nor a half-rate component, the
// two components the imager never weights, so its output is fully determined
// by the weights.
Signal binCentred(unsigned length, double scale) {
  return [length, scale](unsigned p) {
    const double t = static_cast<double>(p) / length;
    return scale * (0.7 * std::sin(2 * kPi * 5 * t + 0.3) + 0.4 * std::cos(2 * kPi * 17 * t) +
                    0.2 * std::sin(2 * kPi * 40 * t + 1.1));
  };
}

Signal silence() {
  return [](unsigned) { return 0.0; };
}

double hann(unsigned p, unsigned length) {
  return 0.5 - 0.5 * std::cos((static_cast<double>(p) / length) * 6.283185307179586);
}

// Largest difference between `actual` channel c and expected(p).
double maxError(const spl::Clip& actual, unsigned channel, const Signal& expected) {
  double error = 0.0;
  for (unsigned p = 0; p < actual.getLength(); ++p) {
    error = std::fmax(error, std::fabs(actual.get(channel, p) - expected(p)));
  }
  return error;
}

Signal hannTimes(unsigned length, double factor, const Signal& signal) {
  return [=](unsigned p) { return factor * hann(p, length) * signal(p); };
}

}  // namespace

TEST(Radi3zur, StartsNeutralAndClampsWeights) {
  Radi3zur imager;
  EXPECT_EQ(imager.getCenter(), 1.0);
  EXPECT_EQ(imager.getSide(), 1.0);
  EXPECT_TRUE(imager.getAutoGain());
  EXPECT_EQ(imager.getQuality(), 0u);

  imager.setCenter(3.0);
  EXPECT_EQ(imager.getCenter(), 2.0);
  imager.setSide(-0.5);
  EXPECT_EQ(imager.getSide(), 0.0);
  imager.setCenter(1.25);
  EXPECT_EQ(imager.getCenter(), 1.25);
  imager.setSide(2.0);
  EXPECT_EQ(imager.getSide(), 2.0);
  imager.setAutoGain(false);
  EXPECT_FALSE(imager.getAutoGain());
  imager.setQuality(9);
  EXPECT_EQ(imager.getQuality(), 9u);
}

// With weights that leave every bin as it is, only the windows remain: the
// square of the Vorbis window in mode 0, the Hann window in mode 1 and before
// any mode is chosen, and an unknown mode keeps the pair in force.
TEST(Radi3zur, NeutralWeightsLeaveOnlyTheWindows) {
  const unsigned n = 256;
  spl::VorbisWindow vorbis;
  spl::DefaultClip ones(1, n);
  for (unsigned p = 0; p < n; ++p) ones.set(0, p, 1.0);
  vorbis.process(ones);
  const Signal vorbisSquared = [&](unsigned p) { return ones.get(0, p) * ones.get(0, p); };
  const Signal hannWindow = [&](unsigned p) { return hann(p, n); };

  struct Case {
    const char* name;
    std::function<void(Radi3zur&)> setUp;
    const Signal* window;
  };
  const Case cases[] = {
      {"initial state", [](Radi3zur&) {}, &hannWindow},
      {"mode 1, 1/1 off",
       [](Radi3zur& r) {
         r.setWindowMode(1);
         r.setAutoGain(false);
       },
       &hannWindow},
      {"mode 0, 0.3/0.3 auto",
       [](Radi3zur& r) {
         r.setWindowMode(0);
         r.setCenter(0.3);
         r.setSide(0.3);
       },
       &vorbisSquared},
      {"mode 0 then 2, 1/1 off",
       [](Radi3zur& r) {
         r.setWindowMode(0);
         r.setWindowMode(2);
         r.setAutoGain(false);
       },
       &vorbisSquared},
      {"mode 1 then -1, 2/2 auto",
       [](Radi3zur& r) {
         r.setWindowMode(1);
         r.setWindowMode(-1);
         r.setCenter(2.0);
         r.setSide(2.0);
       },
       &hannWindow},
  };
  for (const Case& test : cases) {
    for (unsigned quality : {0u, 1u, 3u}) {
      Radi3zur imager;
      test.setUp(imager);
      imager.setQuality(quality);
      const spl::DefaultClip input = randomBlock(n, 7 + quality);
      spl::DefaultClip block(input);
      imager.process(block);
      ASSERT_EQ(block.getNumChannels(), 2u);
      ASSERT_EQ(block.getLength(), n);
      for (unsigned c = 0; c < 2; ++c) {
        const Signal expected = [&](unsigned p) { return (*test.window)(p)*input.get(c, p); };
        EXPECT_LT(maxError(block, c, expected), 1e-12) << test.name << ", quality " << quality;
      }
    }
  }
}

// The per-component rule, seen through signals whose every component falls
// into the same case: the right channel a fixed multiple of the left one.
TEST(Radi3zur, SharedPartIsTheValueOfSmallerMagnitude) {
  const unsigned n = 128;
  for (unsigned quality : {0u, 2u}) {
    {
      // Present in the right channel only: the shared part is 0.
      Radi3zur imager;
      imager.setQuality(quality);
      imager.setAutoGain(false);
      imager.setCenter(1.5);
      imager.setSide(0.5);
      spl::DefaultClip block = makeBlock(n, silence(), binCentred(n, 1.0));
      imager.process(block);
      EXPECT_LT(maxError(block, 0, silence()), 1e-12);
      EXPECT_LT(maxError(block, 1, hannTimes(n, 0.5, binCentred(n, 1.0))), 1e-12);
    }
    {
      // Equal magnitudes, opposite signs (3 and -3): the right channel's value
      // is shared, so left = -3c + 6s and right = -3c (in units of the signal).
      Radi3zur imager;
      imager.setQuality(quality);
      imager.setAutoGain(false);
      imager.setCenter(0.5);
      imager.setSide(1.25);
      spl::DefaultClip block = makeBlock(n, binCentred(n, 3.0), binCentred(n, -3.0));
      imager.process(block);
      EXPECT_LT(maxError(block, 0, hannTimes(n, -3 * 0.5 + 6 * 1.25, binCentred(n, 1.0))), 1e-12);
      EXPECT_LT(maxError(block, 1, hannTimes(n, -3 * 0.5, binCentred(n, 1.0))), 1e-12);
    }
    {
      // Auto gain turns 1/0 into 2/0: both channels become twice the shared
      // (smaller) part, here the right channel's half-level copy.
      Radi3zur imager;
      imager.setQuality(quality);
      imager.setCenter(1.0);
      imager.setSide(0.0);
      spl::DefaultClip block = makeBlock(n, binCentred(n, 1.0), binCentred(n, 0.5));
      imager.process(block);
      EXPECT_LT(maxError(block, 0, hannTimes(n, 1.0, binCentred(n, 1.0))), 1e-12);
      EXPECT_LT(maxError(block, 1, hannTimes(n, 1.0, binCentred(n, 1.0))), 1e-12);
      EXPECT_EQ(imager.getCenter(), 1.0);
      EXPECT_EQ(imager.getSide(), 0.0);
    }
  }
}

// With both weights 0 (auto gain cannot scale them), only the zero-frequency
// and half-rate components survive. Of the padded frame's spectrum these are
// the plain and the alternating sum of the windowed block, so each output
// sample is (D + (-1)^p Q) / N.
TEST(Radi3zur, ZeroWeightsKeepOnlyTheZeroAndHalfRateComponents) {
  const unsigned n = 64;
  for (unsigned quality : {0u, 2u}) {
    Radi3zur imager;
    imager.setQuality(quality);
    imager.setCenter(0.0);
    imager.setSide(0.0);
    const spl::DefaultClip input = randomBlock(n, 3);
    spl::DefaultClip block(input);
    imager.process(block);
    const double frameLength = static_cast<double>(n << quality);
    for (unsigned c = 0; c < 2; ++c) {
      double plainSum = 0.0;
      double alternatingSum = 0.0;
      for (unsigned p = 0; p < n; ++p) {
        const double windowed = hann(p, n) * input.get(c, p);
        plainSum += windowed;
        alternatingSum += (p % 2 == 0) ? windowed : -windowed;
      }
      const Signal expected = [&](unsigned p) {
        return (plainSum + ((p % 2 == 0) ? alternatingSum : -alternatingSum)) / frameLength;
      };
      EXPECT_LT(maxError(block, c, expected), 1e-12) << "quality " << quality;
    }
  }
}

TEST(Radi3zur, CommonSignalIsRemovedBySideOnly) {
  const unsigned n = 256;
  Radi3zur imager;
  imager.setQuality(1);
  imager.setAutoGain(false);
  imager.setCenter(0.0);
  imager.setSide(1.0);
  spl::DefaultClip block = makeBlock(n, binCentred(n, 1.0), binCentred(n, 1.0));
  imager.process(block);
  EXPECT_LT(maxError(block, 0, silence()), 1e-12);
  EXPECT_LT(maxError(block, 1, silence()), 1e-12);
}

TEST(Radi3zur, OneSidedSignalFollowsTheSideWeight) {
  const unsigned n = 256;
  for (double side : {1.0, 0.5, 2.0}) {
    Radi3zur imager;
    imager.setQuality(2);
    imager.setAutoGain(false);
    imager.setCenter(1.0);
    imager.setSide(side);
    spl::DefaultClip block = makeBlock(n, binCentred(n, 1.0), silence());
    imager.process(block);
    EXPECT_LT(maxError(block, 0, hannTimes(n, side, binCentred(n, 1.0))), 1e-12) << side;
    EXPECT_LT(maxError(block, 1, silence()), 1e-12) << side;
  }
}

// The working frame is kept between calls; whatever sizes came before, each
// call must give exactly what a fresh imager gives for that block.
TEST(Radi3zur, ResultsDoNotDependOnEarlierBlocks) {
  struct Step {
    unsigned length;
    unsigned quality;
    int mode;
  };
  const Step steps[] = {{64, 2, 1}, {64, 2, 1}, {64, 0, 1},  {32, 2, 0},
                        {64, 2, 0}, {64, 2, 1}, {128, 1, 0}, {64, 2, 1}};
  Radi3zur kept;
  kept.setCenter(0.4);
  kept.setSide(1.7);
  unsigned seed = 11;
  for (const Step& step : steps) {
    Radi3zur fresh;
    fresh.setCenter(0.4);
    fresh.setSide(1.7);
    for (Radi3zur* imager : {&kept, &fresh}) {
      imager->setQuality(step.quality);
      imager->setWindowMode(step.mode);
    }
    spl::DefaultClip keptBlock = randomBlock(step.length, ++seed);
    spl::DefaultClip freshBlock(keptBlock);
    kept.process(keptBlock);
    fresh.process(freshBlock);
    for (unsigned c = 0; c < 2; ++c) {
      for (unsigned p = 0; p < step.length; ++p) {
        ASSERT_EQ(keptBlock.get(c, p), freshBlock.get(c, p))
            << "length " << step.length << ", quality " << step.quality << ", position " << p;
      }
    }
  }
}

TEST(Radi3zur, FailuresOfTheFrameAndTransformPropagate) {
  Radi3zur imager;
  spl::DefaultClip mono(1, 16);
  EXPECT_SPL_FAILURE(imager.process(mono), "assertion error", "spl/clip/DefaultClip");
  spl::DefaultClip odd(2, 12);
  EXPECT_SPL_FAILURE_AT(imager.process(odd), "assertion error", "spl/block/FFTBase", 16);
  // A block too short to need a right channel's component is processed.
  spl::DefaultClip two(1, 2);
  EXPECT_NO_THROW(imager.process(two));
}
