// The stereo field analysis on signals whose answer is known, and its pictures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "tests/tools/ToolTestSupport.h"
#include "tools/StereoFieldAnalysis.h"

using brisendel::StereoFieldAnalysis;
using namespace tooltest;

namespace {

constexpr int RATE = 44100;

std::vector<double> noise(unsigned frames, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> gauss(0.0, 0.1);
  std::vector<double> samples(frames);
  for (double& x : samples) x = gauss(random);
  return samples;
}

StereoFieldAnalysis analyse(const std::vector<double>& left, const std::vector<double>& right) {
  StereoFieldAnalysis analysis(RATE);
  // Uneven pieces: the windowing must not depend on how the samples arrive.
  for (std::size_t at = 0; at < left.size();) {
    const unsigned n = static_cast<unsigned>(std::min<std::size_t>(12345, left.size() - at));
    analysis.add(left.data() + at, right.data() + at, n);
    at += n;
  }
  analysis.finish();
  return analysis;
}

// Bins of a band summed over the half-overlapping windows: the statistical weight of
// the band's estimate, from which the tolerances follow.
double samplesIn(const StereoFieldAnalysis& analysis, const StereoFieldAnalysis::Band& band,
                 std::size_t frames) {
  const double binWidth = static_cast<double>(RATE) / analysis.getTransformLength();
  const double bins = std::floor((band.high - band.low) / binWidth);
  const double windows = std::ceil(2.0 * frames / analysis.getTransformLength());
  return std::max(1.0, bins) * windows;
}

}  // namespace

TEST(StereoFieldAnalysis, KnownSignalsGiveKnownWidths) {
  const unsigned frames = RATE * 20;
  const std::vector<double> a = noise(frames, 1);
  const std::vector<double> b = noise(frames, 2);

  // Identical channels: no side at all, perfect correlation, in every band.
  const StereoFieldAnalysis same = analyse(a, a);
  ASSERT_EQ(StereoFieldAnalysis::NUM_BANDS, static_cast<int>(same.getBands().size()));
  EXPECT_NEAR(20.0, same.getBands().front().centre, 0.5);
  EXPECT_NEAR(20000.0, same.getBands().back().centre, 200.0);
  for (const auto& band : same.getBands()) {
    SCOPED_TRACE(band.centre);
    EXPECT_TRUE(std::isinf(band.sideToMidDb) && band.sideToMidDb < 0) << band.sideToMidDb;
    EXPECT_NEAR(1.0, band.correlation, 1e-12);
  }

  // Independent noise: as much side as mid and no correlation, within the statistical
  // spread of each band (five standard deviations).
  const StereoFieldAnalysis apart = analyse(a, b);
  for (const auto& band : apart.getBands()) {
    SCOPED_TRACE(band.centre);
    const double spread = 5.0 / std::sqrt(samplesIn(apart, band, frames));
    EXPECT_NEAR(0.0, band.correlation, spread);
    EXPECT_NEAR(0.0, band.sideToMidDb,
                10.0 * std::log10((1.0 + 2.0 * spread) / (1.0 - 2.0 * spread)));
  }

  // A 1 kHz tone in the left channel only, over identical noise: the 1 kHz band widens,
  // every other band stays far below it.
  std::vector<double> toned = a;
  for (unsigned i = 0; i < frames; ++i) toned[i] += 0.05 * std::sin(2.0 * M_PI * 1000.0 * i / RATE);
  const StereoFieldAnalysis tone = analyse(toned, a);
  for (const auto& band : tone.getBands()) {
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
  low.finish();
  EXPECT_TRUE(std::isnan(low.getBands().back().sideToMidDb));
  EXPECT_FALSE(std::isnan(low.getBands().front().sideToMidDb));
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
  const StereoFieldAnalysis damaged = analyse(left, right);
  const StereoFieldAnalysis clean = analyse(zeroedLeft, zeroedRight);
  for (int k = 0; k < StereoFieldAnalysis::NUM_BANDS; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(clean.getBands()[k].sideToMidDb, damaged.getBands()[k].sideToMidDb);
    EXPECT_EQ(clean.getBands()[k].correlation, damaged.getBands()[k].correlation);
  }
  const auto& cells = damaged.getGoniometer();
  EXPECT_EQ(a.size() - 2, std::accumulate(cells.begin(), cells.end(), std::uint64_t(0)));
}

// analyze IN OUT: a table row per band and both pictures, PNG at 1200 x 800 and SVG,
// written completely and nothing else left in the folder.
TEST(BrisendelAnalyze, WritesTheTableAndValidPictures) {
  TempDir dir;
  Wave input;
  input.samples = testSignal(30000, 0.5);
  writeFile(dir.file("in.wav"), encodeWave(input));
  ASSERT_EQ(0, runBrisendel({"render", dir.file("in.wav"), dir.file("out.flac"), "--plugin",
                             pluginPath(), "--side", "0"})
                   .status);
  const RunResult run = runBrisendel({"analyze", dir.file("in.wav"), dir.file("out.flac"), "--png",
                                      dir.file("field.png"), "--svg", dir.file("field.svg")});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_NE(std::string::npos, run.out.find("side/mid dB 2")) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("       1k ")) << run.out;

  const std::vector<std::uint8_t> png = readFile(dir.file("field.png"));
  ASSERT_GT(png.size(), 33u);
  const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature, signature + 8, png.begin()));
  EXPECT_EQ(0, std::memcmp(png.data() + 12, "IHDR", 4));
  const auto big32 = [&png](std::size_t at) {
    return (std::uint32_t(png[at]) << 24) | (std::uint32_t(png[at + 1]) << 16) |
           (std::uint32_t(png[at + 2]) << 8) | png[at + 3];
  };
  EXPECT_EQ(1200u, big32(16));
  EXPECT_EQ(800u, big32(20));
  const std::vector<std::uint8_t> tail(png.end() - 8, png.end());
  EXPECT_EQ(0, std::memcmp(tail.data(), "IEND", 4)) << "the PNG is cut short";

  const std::vector<std::uint8_t> svgBytes = readFile(dir.file("field.svg"));
  const std::string svg(svgBytes.begin(), svgBytes.end());
  EXPECT_EQ(0u, svg.find("<?xml"));
  EXPECT_NE(std::string::npos, svg.find("width=\"1200"));
  EXPECT_NE(std::string::npos, svg.find("height=\"800"));
  EXPECT_NE(std::string::npos, svg.find("</svg>"));
  EXPECT_EQ(4u, dir.list().size()) << "a temporary file was left behind";
}

// No picture replaces a file it shows, however its path names it; the analysis is not
// even started.
TEST(BrisendelAnalyze, APictureNeverReplacesAnInput) {
  TempDir dir;
  Wave input;
  input.samples = testSignal(5000, 0.5);
  const std::vector<std::uint8_t> bytes = encodeWave(input);
  writeFile(dir.file("a.wav"), bytes);
  writeFile(dir.file("b.wav"), bytes);
  ASSERT_EQ(0, link(dir.file("b.wav").c_str(), dir.file("hard.png").c_str()));
  for (const char* option : {"--png", "--svg"}) {
    for (const std::string& picture :
         {dir.file("a.wav"), dir.path() + "/./b.wav", dir.file("hard.png")}) {
      SCOPED_TRACE(std::string(option) + " " + picture);
      const RunResult run =
          runBrisendel({"analyze", dir.file("a.wav"), dir.file("b.wav"), option, picture});
      EXPECT_EQ(1, run.status);
      EXPECT_NE(std::string::npos, run.err.find(picture + ": is the input file")) << run.err;
      EXPECT_EQ("", run.out);
    }
  }
  EXPECT_EQ(bytes, readFile(dir.file("a.wav")));
  EXPECT_EQ(bytes, readFile(dir.file("b.wav")));
  EXPECT_EQ(3u, dir.list().size());
}

// The table says what it measured: channels in opposite phase are infinitely wide
// (+inf, not the -inf of identical channels), and a NaN sample is named on standard
// error while the bands still show the rest of the file.
TEST(BrisendelAnalyze, TheTableShowsOppositeChannelsAndNamesNonFiniteSamples) {
  TempDir dir;
  Wave opposite = floatWave(20000, 0.5);
  for (std::size_t i = 0; i < opposite.samples.size(); i += 2)
    opposite.samples[i + 1] = -opposite.samples[i];
  writeFile(dir.file("opposite.wav"), encodeWave(opposite));
  Wave damaged = opposite;
  damaged.samples = testSignal(20000, 0.5);
  damaged.samples[777] = std::numeric_limits<double>::quiet_NaN();
  writeFile(dir.file("nan.wav"), encodeWave(damaged));

  const RunResult run = runBrisendel({"analyze", dir.file("opposite.wav"), dir.file("nan.wav")});
  ASSERT_EQ(0, run.status) << run.err;
  const std::size_t row = run.out.find("       1k ");
  ASSERT_NE(std::string::npos, row) << run.out;
  const std::string line = run.out.substr(row, run.out.find('\n', row) - row);
  EXPECT_NE(std::string::npos, line.find("+inf     -1.000")) << line;
  EXPECT_EQ(std::string::npos, line.find(" -  ")) << line;
  EXPECT_EQ("brisendel: " + dir.file("nan.wav") +
                ": 1 sample is NaN or infinite; left out of the analysis\n",
            run.err);
}
