#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "spl/proc/BiquadEqualizer.h"
#include "spl/proc/BiquadFilter.h"
#include "tests/support/FailureCheck.h"

using spl::BiquadEqualizer;
using spl::BiquadFilter;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 48000.0;

// Runs a unit sine of `frequency` Hz (a whole number, so one second holds
// whole periods) through the equalizer for two seconds and returns the gain
// in dB of the second, measured by correlation with sine and cosine.
double steadyGainDb(BiquadEqualizer& eq, double frequency) {
  const int n = static_cast<int>(kRate);
  double s = 0.0, c = 0.0;
  for (int t = 0; t < 2 * n; ++t) {
    const double phase = 2.0 * kPi * frequency * t / kRate;
    const double y = eq.process(std::sin(phase));
    if (t >= n) {
      s += y * std::sin(phase);
      c += y * std::cos(phase);
    }
  }
  const double amplitude = 2.0 * std::sqrt(s * s + c * c) / n;
  return 20.0 * std::log10(amplitude);
}

BiquadEqualizer& design(BiquadEqualizer& eq, unsigned type, double f0, double gain, double q) {
  eq.setSampleRate(kRate);
  eq.setType(type);
  eq.setFrequency(f0);
  eq.setGain(gain);
  eq.setQ(q);
  return eq;
}

}  // namespace

TEST(BiquadEqualizer, DefaultIsIdentity) {
  BiquadEqualizer eq;
  const auto& c = eq.getCoefficient();
  EXPECT_EQ(c.b0, c.a0);
  EXPECT_EQ(c.b1, c.a1);
  EXPECT_EQ(c.b2, c.a2);
  for (int t = 0; t < 200; ++t) {
    const double x = std::sin(0.37 * t) + 0.1 * (t % 7);
    EXPECT_NEAR(eq.process(x), x, 1e-12) << t;
  }
}

TEST(BiquadEqualizer, NotchRemovesSineAtItsFrequency) {
  BiquadEqualizer eq;
  design(eq, BiquadEqualizer::NOTCH, 1000.0, 0.0, 2.0);
  EXPECT_LT(steadyGainDb(eq, 1000.0), -100.0);
  BiquadEqualizer far;
  design(far, BiquadEqualizer::NOTCH, 1000.0, 0.0, 2.0);
  EXPECT_NEAR(steadyGainDb(far, 8000.0), 0.0, 0.1);
}

TEST(BiquadEqualizer, LowPassAndHighPassSeparateAroundTheCorner) {
  BiquadEqualizer low1, low2, high1, high2;
  design(low1, BiquadEqualizer::LOW_PASS, 1000.0, 0.0, 0.7071);
  design(low2, BiquadEqualizer::LOW_PASS, 1000.0, 0.0, 0.7071);
  design(high1, BiquadEqualizer::HIGH_PASS, 1000.0, 0.0, 0.7071);
  design(high2, BiquadEqualizer::HIGH_PASS, 1000.0, 0.0, 0.7071);
  EXPECT_NEAR(steadyGainDb(low1, 50.0), 0.0, 0.05);
  // Second order: 40 dB per decade, so about -48 dB at 16 times the corner.
  EXPECT_LT(steadyGainDb(low2, 16000.0), -40.0);
  EXPECT_NEAR(steadyGainDb(high1, 16000.0), 0.0, 0.05);
  EXPECT_LT(steadyGainDb(high2, 50.0), -40.0);
}

TEST(BiquadEqualizer, PeakingAndShelvesReachTheirDesignedGain) {
  for (double gain : {6.0, -9.0}) {
    BiquadEqualizer peak, low, high;
    design(peak, BiquadEqualizer::PEAKING, 2000.0, gain, 1.4);
    design(low, BiquadEqualizer::LOW_SHELF, 1000.0, gain, 0.7071);
    design(high, BiquadEqualizer::HIGH_SHELF, 1000.0, gain, 0.7071);
    EXPECT_NEAR(steadyGainDb(peak, 2000.0), gain, 0.05) << gain;
    EXPECT_NEAR(steadyGainDb(low, 20.0), gain, 0.05) << gain;
    EXPECT_NEAR(steadyGainDb(high, 20000.0), gain, 0.05) << gain;
  }
}

TEST(BiquadEqualizer, AllPassAndBandPassKeepUnitGainWhereExpected) {
  BiquadEqualizer all, band;
  design(all, BiquadEqualizer::ALL_PASS, 1000.0, 0.0, 1.0);
  design(band, BiquadEqualizer::BAND_PASS, 3000.0, 0.0, 2.0);
  EXPECT_NEAR(steadyGainDb(all, 300.0), 0.0, 0.01);
  EXPECT_NEAR(steadyGainDb(band, 3000.0), 0.0, 0.01);
}

TEST(BiquadEqualizer, UnknownTypeIsSilent) {
  BiquadEqualizer eq;
  eq.setType(8);
  for (int t = 0; t < 10; ++t) EXPECT_EQ(eq.process(1.0 + t), 0.0);
}

TEST(BiquadEqualizer, RefusedSettersKeepTheDesign) {
  BiquadEqualizer eq;
  design(eq, BiquadEqualizer::LOW_PASS, 500.0, 0.0, 0.5);
  const BiquadFilter::Coefficient before = eq.getCoefficient();
  EXPECT_SPL_FAILURE_AT(eq.setQ(0.0), "assertion error", "spl/proc/BiquadEqualizer", 23);
  EXPECT_SPL_FAILURE_AT(eq.setFrequency(-1.0), "assertion error", "spl/proc/BiquadEqualizer", 14);
  EXPECT_SPL_FAILURE_AT(eq.setFrequency(std::nan("")), "assertion error",
                        "spl/proc/BiquadEqualizer", 14);
  EXPECT_SPL_FAILURE_AT(eq.setSampleRate(0.0), "assertion error", "spl/proc/BiquadEqualizer", 32);
  EXPECT_EQ(eq.getQ(), 0.5);
  EXPECT_EQ(eq.getFrequency(), 500.0);
  EXPECT_EQ(eq.getSampleRate(), kRate);
  const auto& after = eq.getCoefficient();
  EXPECT_EQ(after.a0, before.a0);
  EXPECT_EQ(after.a1, before.a1);
  EXPECT_EQ(after.a2, before.a2);
  EXPECT_EQ(after.b0, before.b0);
  EXPECT_EQ(after.b1, before.b1);
  EXPECT_EQ(after.b2, before.b2);
}
