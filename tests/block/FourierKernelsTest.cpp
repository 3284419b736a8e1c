// Every vector kernel set the processor runs against the portable kernels, entry
// by entry, at lengths the transforms and the imager reach: the shortest each
// kernel takes, the cache-blocked lengths above 8192 points, and both signs.
// The transforms and the imager test only the set they pick by default; these
// reach the others (SSE2 where AVX2 exists, the wide stages at every length).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "spl/block/FourierKernels.h"

namespace {

namespace fourier = spl::fourier;
using fourier::KernelSet;

constexpr KernelSet kVectorSets[] = {KernelSet::narrow, KernelSet::vector, KernelSet::wide};

std::vector<double> randomValues(std::size_t count, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  std::vector<double> v(count);
  for (double& x : v) x = uniform(generator);
  return v;
}

// The stage tables of m-point transforms in both layouts, the tile reversal
// and the real-split table of a 2m-point real transform.
struct Tables {
  explicit Tables(std::size_t m)
      : stages(fourier::stageTablesSize(m)),
        wide(stages.size()),
        split(std::max<std::size_t>(m, 8)) {
    auto root = [m](std::size_t K, double& c, double& s) {
      const long double angle = 6.283185307179586476925286766559L * K / (2 * m);
      c = static_cast<double>(std::cos(angle));
      s = static_cast<double>(std::sin(angle));
    };
    fourier::fillStageTables(m, stages.data(), root);
    fourier::fillWideStageTables(m, wide.data(), root);
    for (std::size_t i = 0; i < fourier::kTile; ++i) {
      tiles.push_back(static_cast<int>(fourier::reverseBits(i, fourier::kTileBits)));
    }
    for (std::size_t k = 0; k < m / 2; ++k) {
      const std::size_t at = 8 * (k >> 2) + fourier::kLane[k & 3];
      split[at] = std::cos(6.283185307179586 * k / (2 * m));
      split[at + 4] = std::sin(6.283185307179586 * k / (2 * m));
    }
  }
  const double* forSet(KernelSet set) const {
    return fourier::stageLanes(set) == 8 ? wide.data() : stages.data();
  }
  std::vector<double> stages, wide, split;
  std::vector<int> tiles;
};

double maxDifference(const std::vector<double>& a, const std::vector<double>& b) {
  double d = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) d = std::max(d, std::fabs(a[i] - b[i]));
  return d;
}

// Rounding grows with the number of stages; the values are sums of up to m
// terms of magnitude 1.
double tolerance(std::size_t m) { return 1e-15 * std::sqrt(double(m)) * std::log2(double(m)) * 4; }

bool isPowerOfFour(std::size_t m) { return (m & 0x5555555555555555ull) != 0; }

TEST(FourierKernels, EverySetComputesThePortableComplexTransforms) {
  for (std::size_t m = 16; m <= (std::size_t(1) << 15); m *= 2) {
    const Tables tables(m);
    const std::vector<double> input = randomValues(2 * m, static_cast<unsigned>(m));
    for (KernelSet set : kVectorSets) {
      const fourier::VectorKernels* kernels = fourier::vectorKernels(set);
      if (kernels == nullptr) continue;
      for (int sign : {1, -1}) {
        std::vector<double> expected = input, actual = input;
        fourier::complexTransform(sign, expected.data(), m, tables.stages.data(), false);
        kernels->complexTransform(sign, actual.data(), m, tables.stages.data());
        EXPECT_LE(maxDifference(expected, actual), tolerance(m))
            << fourier::kernelSetName(set) << " m=" << m << " sign=" << sign;
        if (!isPowerOfFour(m)) continue;
        expected = input;
        actual = input;
        fourier::complexTransformFromReversed(sign, expected.data(), m, tables.stages.data(),
                                              tables.tiles.data(), false);
        kernels->complexTransformFromReversed(sign, actual.data(), m, tables.stages.data());
        EXPECT_LE(maxDifference(expected, actual), tolerance(m))
            << fourier::kernelSetName(set) << " from reversed, m=" << m << " sign=" << sign;
      }
    }
  }
}

TEST(FourierKernels, EverySetComputesTheImagersRotatedAndAccumulatingTransforms) {
  for (std::size_t m = 64; m <= (std::size_t(1) << 16); m *= 4) {
    const Tables tables(m);
    const std::vector<double> x = randomValues(m, 1), factor = randomValues(2 * m, 2);
    const std::vector<double> spectrum = randomValues(2 * m, 3), sums = randomValues(m, 4);
    std::vector<double> expected(2 * m);
    fourier::rotatedRealTransform(-1, x.data(), factor.data(), expected.data(), m,
                                  tables.stages.data(), KernelSet::portable);
    std::vector<double> expectedSums = sums, scratch = spectrum;
    fourier::transformFromReversedAndAccumulate(1, scratch.data(), m, tables.stages.data(),
                                                tables.tiles.data(), factor.data(), 2.0,
                                                expectedSums.data(), KernelSet::portable);
    for (KernelSet set : kVectorSets) {
      if (fourier::availableKernelSet(set) != set) continue;
      std::vector<double> actual(2 * m);
      fourier::rotatedRealTransform(-1, x.data(), factor.data(), actual.data(), m,
                                    tables.forSet(set), set);
      EXPECT_LE(maxDifference(expected, actual), tolerance(m))
          << fourier::kernelSetName(set) << " m=" << m;
      std::vector<double> actualSums = sums;
      scratch = spectrum;
      fourier::transformFromReversedAndAccumulate(1, scratch.data(), m, tables.forSet(set),
                                                  tables.tiles.data(), factor.data(), 2.0,
                                                  actualSums.data(), set);
      EXPECT_LE(maxDifference(expectedSums, actualSums), 2 * tolerance(m))
          << fourier::kernelSetName(set) << " accumulate, m=" << m;
    }
  }
}

TEST(FourierKernels, EverySetComputesThePortableRealSplit) {
  for (std::size_t m = 16; m <= 4096; m *= 2) {
    const Tables tables(m);
    const std::vector<double> input = randomValues(2 * m, static_cast<unsigned>(m) + 7);
    std::vector<double> forward = input, inverse = input;
    fourier::splitForward(forward.data(), m, tables.split.data(), 0.5, false);
    fourier::splitInverse(inverse.data(), m, tables.split.data(), false);
    for (KernelSet set : kVectorSets) {
      const fourier::VectorKernels* kernels = fourier::vectorKernels(set);
      if (kernels == nullptr) continue;
      std::vector<double> actualForward = input, actualInverse = input;
      kernels->splitForward(actualForward.data(), m, tables.split.data(), 0.5);
      kernels->splitInverse(actualInverse.data(), m, tables.split.data());
      // The kernels cover bins 4 .. m/2 - 1 and their partners m - k.
      for (std::size_t k = 4; k < m / 2; ++k) {
        for (std::size_t i : {2 * k, 2 * k + 1, 2 * (m - k), 2 * (m - k) + 1}) {
          ASSERT_NEAR(actualForward[i], forward[i], 1e-15)
              << fourier::kernelSetName(set) << " m=" << m << " k=" << k;
          ASSERT_NEAR(actualInverse[i], inverse[i], 1e-15)
              << fourier::kernelSetName(set) << " inverse, m=" << m << " k=" << k;
        }
      }
    }
  }
}

}  // namespace
