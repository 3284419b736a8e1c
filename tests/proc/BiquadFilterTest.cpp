#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "spl/proc/BiquadEqualizer.h"
#include "spl/proc/BiquadFilter.h"

using spl::BiquadEqualizer;
using spl::BiquadFilter;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 48000.0;

}  // namespace

TEST(BiquadFilter, NewFilterIsSilentAndCoefficientsKeepHistory) {
  BiquadFilter filter;
  for (double x : {1.0, -3.0, 0.5}) EXPECT_EQ(filter.process(x), 0.0);
  // y = x[n] + x[n-1] + x[n-2] (all over a0 = 2): the inputs seen while
  // silent still take part once coefficients arrive.
  filter.setCoefficient(BiquadFilter::Coefficient(2.0, 0.0, 0.0, 2.0, 2.0, 2.0));
  EXPECT_DOUBLE_EQ(filter.process(4.0), 4.0 - 3.0 + 0.5);
  // A one-pole recursion y[n] = x[n] + 0.5 y[n-1] from that output on.
  filter.setCoefficient(BiquadFilter::Coefficient(1.0, -0.5, 0.0, 1.0, 0.0, 0.0));
  EXPECT_DOUBLE_EQ(filter.process(1.0), 1.0 + 0.5 * 1.5);
}
