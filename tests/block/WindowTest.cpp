#include "spl/block/VorbisWindow.h"

#include <gtest/gtest.h>

#include "spl/clip/DefaultClip.h"

TEST(VorbisWindow, Smoke) {
  spl::DefaultClip clip(1, 4);
  spl::VorbisWindow w;
  w.process(clip);
  EXPECT_EQ(w.getTableBuildCount(), 1u);
}
