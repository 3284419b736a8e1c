#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "spl/block/InvisibleLimiter.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/FailureCheck.h"

using spl::DefaultClip;
using spl::InvisibleLimiter;

namespace {

constexpr double kPi = 3.14159265358979323846;

double dB(double decibel) { return std::pow(10.0, decibel / 20.0); }

}  // namespace

TEST(InvisibleLimiter, ConstructionAndBlockChecks) {
  const char* source = "spl/block/InvisibleLimiter";
  EXPECT_SPL_FAILURE_AT(InvisibleLimiter(0, 8), "assertion error", source, 22);
  EXPECT_SPL_FAILURE_AT(InvisibleLimiter(2, 0), "assertion error", source, 23);
  EXPECT_SPL_FAILURE_AT(InvisibleLimiter(2, 1), "assertion error", source, 23);
  EXPECT_SPL_FAILURE_AT(InvisibleLimiter(2, 6), "assertion error", source, 24);
  EXPECT_NO_THROW(InvisibleLimiter(2, 2));
  // More channels than the owning work clip can hold are refused, not aborted on.
  EXPECT_SPL_FAILURE(InvisibleLimiter(3, 8), "assertion error", source);

  InvisibleLimiter limiter(2, 8);
  DefaultClip shorter(2, 4);
  EXPECT_SPL_FAILURE_AT(limiter.process(shorter), "assertion error", source, 66);
  DefaultClip mono(1, 8);
  mono.set(0, 0, 0.25);
  EXPECT_SPL_FAILURE(limiter.process(mono), "channel", source);
  EXPECT_EQ(mono.get(0, 0), 0.25);  // refused before the gain touched it
}

TEST(InvisibleLimiter, QuietSignalLeavesOneBlockLateAndUnchanged) {
  const unsigned B = 64;
  InvisibleLimiter limiter(2, B);
  std::vector<DefaultClip> inputs;
  for (unsigned n = 0; n < 6; ++n) {
    DefaultClip block(2, B);
    for (unsigned p = 0; p < B; ++p) {
      const double t = n * B + p;
      block.set(0, p, 0.9 * std::sin(2.0 * kPi * t / 37.3));
      block.set(1, p, -0.5 * std::sin(2.0 * kPi * t / 11.7) + 0.3 * std::sin(t / 5.0));
    }
    inputs.push_back(block);
  }
  for (unsigned n = 0; n < inputs.size(); ++n) {
    DefaultClip block = inputs[n];
    limiter.process(block);
    for (unsigned c = 0; c < 2; ++c) {
      for (unsigned p = 0; p < B; ++p) {
        const double expected = n == 0 ? 0.0 : inputs[n - 1].get(c, p);
        ASSERT_EQ(block.get(c, p), expected) << n << " " << c << " " << p;
      }
    }
  }
}

TEST(InvisibleLimiter, GainRampsLinearlyBetweenThreePeaks) {
  // Peaks at -20 dB (position 2), -6 dB (6) and -20 dB (10), threshold -10 dB.
  const double loud = dB(-6.0);
  const std::vector<double> input = {0.0, 0.05, 0.1, 0.05, 0.0, -0.25, -loud, -0.25,
                                     0.0, 0.05, 0.1, 0.05, 0.0, 0.0,   0.0,   0.0};
  InvisibleLimiter limiter(1, 16);
  limiter.setThreshold(-10.0);
  DefaultClip block(1, 16);
  for (unsigned p = 0; p < 16; ++p) block.set(0, p, input[p]);
  limiter.process(block);
  DefaultClip silence(1, 16);
  limiter.process(silence);  // the limited block comes out one call later

  const double low = dB(-4.0);  // 0.631: the loud peak's factor
  std::vector<double> factor(16, 1.0);
  for (unsigned j = 2; j < 6; ++j) factor[j] = 1.0 + (j - 2) / 4.0 * (low - 1.0);
  for (unsigned j = 6; j < 10; ++j) factor[j] = low + (j - 6) / 4.0 * (1.0 - low);
  for (unsigned p = 0; p < 16; ++p) {
    EXPECT_NEAR(silence.get(0, p), input[p] * factor[p], 1e-15) << p;
  }
  EXPECT_NEAR(silence.get(0, 6), -dB(-10.0), 1e-12);
}

TEST(InvisibleLimiter, BlockStartTakesThePreviousBlockAsNeighbours) {
  // Block 1 starts with a peak after silence (0.5 falling to 0.25) and ends
  // rising to 0.6, which block 2 turns into a peak. Block 1's start is a peak
  // only beside the silence before it; beside block 1's own end (0.3, 0.6) it
  // is not, and the block would leave unlimited.
  InvisibleLimiter limiter(1, 8);
  limiter.setThreshold(-10.0);
  DefaultClip block(1, 8);
  const double first[] = {0.5, 0.25, 0.0, 0.0, 0.0, 0.0, 0.3, 0.6};
  for (unsigned p = 0; p < 8; ++p) block.set(0, p, first[p]);
  limiter.process(block);
  DefaultClip next(1, 8);
  next.set(0, 0, 0.3);
  limiter.process(next);  // comes out as block 1, limited

  // The gain ramps from the peak at 0 to the peak at 7.
  const double a = dB(-10.0) / 0.5, b = dB(-10.0) / 0.6;
  EXPECT_NEAR(next.get(0, 0), dB(-10.0), 1e-15);
  EXPECT_NEAR(next.get(0, 1), 0.25 * (a + (b - a) / 7.0), 1e-15);
  EXPECT_NEAR(next.get(0, 6), 0.3 * (a + 6.0 * (b - a) / 7.0), 1e-15);
  EXPECT_EQ(next.get(0, 7), 0.6);
}

TEST(InvisibleLimiter, HardClipBoundsEveryOutputSample) {
  // A constant level has no peaks, so only the hard clip can hold it.
  for (bool hardClip : {false, true}) {
    InvisibleLimiter limiter(2, 32);
    limiter.setThreshold(-6.0);
    limiter.setHardClip(hardClip);
    double largest = 0.0;
    for (unsigned n = 0; n < 3; ++n) {
      DefaultClip block(2, 32);
      for (unsigned p = 0; p < 32; ++p) {
        block.set(0, p, 0.9);
        block.set(1, p, -0.8 * std::sin(p / 3.0) - 0.2);
      }
      limiter.process(block);
      for (unsigned c = 0; c < 2; ++c) {
        for (unsigned p = 0; p < 32; ++p) largest = std::max(largest, std::fabs(block.get(c, p)));
      }
    }
    if (hardClip) {
      EXPECT_DOUBLE_EQ(largest, 0.501187233627272);
    } else {
      EXPECT_EQ(largest, 0.9);
    }
  }
}

TEST(InvisibleLimiter, LoudSignalStaysAtTheThreshold) {
  // A stereo sine swelling from 0.5 to 2.0 (and more on the right), threshold
  // -6 dB, input gain +3 dB: once the first peak has passed, no sample exceeds
  // the threshold by more than the slow swell allows between two peaks.
  const unsigned B = 256;
  InvisibleLimiter limiter(2, B);
  limiter.setThreshold(-6.0);
  limiter.setInputGain(3.0);
  const double limit = dB(-6.0);
  double largest = 0.0;
  const unsigned blocks = 160;
  for (unsigned n = 0; n < blocks; ++n) {
    DefaultClip block(2, B);
    for (unsigned p = 0; p < B; ++p) {
      const double t = n * B + p;
      const double swell = 0.5 + 1.5 * t / (blocks * B);
      block.set(0, p, swell * std::sin(2.0 * kPi * 1000.0 * t / 44100.0));
      block.set(1, p, 1.3 * swell * std::sin(2.0 * kPi * 313.0 * t / 44100.0 + 1.0));
    }
    limiter.process(block);
    if (n < 2) continue;
    for (unsigned c = 0; c < 2; ++c) {
      for (unsigned p = 0; p < B; ++p) largest = std::max(largest, std::fabs(block.get(c, p)));
    }
  }
  EXPECT_LE(largest, limit * 1.001);
  EXPECT_GE(largest, limit * 0.99);
}
