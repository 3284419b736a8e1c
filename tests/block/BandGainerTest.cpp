#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "spl/block/BandGainer.h"
#include "spl/block/SigmoidFilterBank.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/FailureCheck.h"

using spl::BandGainer;
using spl::DefaultClip;
using spl::SigmoidFilterBank;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr unsigned kRate = 44100;
constexpr unsigned kLength = 4096;

// Gain in dB that the gainer applies to a steady sine of `frequency` Hz,
// measured as an RMS ratio over the middle half of one block (the block's
// ends carry the edge effects of the cosine transforms).
double sineGainDb(const std::vector<double>& gains, double frequency) {
  BandGainer gainer(kRate, unsigned(gains.size()));
  gainer.setGains(gains);
  DefaultClip block(2, kLength);
  for (unsigned p = 0; p < kLength; ++p) {
    const double x = std::sin(2.0 * kPi * frequency * p / kRate + 0.4);
    block.set(0, p, x);
    block.set(1, p, -0.5 * x);
  }
  DefaultClip input(block);
  gainer.process(block);
  double out[2] = {0.0, 0.0}, in[2] = {0.0, 0.0};
  for (unsigned c = 0; c < 2; ++c) {
    for (unsigned p = kLength / 4; p < 3 * kLength / 4; ++p) {
      out[c] += block.get(c, p) * block.get(c, p);
      in[c] += input.get(c, p) * input.get(c, p);
    }
  }
  // Both channels take the same curve.
  EXPECT_NEAR(out[0] / in[0], out[1] / in[1], 1e-9);
  return 10.0 * std::log10(out[0] / in[0]);
}

double bandCentre(unsigned band) { return 20.0 * std::pow(10.0, band / 10.0); }

}  // namespace

TEST(BandGainer, BandsPerDecadeAndPositions) {
  BandGainer b31(kRate, 31), b61(kRate, 61), b121(kRate, 121);
  EXPECT_EQ(b31.getBandsPerDecade(), 10u);
  EXPECT_EQ(b61.getBandsPerDecade(), 20u);
  EXPECT_EQ(b121.getBandsPerDecade(), 40u);
  const double at200Hz = 200.0 / (kRate * 0.5);
  EXPECT_NEAR(b31.getBandPosition(at200Hz), 10.0, 1e-12);
  EXPECT_NEAR(b61.getBandPosition(at200Hz), 20.0, 1e-12);
  EXPECT_NEAR(b121.getBandPosition(20.0 / (kRate * 0.5)), 0.0, 1e-12);
  EXPECT_NEAR(b31.getBandPosition(1.0), 10.0 * std::log10(kRate * 0.5 / 20.0), 1e-12);
}

TEST(BandGainer, FlatGainsScaleMidBandByTheBankOverlap) {
  // The bands overlap, so with every band at 0 dB the curve is the sum of the
  // weights: about 1.186 (+1.48 dB) across the middle of the range.
  const std::vector<double> flat(31, 0.0);
  for (double f : {200.0, 1000.0, 5000.0}) EXPECT_NEAR(sineGainDb(flat, f), 1.482, 0.02) << f;
}

TEST(BandGainer, RaisingOneBandRaisesItsOwnSineOnly) {
  std::vector<double> flat(31, 0.0), raised(31, 0.0);
  raised[17] = 6.0;  // the band centred at 1002 Hz
  const double own = bandCentre(17), threeAway = bandCentre(20);
  const double rise = sineGainDb(raised, own) - sineGainDb(flat, own);
  // Band 17 passes about half of its centre (weight 0.51), on top of the
  // overlap of all bands: +3.1 dB over flat.
  EXPECT_NEAR(rise, 3.11, 0.05);
  EXPECT_LT(std::fabs(sineGainDb(raised, threeAway) - sineGainDb(flat, threeAway)), 0.1);
  std::vector<double> lowered(31, 0.0);
  lowered[17] = -60.0;
  EXPECT_LT(sineGainDb(lowered, own) - sineGainDb(flat, own), -4.0);
}

TEST(BandGainer, CurveIsCachedAndOnlyTheFirst31GainsCount) {
  BandGainer gainer(kRate, 61);
  std::vector<double> gains(61, 0.0);
  for (unsigned i = 31; i < 61; ++i) gains[i] = 20.0;
  gainer.setGains(gains);
  DefaultClip block(1, 256);
  gainer.process(block);
  const std::vector<double> curve = gainer.getCurve();
  ASSERT_EQ(curve.size(), 256u);
  EXPECT_EQ(curve[0], 0.0);

  BandGainer reference(kRate, 31);
  reference.setGains(std::vector<double>(31, 0.0));
  DefaultClip other(1, 256);
  reference.process(other);
  EXPECT_EQ(reference.getCurve(), curve);

  // A new length rebuilds the curve; new gains rebuild it at the same length.
  DefaultClip longer(1, 512);
  gainer.process(longer);
  EXPECT_EQ(gainer.getCurve().size(), 512u);
  const double before = gainer.getCurve()[1];  // 43 Hz, in the slope of band 0
  gains[0] = 12.0;
  gainer.setGains(gains);
  gainer.process(longer);
  EXPECT_GT(gainer.getCurve()[1], before + 0.01);
}

TEST(BandGainer, TransformErrorsPassThrough) {
  BandGainer gainer(kRate, 31);
  gainer.setGains(std::vector<double>(31, 0.0));
  DefaultClip odd(1, 6);
  EXPECT_SPL_FAILURE_AT(gainer.process(odd), "assertion error", "spl/block/FFTBase", 16);
  EXPECT_TRUE(gainer.getCurve().empty());  // refused before the curve was sized
  EXPECT_EQ(odd.getLength(), 6u);
}

TEST(BandGainerDeathTest, BandCountsAreAsserted) {
  EXPECT_DEATH(BandGainer(kRate, 30),
               "spl/block/BandGainer:11: .*_numBand == 31 \\|\\| _numBand == 61 \\|\\| "
               "_numBand == 121");
  BandGainer gainer(kRate, 31);
  EXPECT_DEATH(gainer.setGains(std::vector<double>(32, 0.0)),
               "spl/block/BandGainer:18: .*gains.size\\(\\) == 31 \\|\\| gains.size\\(\\) == 61");
  DefaultClip block(1, 8);
  EXPECT_DEATH(gainer.process(block),
               "spl/block/BandGainer:24: .*_gains.size\\(\\) == 31 \\|\\| _gains.size\\(\\) == 61");
}
