#include <gtest/gtest.h>

#include <cmath>

#include "spl/stream/SmoothingStreamProcessor.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/StreamTestSupport.h"

using spl::DefaultClip;
using spl::SmoothingStreamProcessor;
using namespace spl_test;

namespace {

// Adds 100 times the block's number to every sample, so that the output shows
// which block each frame came from.
class NumberingProcessor : public spl::BlockProcessor {
 public:
  void process(spl::Clip& clip) override {
    for (unsigned p = 0; p < clip.getLength(); ++p) {
      for (unsigned c = 0; c < clip.getNumChannels(); ++c) {
        clip.set(c, p, clip.get(c, p) + 100.0 * blocks);
      }
    }
    ++blocks;
  }
  int blocks = 0;
};

Frames readAll(SmoothingStreamProcessor& processor, unsigned numChannels) {
  DefaultClip clip(numChannels, 0);
  processor.read(clip, ~0u);
  Frames frames;
  append(frames, clip);
  return frames;
}

void expectNear(const Frames& actual, const Frames& expected, double tolerance) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t k = 0; k < actual.size(); ++k) {
    for (std::size_t c = 0; c < actual[k].size(); ++c) {
      EXPECT_NEAR(actual[k][c], expected[k][c], tolerance) << "frame " << k << " channel " << c;
    }
  }
}

}  // namespace

// Width 8, fade 2: the first block releases 4 frames, every later one 6, and
// the crossfade of two equal versions of a frame gives that frame back.
TEST(SmoothingStreamProcessor, WidthEightFadeTwoGivesTheInputBack) {
  IdentityProcessor identity;
  SmoothingStreamProcessor processor(identity, 2, 8, 2);
  const Frames input = makeSignal(2, 16, 21);
  processor.write(toClip(input, 2, 0, 8));
  EXPECT_EQ(processor.getAvailable(), 4u);
  processor.write(toClip(input, 2, 8, 8));
  EXPECT_EQ(processor.getAvailable(), 10u);
  EXPECT_EQ(processor.getInputBuffer().getAvailable(), 6u);
  expectNear(readAll(processor, 2), Frames(input.begin(), input.begin() + 10), 1e-12);
}

TEST(SmoothingStreamProcessor, OverlapFadesFromThePreviousBlockToTheNext) {
  NumberingProcessor numbering;
  SmoothingStreamProcessor processor(numbering, 1, 8, 2);
  Frames input;
  for (unsigned m = 0; m < 16; ++m) input.push_back({double(m)});
  processor.write(toClip(input, 1));
  const Frames output = readAll(processor, 1);
  ASSERT_EQ(output.size(), 10u);
  // Frames 4 and 5 belong to block 0 (+0) and block 1 (+100); the next block's
  // weight is 0.5 (1 + cos(pi (1 - p / 2))): 0 at p = 0, 0.5 at p = 1.
  EXPECT_NEAR(output[4][0], 4.0, 1e-12);
  EXPECT_NEAR(output[5][0], 5.0 + 50.0, 1e-12);
  EXPECT_EQ(output[6][0], 106.0);
  EXPECT_EQ(output[3][0], 3.0);
}

TEST(SmoothingStreamProcessor, ClearedFirstBlockFadesInFromSilence) {
  IdentityProcessor identity;
  SmoothingStreamProcessor processor(identity, 1, 8, 2);
  processor.clearFirstBlock();
  Frames input;
  for (unsigned m = 0; m < 6; ++m) input.push_back({m + 1.0});
  processor.write(toClip(input, 1));
  // The padded head (two silent frames) comes first, then the first 4 inputs.
  expectNear(readAll(processor, 1), Frames{{0}, {0}, {1}, {2}, {3}, {4}}, 1e-15);
}

TEST(SmoothingStreamProcessor, FadeMustFitTwiceIntoTheBlock) {
  IdentityProcessor identity;
  for (unsigned fade : {0u, 5u, 100u}) {
    EXPECT_SPL_FAILURE(SmoothingStreamProcessor(identity, 2, 8, fade),
                       "fadeLength < 1 || width < 2 * fadeLength",
                       "spl/stream/SmoothingStreamProcessor")
        << fade;
  }
  // Fade of exactly half the block: no middle, every frame is crossfaded.
  SmoothingStreamProcessor halves(identity, 1, 8, 4);
  const Frames input = makeSignal(1, 40, 8);
  halves.write(toClip(input, 1));
  expectNear(readAll(halves, 1), Frames(input.begin(), input.begin() + 36), 1e-12);
}

TEST(SmoothingStreamProcessor, OutputDoesNotDependOnHowTheStreamIsCut) {
  const Frames input = makeSignal(2, 400, 13);
  RecordingProcessor recorder;
  MixingProcessor mixing;
  SmoothingStreamProcessor shapes(recorder, 2, 16, 3);
  SmoothingStreamProcessor reference(mixing, 2, 16, 3);
  const Frames expected = runInPieces(reference, input, 2, {400});
  runInPieces(shapes, input, 2, randomPieces(30, 20, 6));
  ASSERT_EQ(expected.size(), ((400 + 3 - 16) / 13 + 1) * 13u - 3);  // blocks x hop - fade
  for (const auto& pieces :
       std::vector<std::vector<unsigned>>{{1}, {16}, {13}, randomPieces(30, 20, 5)}) {
    MixingProcessor other;
    SmoothingStreamProcessor processor(other, 2, 16, 3);
    EXPECT_EQ(runInPieces(processor, input, 2, pieces), expected) << pieces.front();
  }
  for (const DefaultClip& block : recorder.blocks) {
    ASSERT_EQ(block.getLength(), 16u);
    ASSERT_EQ(block.getNumChannels(), 2u);
  }
}
