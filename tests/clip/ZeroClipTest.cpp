#include <gtest/gtest.h>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"

namespace {

using spl::DefaultClip;
using spl::ZeroClip;

TEST(ZeroClip, IsSilenceThatOnlyChangesItsLength) {
  ZeroClip zero(2, 4);
  zero.set(0, 0, 1.0);
  EXPECT_EQ(zero.get(0, 0), 0.0);
  EXPECT_EQ(zero.get(7, 1000), 0.0);
  DefaultClip other(1, 9);
  zero.assign(other);
  EXPECT_EQ(zero.getNumChannels(), 2u);
  EXPECT_EQ(zero.getLength(), 4u);
  zero.setLength(10);
  EXPECT_EQ(zero.getLength(), 10u);
  EXPECT_EQ(zero.toString(), "ZeroClip");
}

}  // namespace
