#include "spl/block/RealValueBuffer.h"

#include <gtest/gtest.h>

#include "tests/support/FailureCheck.h"

TEST(RealValueBuffer, KeepsOrderAcrossWrapAndGrowth) {
  spl::RealValueBuffer queue(4);
  double next = 0.0, expected = 0.0;
  // Interleaved adds and takes wrap the ring; the burst forces it to grow
  // while wrapped.
  for (int round = 0; round < 5; ++round) {
    for (int i = 0; i < 3; ++i) queue.add(next++);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(queue.take(), expected++);
  }
  for (int i = 0; i < 40; ++i) queue.add(next++);
  EXPECT_EQ(queue.getCount(), 45u);
  while (!queue.isEmpty()) EXPECT_EQ(queue.take(), expected++);
  EXPECT_EQ(expected, next);
  EXPECT_SPL_FAILURE(queue.take(), "assertion error", "spl/block/RealValueBuffer");
}
