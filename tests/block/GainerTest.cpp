#include <gtest/gtest.h>

#include <vector>

#include "spl/block/Gainer.h"
#include "spl/clip/DefaultClip.h"

namespace {

using spl::DefaultClip;

TEST(Gainer, ScalesEveryChannel) {
  spl::Gainer gainer;
  EXPECT_EQ(gainer.getGain(), 1.0);
  DefaultClip clip(2, 3);
  clip.set(0, 0, 2.0);
  clip.set(1, 2, -4.0);
  gainer.process(clip);
  EXPECT_EQ(clip.get(0, 0), 2.0);
  gainer.setGain(0.5);
  EXPECT_EQ(gainer.getGain(), 0.5);
  gainer.process(clip);
  EXPECT_EQ(clip.get(0, 0), 1.0);
  EXPECT_EQ(clip.get(1, 2), -2.0);
  EXPECT_EQ(clip.get(1, 0), 0.0);
}

}  // namespace
