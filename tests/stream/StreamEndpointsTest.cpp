// The small endpoints: the null processor, the level probe and the two
// length-limiting wrappers.

#include <gtest/gtest.h>

#include <cmath>

#include "spl/stream/LengthLimitSource.h"
#include "spl/stream/LengthLimitStreamSink.h"
#include "spl/stream/NullStreamProcessor.h"
#include "spl/stream/RMSProbe.h"
#include "spl/stream/VectorBuffer.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/StreamTestSupport.h"

using spl::DefaultClip;
using namespace spl_test;

namespace {

spl::VectorBuffer monoBuffer() {
  spl::VectorBuffer buffer;
  buffer.setNumChannels(1);
  return buffer;
}

// One channel counting up from `base`.
DefaultClip count(unsigned length, double base) {
  DefaultClip clip(1, length);
  for (unsigned p = 0; p < length; ++p) clip.set(0, p, base + p);
  return clip;
}

}  // namespace

TEST(NullStreamProcessor, SwallowsWritesAndLeavesReadClipsAlone) {
  spl::NullStreamProcessor null;
  null.write(count(5, 1));
  DefaultClip clip = count(3, 7);
  null.read(clip, 10);
  ASSERT_EQ(clip.getLength(), 3u);
  EXPECT_EQ(clip.get(0, 2), 9);
}

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

TEST(LengthLimitStreamSink, PassesOnAtMostTheLimit) {
  spl::VectorBuffer target = monoBuffer();
  spl::LengthLimitStreamSink sink(target, 5);
  sink.write(DefaultClip(1, 0));  // empty: nothing, no failure
  sink.write(count(3, 0));
  EXPECT_FALSE(sink.isFinished());
  sink.write(count(3, 10));
  EXPECT_TRUE(sink.isFinished());
  EXPECT_EQ(sink.getTotal(), 5u);
  EXPECT_EQ(sink.getLimit(), 5u);
  sink.write(count(4, 20));  // beyond the limit: dropped, no failure
  sink.write(DefaultClip(1, 0));
  EXPECT_EQ(sink.getTotal(), 5u);

  DefaultClip clip(1, 0);
  target.read(clip, 100);
  Frames passed;
  append(passed, clip);
  EXPECT_EQ(passed, (Frames{{0}, {1}, {2}, {10}, {11}}));
}

TEST(LengthLimitSource, CountsFramesAskedForUpToTheLimit) {
  spl::VectorBuffer source = monoBuffer();
  source.write(count(4, 0));
  spl::LengthLimitSource limited(source, 5);
  DefaultClip clip(1, 0);
  limited.read(clip, 3);
  EXPECT_EQ(clip.getLength(), 3u);
  EXPECT_EQ(limited.getCount(), 3u);
  EXPECT_FALSE(limited.isFinished());
  limited.read(clip, 3);
  EXPECT_EQ(clip.getLength(), 1u);  // what the wrapped source had, not cut by the limit
  EXPECT_EQ(limited.getCount(), 5u);
  EXPECT_TRUE(limited.isFinished());
  limited.reset();
  EXPECT_EQ(limited.getCount(), 0u);
  EXPECT_FALSE(limited.isFinished());
}
