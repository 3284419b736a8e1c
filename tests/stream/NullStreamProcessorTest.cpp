#include <gtest/gtest.h>

#include <cmath>

#include "spl/stream/NullStreamProcessor.h"
#include "tests/support/StreamTestSupport.h"
#include "tests/support/TestClips.h"

using spl::DefaultClip;
using namespace spl_test;
using spl_test::count;

TEST(NullStreamProcessor, SwallowsWritesAndLeavesReadClipsAlone) {
  spl::NullStreamProcessor null;
  null.write(count(5, 1));
  DefaultClip clip = count(3, 7);
  null.read(clip, 10);
  ASSERT_EQ(clip.getLength(), 3u);
  EXPECT_EQ(clip.get(0, 2), 9);
}
