#include <gtest/gtest.h>

#include "spl/block/RealValueBuffer.h"
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

TEST(RealValueBuffer, PeekOnAnEmptyQueueFailsLikeTake) {
  spl::RealValueBuffer never;  // no storage at all
  EXPECT_SPL_FAILURE(never.peek(), "assertion error", "spl/block/RealValueBuffer");
  spl::RealValueBuffer drained(4);
  drained.add(1.5);
  EXPECT_EQ(drained.peek(), 1.5);
  EXPECT_EQ(drained.take(), 1.5);  // the slot still holds 1.5
  EXPECT_SPL_FAILURE(drained.peek(), "assertion error", "spl/block/RealValueBuffer");
}
