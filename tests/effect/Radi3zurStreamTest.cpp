// The imaging core inside the overlapped stream processor, as the plug-in runs
// it: windows of 4096 frames overlapping by half, host blocks of any length.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "effect/Radi3zur.h"
#include "spl/clip/DefaultClip.h"
#include "spl/stream/OverwrapStreamProcessor.h"

namespace {

constexpr unsigned kWidth = 4096;
const double kPi = 3.141592653589793;

struct Stereo {
  std::vector<double> left;
  std::vector<double> right;
};

Stereo randomStereo(unsigned length, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  Stereo s;
  for (unsigned t = 0; t < length; ++t) {
    s.left.push_back(uniform(generator));
    s.right.push_back(uniform(generator));
  }
  return s;
}

// Sinusoids of whole cycles per window: every Hann-windowed window of them is
// free of zero-frequency and half-rate content.
double windowPeriodic(unsigned t) {
  const double x = static_cast<double>(t) / kWidth;
  return 0.6 * std::sin(2 * kPi * 3 * x + 0.2) + 0.3 * std::cos(2 * kPi * 200 * x) +
         0.1 * std::sin(2 * kPi * 1500 * x + 2.0);
}

// Writes the input in host blocks of random lengths (0 included), reading as
// many frames as written after each write, as the plug-in does.
Stereo runStream(Radi3zur& imager, const Stereo& input, unsigned seed) {
  spl::OverwrapStreamProcessor processor(imager, 2, kWidth);
  std::mt19937 generator(seed);
  std::uniform_int_distribution<unsigned> blockLength(0, 5000);
  Stereo output;
  unsigned written = 0;
  const unsigned total = static_cast<unsigned>(input.left.size());
  spl::DefaultClip host(2, 0);
  while (written < total) {
    const unsigned n = std::min(blockLength(generator), total - written);
    host.setLength(n);
    for (unsigned p = 0; p < n; ++p) {
      host.set(0, p, input.left[written + p]);
      host.set(1, p, input.right[written + p]);
    }
    processor.write(host);
    processor.read(host, n);
    EXPECT_EQ(host.getLength(), n);
    for (unsigned p = 0; p < host.getLength(); ++p) {
      output.left.push_back(host.get(0, p));
      output.right.push_back(host.get(1, p));
    }
    written += n;
  }
  return output;
}

// Largest |output[t] - factor * input[t - kWidth]| over t from `from` on.
double delayedError(const std::vector<double>& output, const std::vector<double>& input,
                    double factor, unsigned from) {
  double error = 0.0;
  for (unsigned t = from; t < output.size(); ++t) {
    const double expected = t < kWidth ? 0.0 : factor * input[t - kWidth];
    error = std::fmax(error, std::fabs(output[t] - expected));
  }
  return error;
}

}  // namespace

TEST(Radi3zurStream, NeutralWeightsReproduceTheInputDelayedByOneWindow) {
  const Stereo input = randomStereo(6 * kWidth + 1234, 21);
  for (int mode : {0, 1}) {
    for (unsigned quality : {1u, 2u}) {
      Radi3zur imager;
      imager.setWindowMode(mode);
      imager.setQuality(quality);
      imager.setAutoGain(mode == 0);
      const Stereo output = runStream(imager, input, 100 + mode + quality);
      ASSERT_EQ(output.left.size(), input.left.size());
      EXPECT_LT(delayedError(output.left, input.left, 1.0, 0), 1e-12) << mode << "/" << quality;
      EXPECT_LT(delayedError(output.right, input.right, 1.0, 0), 1e-12) << mode << "/" << quality;
    }
  }
}

// Once every window covering a frame lies inside the signal (from 1.5 windows
// after its start), a signal common to both channels vanishes with center 0,
// and a signal in one channel only leaves scaled by the side weight.
TEST(Radi3zurStream, CenterAndSideWeightsActOnSharedAndOwnParts) {
  const unsigned length = 6 * kWidth;
  const unsigned settled = kWidth + kWidth / 2;
  Stereo common;
  Stereo oneSided;
  for (unsigned t = 0; t < length; ++t) {
    common.left.push_back(windowPeriodic(t));
    common.right.push_back(windowPeriodic(t));
    oneSided.left.push_back(windowPeriodic(t));
    oneSided.right.push_back(0.0);
  }
  {
    Radi3zur imager;
    imager.setWindowMode(1);
    imager.setQuality(1);
    imager.setAutoGain(false);
    imager.setCenter(0.0);
    imager.setSide(1.0);
    const Stereo output = runStream(imager, common, 7);
    EXPECT_LT(delayedError(output.left, common.left, 0.0, settled), 1e-12);
    EXPECT_LT(delayedError(output.right, common.right, 0.0, settled), 1e-12);
  }
  for (double side : {1.0, 0.25}) {
    Radi3zur imager;
    imager.setWindowMode(1);
    imager.setQuality(1);
    imager.setAutoGain(false);
    imager.setCenter(1.0);
    imager.setSide(side);
    const Stereo output = runStream(imager, oneSided, 8);
    EXPECT_LT(delayedError(output.left, oneSided.left, side, settled), 1e-12) << side;
    EXPECT_LT(delayedError(output.right, oneSided.right, 0.0, 0), 1e-12) << side;
  }
}
