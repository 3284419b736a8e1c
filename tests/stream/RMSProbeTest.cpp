#include <gtest/gtest.h>

#include <cmath>

#include "spl/stream/RMSProbe.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/StreamTestSupport.h"
#include "tests/support/TestClips.h"

using spl::DefaultClip;
using namespace spl_test;
using spl_test::count;

TEST(RMSProbe, AccumulatesEveryChannelOverAllWrites) {
  spl::RMSProbe probe(2);
  EXPECT_TRUE(std::isnan(probe.getRMS(0)));  // nothing measured yet
  DefaultClip clip(2, 1);
  clip.set(0, 0, 3);
  clip.set(1, 0, 1);
  probe.write(clip);
  clip.set(0, 0, 4);
  clip.set(1, 0, -1);
  probe.write(clip);
  probe.write(DefaultClip(2, 0));
  EXPECT_NEAR(probe.getRMS(0), 3.5355339059, 1e-10);
  EXPECT_DOUBLE_EQ(probe.getRMS(1), 1.0);
  // A mono clip feeds channel 0 only.
  probe.write(count(1, 0));
  EXPECT_NEAR(probe.getRMS(0), std::sqrt(25.0 / 3), 1e-12);
  EXPECT_DOUBLE_EQ(probe.getRMS(1), 1.0);
}

TEST(RMSProbe, ChannelsBeyondTheProbeAreRefused) {
  spl::RMSProbe probe(1);
  probe.write(count(2, 3));
  EXPECT_SPL_FAILURE(probe.write(DefaultClip(2, 4)), "channel", "spl/stream/RMSProbe");
  EXPECT_NEAR(probe.getRMS(0), 3.5355339059, 1e-10);  // nothing of the refused clip counted
  EXPECT_SPL_FAILURE(probe.getRMS(1), "channel", "spl/stream/RMSProbe");
}
