#include "spl/clip/DefaultClip.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "spl/clip/ZeroClip.h"

using spl::DefaultClip;
using spl::ZeroClip;

TEST(DefaultClip, Smoke) {
  DefaultClip clip(2, 8);
  EXPECT_EQ(clip.toString(), "Clip [channels=2, length=8]");
}
