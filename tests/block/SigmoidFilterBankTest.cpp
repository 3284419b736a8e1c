#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "spl/block/SigmoidFilterBank.h"
#include "spl/clip/DefaultClip.h"

using spl::DefaultClip;
using spl::SigmoidFilterBank;

namespace {

constexpr unsigned kRate = 44100;

}  // namespace

TEST(SigmoidFilterBank, WeightsPeakAtTheBandCentres) {
  // 20480 Hz over 1024 bins: bin j is 10 j Hz, so band centres 20, 200 and
  // 2000 Hz fall on bins 2, 20 and 200, and their octaves on bins at 1:2:4.
  SigmoidFilterBank bank(20480);
  bank.setNumBins(1024);
  for (unsigned band = 0; band < 31; ++band) EXPECT_EQ(bank.getWeight(band, 0), 0.0);
  const unsigned bands[] = {0, 10, 20};
  const unsigned centres[] = {2, 20, 200};
  for (unsigned k = 0; k < 3; ++k) {
    const unsigned band = bands[k], bin = centres[k];
    const double peak = bank.getWeight(band, bin);
    // Each slope is still half-way up at the centre, a twentieth of a decade away.
    EXPECT_NEAR(peak, 0.5130, 1e-3);
    EXPECT_GT(peak, bank.getWeight(band, bin - 1));
    EXPECT_GT(peak, bank.getWeight(band, bin + 1));
    // Symmetric in log-frequency: an octave below equals an octave above.
    EXPECT_NEAR(bank.getWeight(band, bin / 2), bank.getWeight(band, bin * 2), 1e-12);
    EXPECT_LT(bank.getWeight(band, bin * 2), 0.01);
  }
}

TEST(SigmoidFilterBank, WeightsAreComputedOncePerBinCount) {
  SigmoidFilterBank bank(kRate);
  EXPECT_EQ(bank.getNumBins(), 0u);
  bank.setNumBins(64);
  bank.setNumBins(64);
  EXPECT_EQ(bank.getComputeCount(), 1u);
  bank.setNumBins(128);
  EXPECT_EQ(bank.getComputeCount(), 2u);
  EXPECT_EQ(bank.getNumBins(), 128u);
}
