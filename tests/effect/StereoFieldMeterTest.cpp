// The effect's live measurement: the bands it reports are the bands a
// frequency falls in, down to the lowest band, and the output's bands follow
// the settings.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "effect/BrisendelEffect.h"
#include "effect/StereoFieldMeter.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Runs the two channels through the effect in blocks of 512 with a meter
// attached and adds up every reading.
StereoFieldReading measure(BrisendelEffect& effect, double rate, const std::vector<double>& left,
                           const std::vector<double>& right) {
  StereoFieldMeter meter(rate);
  effect.setMeter(&meter);
  StereoFieldReading total;
  std::vector<double> outLeft(512), outRight(512);
  for (std::size_t from = 0; from + 512 <= left.size(); from += 512) {
    const double* in[2] = {left.data() + from, right.data() + from};
    double* out[2] = {outLeft.data(), outRight.data()};
    effect.process(in, out, 512);
    StereoFieldReading reading;
    meter.takeReading(reading);
    // Each window's bands once: the readings between windows repeat them.
    for (int b = 0; b < StereoFieldReading::NUM_BANDS; ++b) {
      if (reading.inputWindows > 0) total.inputBands[b] += reading.inputBands[b];
      if (reading.outputWindows > 0) total.outputBands[b] += reading.outputBands[b];
    }
    total.frames += reading.frames;
    total.inputWindows += reading.inputWindows;
    total.outputWindows += reading.outputWindows;
  }
  effect.setMeter(nullptr);
  return total;
}

double correlation(const StereoFieldReading::Sums& s) { return s.correlation(); }

int bandOf(double frequency) {
  for (int b = 0; b < StereoFieldReading::NUM_BANDS; ++b) {
    if (frequency >= brisendel::ThirdOctaveBands::low(b) &&
        frequency < brisendel::ThirdOctaveBands::high(b)) {
      return b;
    }
  }
  return -1;
}

}  // namespace

// Two sines a quarter period apart in each channel, one in the lowest band and
// one at 5 kHz, at the common rates: each lands in its own band with
// correlation 0 and equal power in both channels, and the bands between them
// stay quiet.
TEST(StereoFieldMeter, SinesLandInTheirBandsAtCommonRates) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    const std::size_t frames = std::size_t(3 * rate);
    std::vector<double> left(frames), right(frames);
    for (std::size_t i = 0; i < frames; ++i) {
      const double t = double(i) / rate;
      left[i] = 0.5 * std::sin(2 * kPi * 20.0 * t) + 0.1 * std::sin(2 * kPi * 5000.0 * t);
      right[i] = 0.5 * std::cos(2 * kPi * 20.0 * t) + 0.1 * std::cos(2 * kPi * 5000.0 * t);
    }
    BrisendelEffect effect;
    const StereoFieldReading r = measure(effect, rate, left, right);
    EXPECT_GE(r.inputWindows, 2u);
    for (int b : {bandOf(20.0), bandOf(5000.0)}) {
      const auto& band = r.inputBands[b];
      EXPECT_NEAR(correlation(band), 0.0, 0.02) << "band " << b << " at " << rate;
      EXPECT_NEAR(band.left / band.right, 1.0, 0.05) << "band " << b << " at " << rate;
      EXPECT_GT(band.left, 0.0);
    }
    const auto& between = r.inputBands[bandOf(200.0)];
    EXPECT_LT(between.left + between.right, 1e-4 * (r.inputBands[0].left + r.inputBands[0].right))
        << rate;
  }
}

// Noise whose channels share a known part: the input's bands show its
// correlation on average, and once the center is removed the output's bands
// turn negative while the input's stay as they were.
TEST(StereoFieldMeter, OutputBandsFollowTheSettings) {
  const double rate = 44100.0;
  const std::size_t frames = std::size_t(10 * rate);
  std::vector<double> left(frames), right(frames);
  std::mt19937 generator(3);
  std::normal_distribution<double> normal(0.0, 0.1);
  for (std::size_t i = 0; i < frames; ++i) {
    const double shared = normal(generator), own = normal(generator);
    left[i] = shared;
    right[i] = 0.5 * shared + 0.5 * own;
  }
  BrisendelEffect centerRemoved;
  centerRemoved.setPlainValue(BrisendelEffect::kCenter, 0.0);
  centerRemoved.setPlainValue(BrisendelEffect::kAutoGain, 0.0);
  const StereoFieldReading r = measure(centerRemoved, rate, left, right);
  double input = 0.0, output = 0.0;
  for (int b = 0; b < StereoFieldReading::NUM_BANDS; ++b) {
    input += correlation(r.inputBands[b]) / StereoFieldReading::NUM_BANDS;
    output += correlation(r.outputBands[b]) / StereoFieldReading::NUM_BANDS;
    EXPECT_LT(correlation(r.outputBands[b]), 0.05) << "band " << b;
  }
  // 0.5 / sqrt(0.5^2 + 0.5^2): the share the two channels have in common.
  EXPECT_NEAR(input, std::sqrt(0.5), 0.02);
  EXPECT_LT(output, -0.05);
}

// A host's NaN or infinity counts as silence in the sums and points too, as it
// does in the bands: otherwise one bad sample left the whole reading without a
// value the view accepts, and the view showed nothing for that interval.
TEST(StereoFieldMeter, NonFiniteSamplesCountAsSilence) {
  StereoFieldMeter meter(48000.0);
  meter.setInterval(StereoFieldReading::MAX_POINTS);  // a point every frame
  const double inf = std::numeric_limits<double>::infinity();
  const double left[4] = {0.5, inf, std::nan(""), 0.25};
  const double right[4] = {-0.5, 0.5, -inf, 0.25};
  meter.addInput(left, right, 4);
  meter.addOutput(left, right, 4);
  StereoFieldReading reading;
  meter.takeReading(reading);
  for (const StereoFieldReading::Sums& s : {reading.input, reading.output}) {
    EXPECT_EQ(s.left, 0.25 + 0.0625);
    EXPECT_EQ(s.right, 0.25 + 0.25 + 0.0625);
    EXPECT_EQ(s.cross, -0.25 + 0.0625);
  }
  ASSERT_EQ(reading.numPoints, 4u);
  const float expected[8] = {0.5f, 0.0f, -0.25f, 0.25f, 0.0f, 0.0f, 0.0f, 0.25f};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(reading.points[i], expected[i]) << i;
}
