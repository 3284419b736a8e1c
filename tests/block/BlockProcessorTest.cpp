#include <gtest/gtest.h>

#include <vector>

#include "spl/block/Gainer.h"
#include "spl/block/HanningWindow.h"
#include "spl/block/VorbisWindow.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/DelegationClip.h"
#include "spl/clip/RangedClip.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/WindowFactors.h"

namespace {

using spl::DefaultClip;
using spl_test::factors;
using spl_test::ones;

TEST(BlockProcessors, DegenerateLengths) {
  spl::VorbisWindow vorbis;
  spl::HanningWindow hanning;
  spl::Gainer gainer;
  gainer.setGain(3.0);
  for (spl::BlockProcessor* processor :
       {static_cast<spl::BlockProcessor*>(&vorbis), static_cast<spl::BlockProcessor*>(&hanning),
        static_cast<spl::BlockProcessor*>(&gainer)}) {
    DefaultClip empty(2, 0);
    processor->process(empty);
    EXPECT_EQ(empty.getLength(), 0u);
    EXPECT_EQ(empty.getNumChannels(), 2u);
  }
  EXPECT_EQ(vorbis.getTableBuildCount(), 0u);
  // A single sample sits at the window's zero.
  EXPECT_EQ(factors(vorbis, 1), std::vector<double>{0.0});
  EXPECT_EQ(factors(hanning, 1), std::vector<double>{0.0});
}

TEST(BlockProcessors, WorkThroughViews) {
  // A window over the middle of a longer clip sees only that part.
  DefaultClip clip = ones(2, 12);
  spl::RangedClip middle(clip, 4, 4);
  spl::HanningWindow window;
  window.process(middle);
  EXPECT_EQ(clip.get(1, 3), 1.0);
  EXPECT_EQ(clip.get(1, 4), 0.0);
  EXPECT_EQ(clip.get(1, 6), 1.0);
  EXPECT_EQ(clip.get(1, 8), 1.0);
  // A read-only view refuses the first write; nothing is changed.
  spl::DelegationClip readOnly(clip);
  spl::Gainer gainer;
  EXPECT_SPL_FAILURE(gainer.process(readOnly), "unsupported", "spl/clip/ClipAdapter");
  EXPECT_EQ(clip.get(0, 0), 1.0);
}

}  // namespace
