#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "spl/block/SampleInvisibleLimiter.h"
#include "spl/clip/DefaultClip.h"

using spl::DefaultClip;
using spl::SampleInvisibleLimiter;

namespace {

constexpr double kPi = 3.14159265358979323846;

double dB(double decibel) { return std::pow(10.0, decibel / 20.0); }

}  // namespace

TEST(SampleInvisibleLimiter, QueueStartsWithNoiseThenTheInputs) {
  SampleInvisibleLimiter limiter(4);
  EXPECT_EQ(limiter.getThreshold(), -15.0);
  // A rising ramp has no peak, so nothing is moved by a gain.
  const double inputs[] = {0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08};
  std::vector<double> out;
  for (double x : inputs) out.push_back(limiter.process(x));
  for (unsigned i = 0; i < 4; ++i) {
    EXPECT_GE(out[i], 0.0);
    EXPECT_LE(out[i], 1e-10);
  }
  EXPECT_EQ(out[4], 0.0);
  for (unsigned i = 5; i < 8; ++i) EXPECT_NEAR(out[i], inputs[i - 5], 1e-10);
}

TEST(SampleInvisibleLimiter, InstancesOwnTheirNoise) {
  // Interleaving a second instance must not change the first one's sequence.
  SampleInvisibleLimiter alone(8), first(8), second(8);
  for (int i = 0; i < 8; ++i) {
    const double expected = alone.process(0.0);
    second.process(0.0);
    EXPECT_EQ(first.process(0.0), expected);
    second.process(0.0);
  }
}

TEST(SampleInvisibleLimiter, LoudSineSettlesAtTheThreshold) {
  SampleInvisibleLimiter limiter(64);
  double largest = 0.0;
  for (int t = 0; t < 20000; ++t) {
    const double y = limiter.process(std::sin(2.0 * kPi * 441.0 * t / 44100.0 + 0.3));
    if (t > 10000) largest = std::max(largest, std::fabs(y));
  }
  EXPECT_NEAR(largest, dB(-15.0), dB(-15.0) * 1e-3);
}
