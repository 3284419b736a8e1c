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
