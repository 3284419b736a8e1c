#include <gtest/gtest.h>

#include <cmath>

#include "spl/stream/LengthLimitSource.h"
#include "spl/stream/VectorBuffer.h"
#include "tests/support/StreamTestSupport.h"
#include "tests/support/TestClips.h"

using spl::DefaultClip;
using namespace spl_test;
using spl_test::count;

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
