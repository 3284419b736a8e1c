// After construction the analysis and the meter allocate nothing: adding blocks of any
// length (a transform among them), reading the bands and the goniometer, resetting.
#include "tests/support/AllocationCounter.h"
// (The counter first: it replaces operator new for the whole executable.)
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/StereoFieldAnalysis.h"
#include "analysis/StereoMeter.h"

using brisendel::StereoFieldAnalysis;
using brisendel::StereoMeter;

TEST(StereoFieldAnalysisAlloc, NothingAllocatesAfterConstruction) {
  const unsigned frames = 200000;
  std::vector<double> left(frames), right(frames);
  std::vector<float> leftFloat(frames), rightFloat(frames);
  for (unsigned i = 0; i < frames; ++i) {
    left[i] = 0.5 * std::sin(0.01 * i);
    right[i] = 0.5 * std::sin(0.013 * i);
    leftFloat[i] = static_cast<float>(left[i]);
    rightFloat[i] = static_cast<float>(right[i]);
  }
  left[99] = NAN;
  StereoFieldAnalysis analysis(48000);
  StereoMeter meter;
  StereoFieldAnalysis::Bands bands;
  StereoFieldAnalysis::BandSums sums;

  spl_test::allocations = 0;
  for (int pass = 0; pass < 2; ++pass) {
    unsigned at = 0;
    for (const unsigned length : {0u, 1u, 17u, 64u, 4096u, 65536u, 100000u}) {
      const unsigned n = std::min(length, frames - at);
      analysis.add(left.data() + at, right.data() + at, n);
      analysis.add(leftFloat.data() + at, rightFloat.data() + at, n);
      meter.add(left.data() + at, right.data() + at, n);
      meter.add(leftFloat.data() + at, rightFloat.data() + at, n);
      at += n;
      analysis.computeBands(bands);
      analysis.computeBandSums(sums);
      EXPECT_GE(sums[20].left, 0.0);
      EXPECT_GE(meter.getNumFrames(), analysis.getGoniometer()[0]);
    }
    analysis.reset();
    meter.reset();
  }
  EXPECT_EQ(0, spl_test::allocations.load());
}
