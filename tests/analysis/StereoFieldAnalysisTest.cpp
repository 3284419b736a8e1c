// The stereo field analysis on signals whose answer is known, and over blocks cut
// any way and read at any time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "analysis/StereoFieldAnalysis.h"

using brisendel::StereoFieldAnalysis;

namespace {

constexpr int RATE = 44100;

std::vector<double> noise(unsigned frames, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> gauss(0.0, 0.1);
  std::vector<double> samples(frames);
  for (double& x : samples) x = gauss(random);
  return samples;
}

// The bands of a whole signal fed in pieces of `piece` frames.
StereoFieldAnalysis::Bands analyse(const std::vector<double>& left,
                                   const std::vector<double>& right, std::size_t piece = 12345) {
  StereoFieldAnalysis analysis(RATE);
  for (std::size_t at = 0; at < left.size();) {
    const unsigned n = static_cast<unsigned>(std::min<std::size_t>(piece, left.size() - at));
    analysis.add(left.data() + at, right.data() + at, n);
    at += n;
  }
  StereoFieldAnalysis::Bands bands;
  analysis.computeBands(bands);
  return bands;
}

// Bins of a band summed over the half-overlapping windows: the statistical weight of
// the band's estimate, from which the tolerances follow.
double samplesIn(const StereoFieldAnalysis::Band& band, std::size_t frames) {
  const double length = StereoFieldAnalysis::transformLengthFor(RATE);
  const double binWidth = RATE / length;
  const double bins = std::floor((band.high - band.low) / binWidth);
  const double windows = std::ceil(2.0 * frames / length);
  return std::max(1.0, bins) * windows;
}

}  // namespace

TEST(StereoFieldAnalysis, KnownSignalsGiveKnownWidths) {
  const unsigned frames = RATE * 20;
  const std::vector<double> a = noise(frames, 1);
  const std::vector<double> b = noise(frames, 2);

  // Identical channels: no side at all, perfect correlation, in every band.
  const StereoFieldAnalysis::Bands same = analyse(a, a);
  ASSERT_EQ(StereoFieldAnalysis::NUM_BANDS, static_cast<int>(same.size()));
  EXPECT_NEAR(20.0, same.front().centre, 0.5);
  EXPECT_NEAR(20000.0, same.back().centre, 200.0);
  for (const auto& band : same) {
    SCOPED_TRACE(band.centre);
    EXPECT_TRUE(std::isinf(band.sideToMidDb) && band.sideToMidDb < 0) << band.sideToMidDb;
    EXPECT_NEAR(1.0, band.correlation, 1e-12);
  }

  // Independent noise: as much side as mid and no correlation, within the statistical
  // spread of each band (five standard deviations).
  const StereoFieldAnalysis::Bands apart = analyse(a, b);
  for (const auto& band : apart) {
    SCOPED_TRACE(band.centre);
    const double spread = 5.0 / std::sqrt(samplesIn(band, frames));
    EXPECT_NEAR(0.0, band.correlation, spread);
    EXPECT_NEAR(0.0, band.sideToMidDb,
                10.0 * std::log10((1.0 + 2.0 * spread) / (1.0 - 2.0 * spread)));
  }

  // A 1 kHz tone in the left channel only, over identical noise: the 1 kHz band widens,
  // every other band stays far below it.
  std::vector<double> toned = a;
  for (unsigned i = 0; i < frames; ++i)
    toned[i] += 0.05 * std::sin(2.0 * std::acos(-1.0) * 1000.0 * i / RATE);
  const StereoFieldAnalysis::Bands tone = analyse(toned, a);
  for (const auto& band : tone) {
    SCOPED_TRACE(band.centre);
    if (band.low <= 1000.0 && 1000.0 < band.high) {
      EXPECT_GT(band.sideToMidDb, -10.0);
      EXPECT_LT(band.correlation, 0.9);
    } else {
      EXPECT_LT(band.sideToMidDb, -60.0);
      EXPECT_GT(band.correlation, 0.9999);
    }
  }

  // Above the Nyquist frequency there is nothing to measure.
  StereoFieldAnalysis low(16000);
  low.add(a.data(), b.data(), 16000);
  StereoFieldAnalysis::Bands lowBands;
  low.computeBands(lowBands);
  EXPECT_TRUE(std::isnan(lowBands.back().sideToMidDb));
  EXPECT_FALSE(std::isnan(lowBands.front().sideToMidDb));
}

// The goniometer puts a left-only signal on the diagonal of equal mid and side and an
// out-of-phase signal on the side axis.
TEST(StereoFieldAnalysis, GoniometerPlacesMidAndSide) {
  const std::vector<double> left = {0.5, -0.5, 0.25};
  const std::vector<double> silent = {0.0, 0.0, 0.0};
  const std::vector<double> opposite = {-0.5, 0.5, -0.25};
  const auto cellOf = [](double mid, double side) {
    const auto index = [](double v) {
      return static_cast<int>(std::floor((v + 1.0) * 0.5 * StereoFieldAnalysis::GRID));
    };
    return std::size_t(index(mid)) * StereoFieldAnalysis::GRID + std::size_t(index(side));
  };
  StereoFieldAnalysis leftOnly(RATE);
  leftOnly.add(left.data(), silent.data(), 3);
  EXPECT_EQ(1u, leftOnly.getGoniometer()[cellOf(0.25, 0.25)]);
  EXPECT_EQ(1u, leftOnly.getGoniometer()[cellOf(-0.25, -0.25)]);
  StereoFieldAnalysis antiphase(RATE);
  antiphase.add(left.data(), opposite.data(), 3);
  EXPECT_EQ(1u, antiphase.getGoniometer()[cellOf(0.0, 0.5)]);
  EXPECT_EQ(1u, antiphase.getGoniometer()[cellOf(0.0, 0.25)]);
  EXPECT_DOUBLE_EQ(0.5, antiphase.getPeak());
  // Far beyond full scale (and beyond any int once scaled): the edge cell.
  const std::vector<double> huge = {1e7, -1e12, 1e300};
  StereoFieldAnalysis loud(RATE);
  loud.add(huge.data(), huge.data(), 3);
  const std::size_t edge = StereoFieldAnalysis::GRID - 1, centre = StereoFieldAnalysis::GRID / 2;
  EXPECT_EQ(2u, loud.getGoniometer()[edge * StereoFieldAnalysis::GRID + centre]);
  EXPECT_EQ(1u, loud.getGoniometer()[centre]);
}

// A NaN or an infinite sample is left out: the spectra are those of the file with
// silence in its place (not blank), and its frame is missing from the goniometer.
TEST(StereoFieldAnalysis, NonFiniteSamplesAreLeftOut) {
  const std::vector<double> a = noise(RATE * 2, 1);
  const std::vector<double> b = noise(RATE * 2, 2);
  std::vector<double> left = a, right = b, zeroedLeft = a, zeroedRight = b;
  left[1000] = std::numeric_limits<double>::quiet_NaN();
  right[30000] = -std::numeric_limits<double>::infinity();
  zeroedLeft[1000] = 0.0;
  zeroedRight[30000] = 0.0;
  const StereoFieldAnalysis::Bands damagedBands = analyse(left, right);
  const StereoFieldAnalysis::Bands clean = analyse(zeroedLeft, zeroedRight);
  for (std::size_t k = 0; k < clean.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(clean[k].sideToMidDb, damagedBands[k].sideToMidDb);
    EXPECT_EQ(clean[k].correlation, damagedBands[k].correlation);
  }
  StereoFieldAnalysis damaged(RATE);
  damaged.add(left.data(), right.data(), static_cast<unsigned>(left.size()));
  EXPECT_EQ(2u, damaged.getNonFiniteSamples());
  const auto& cells = damaged.getGoniometer();
  EXPECT_EQ(a.size() - 2, std::accumulate(cells.begin(), cells.end(), std::uint64_t(0)));
}

namespace {

void expectSameBands(const StereoFieldAnalysis::Bands& expected,
                     const StereoFieldAnalysis::Bands& actual) {
  for (std::size_t b = 0; b < expected.size(); ++b) {
    SCOPED_TRACE(b);
    // Bit for bit: NaN where NaN, and not merely close.
    EXPECT_EQ(0, std::memcmp(&expected[b], &actual[b], sizeof(expected[b])))
        << expected[b].sideToMidDb << " " << actual[b].sideToMidDb << " " << expected[b].correlation
        << " " << actual[b].correlation;
  }
}

}  // namespace

// However the stream is cut into blocks, and however often the bands are read on the
// way, the result is the whole stream's to the last bit; bands read after some frames
// are those of a stream that ended there; after a reset the analysis starts afresh.
TEST(StereoFieldAnalysis, BlocksReadsAndResetsLeaveTheResultAlone) {
  const unsigned frames = RATE * 2 + 777;  // ends in a partial window
  const std::vector<double> a = noise(frames, 3);
  std::vector<double> b = noise(frames, 4);
  for (unsigned i = 0; i < frames; ++i) b[i] = 0.6 * a[i] + 0.4 * b[i];
  const StereoFieldAnalysis::Bands whole = analyse(a, b, frames);
  StereoFieldAnalysis reference(RATE);
  reference.add(a.data(), b.data(), frames);

  const unsigned readAt = 30000;  // within the second window
  const StereoFieldAnalysis::Bands prefix =
      analyse({a.begin(), a.begin() + readAt}, {b.begin(), b.begin() + readAt}, readAt);
  for (const unsigned piece : {1u, 17u, 4096u, frames}) {
    SCOPED_TRACE(piece);
    StereoFieldAnalysis cut(RATE);
    for (int pass = 0; pass < 2; ++pass) {
      StereoFieldAnalysis::Bands midway{};
      bool read = false;
      for (unsigned at = 0; at < frames;) {
        const unsigned n = std::min(piece, frames - at);
        cut.add(a.data() + at, b.data() + at, n);
        at += n;
        if (!read && at == readAt) {
          cut.computeBands(midway);
          expectSameBands(prefix, midway);
          read = true;
        } else if (at % 10000 < n) {
          cut.computeBands(midway);
        }
      }
      StereoFieldAnalysis::Bands bands;
      cut.computeBands(bands);
      expectSameBands(whole, bands);
      cut.computeBands(bands);  // a second read sees the same
      expectSameBands(whole, bands);
      EXPECT_EQ(reference.getGoniometer(), cut.getGoniometer());
      EXPECT_EQ(frames, cut.getNumFrames());
      cut.reset();
    }
  }
}
