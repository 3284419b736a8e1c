#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "spl/block/InvisibleLimiter2.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/FailureCheck.h"

using spl::DefaultClip;
using spl::InvisibleLimiter2;

TEST(InvisibleLimiter2, DelaysEachChannelBy4097Samples) {
  InvisibleLimiter2 limiter(2);
  const unsigned total = 4097 + 600;
  std::vector<double> left(total), right(total);
  for (unsigned t = 0; t < total; ++t) {
    left[t] = 0.1 * std::sin(t / 7.0);  // -20 dB: below the fixed -15 dB threshold
    right[t] = -0.05 * std::sin(t / 3.0 + 1.0);
  }
  // Odd block lengths: any length is accepted.
  std::vector<double> outLeft, outRight;
  for (unsigned begin = 0; begin < total;) {
    const unsigned length = std::min(157u, total - begin);
    DefaultClip block(2, length);
    for (unsigned p = 0; p < length; ++p) {
      block.set(0, p, left[begin + p]);
      block.set(1, p, right[begin + p]);
    }
    limiter.process(block);
    for (unsigned p = 0; p < length; ++p) {
      outLeft.push_back(block.get(0, p));
      outRight.push_back(block.get(1, p));
    }
    begin += length;
  }
  for (unsigned t = 0; t < 4097; ++t) {
    ASSERT_LE(std::fabs(outLeft[t]), 1e-10) << t;
    ASSERT_LE(std::fabs(outRight[t]), 1e-10) << t;
  }
  // Before its first peak a limiter assumes a full-scale level and fades the
  // first half-wave in from the threshold's gain; after it, the quiet signal
  // passes unchanged but for the noise.
  for (unsigned t = 4097; t < total; ++t) {
    if (t < 4097 + 40) {
      ASSERT_LE(std::fabs(outLeft[t]), std::fabs(left[t - 4097]) + 1e-10) << t;
      ASSERT_LE(std::fabs(outRight[t]), std::fabs(right[t - 4097]) + 1e-10) << t;
    } else {
      ASSERT_NEAR(outLeft[t], left[t - 4097], 1.0001e-10) << t;
      ASSERT_NEAR(outRight[t], right[t - 4097], 1.0001e-10) << t;
    }
  }

  DefaultClip wide(2, 4);
  InvisibleLimiter2 mono(1);
  EXPECT_SPL_FAILURE(mono.process(wide), "channel", "spl/block/InvisibleLimiter2");
}
