#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "spl/block/FirLowpassFilter.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/FailureCheck.h"

namespace {

using spl::DefaultClip;
using spl::FirLowpassFilter;

constexpr unsigned kBlock = 2048;
constexpr unsigned kFrame = 4096;

DefaultClip randomBlock(unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  DefaultClip block(2, kBlock);
  for (unsigned c = 0; c < 2; ++c) {
    for (unsigned p = 0; p < kBlock; ++p) block.set(c, p, dist(gen));
  }
  return block;
}

// One channel's zero-extended frame through the masked cosine spectrum, from
// the defining sums: F[k] = s sum_j f[j] cos(pi j (k + 1/2) / N) for k below
// the cutoff bin, then g[j] = s sum_k F[k] cos(pi (k + 1/2) j / N).
std::vector<double> directFrame(const DefaultClip& block, unsigned channel, double cutoff) {
  std::vector<double> cosine(4 * kFrame);
  for (unsigned t = 0; t < 4 * kFrame; ++t) {
    cosine[t] =
        static_cast<double>(std::cos(3.14159265358979323846264338327950L * t / (2 * kFrame)));
  }
  const unsigned kept = static_cast<unsigned>(kFrame * cutoff);
  const double s = std::sqrt(2.0 / kFrame);
  std::vector<double> spectrum(kept);
  for (unsigned k = 0; k < kept; ++k) {
    double sum = 0.0;
    for (unsigned j = 0; j < kBlock; ++j)
      sum += block.get(channel, j) * cosine[(j * (2 * k + 1)) % (4 * kFrame)];
    spectrum[k] = s * sum;
  }
  std::vector<double> frame(kFrame);
  for (unsigned j = 0; j < kFrame; ++j) {
    double sum = 0.0;
    for (unsigned k = 0; k < kept; ++k)
      sum += spectrum[k] * cosine[((2 * k + 1) * j) % (4 * kFrame)];
    frame[j] = s * sum;
  }
  return frame;
}

TEST(FirLowpassFilter, CutoffBetweenMatchesTheMaskedSpectrumWithOverlapAdd) {
  const double cutoff = 0.3;
  FirLowpassFilter filter;
  filter.setCutoff(cutoff);
  std::vector<double> carried[2] = {std::vector<double>(kBlock, 0.0),
                                    std::vector<double>(kBlock, 0.0)};
  for (unsigned seed : {1u, 2u}) {
    DefaultClip block = randomBlock(seed);
    const DefaultClip input = block;
    filter.process(block);
    for (unsigned c = 0; c < 2; ++c) {
      const std::vector<double> frame = directFrame(input, c, cutoff);
      for (unsigned p = 0; p < kBlock; ++p) {
        ASSERT_NEAR(block.get(c, p), frame[p] + carried[c][p], 1e-12)
            << "seed " << seed << " " << c << "," << p;
        carried[c][p] = frame[kBlock + p];
      }
    }
  }
}

TEST(FirLowpassFilter, FullCutoffKeepsTheBlockWithItsFirstSampleDoubled) {
  FirLowpassFilter filter;
  for (unsigned seed : {3u, 4u}) {
    DefaultClip block = randomBlock(seed);
    const DefaultClip input = block;
    filter.process(block);
    for (unsigned c = 0; c < 2; ++c) {
      EXPECT_NEAR(block.get(c, 0), 2.0 * input.get(c, 0), 1e-12);
      for (unsigned p = 1; p < kBlock; ++p)
        ASSERT_NEAR(block.get(c, p), input.get(c, p), 1e-12) << c << "," << p;
    }
  }
}

TEST(FirLowpassFilter, ZeroCutoffLeavesOnlyThePreviousTail) {
  FirLowpassFilter filter;
  DefaultClip first = randomBlock(5);
  filter.process(first);  // cutoff 1.0: the tail carried on is (nearly) silent
  filter.setCutoff(0.0);
  for (unsigned seed : {6u, 7u}) {
    DefaultClip block = randomBlock(seed);
    filter.process(block);
    for (unsigned c = 0; c < 2; ++c) {
      for (unsigned p = 0; p < kBlock; ++p) ASSERT_NEAR(block.get(c, p), 0.0, 1e-12);
    }
  }
  DefaultClip block = randomBlock(8);
  filter.process(block);
  for (unsigned c = 0; c < 2; ++c) {
    for (unsigned p = 0; p < kBlock; ++p) ASSERT_EQ(block.get(c, p), 0.0);
  }
}

TEST(FirLowpassFilter, RejectsBadCutoffsAndBlocks) {
  FirLowpassFilter filter;
  filter.setCutoff(0.5);
  for (double bad : {1.5, -0.1, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_SPL_FAILURE_AT(filter.setCutoff(bad), "cutoff", "spl/block/FirLowpassFilter", 40);
    EXPECT_EQ(filter.getCutoff(), 0.5);
  }
  DefaultClip shortBlock(2, 1024);
  EXPECT_SPL_FAILURE_AT(filter.process(shortBlock), "assertion error", "spl/block/FirLowpassFilter",
                        21);
  DefaultClip mono(1, kBlock);
  EXPECT_SPL_FAILURE(filter.process(mono), "a.getNumChannels() != b.getNumChannels()",
                     "spl/clip/ConcatClip");
}

}  // namespace
