#include <gtest/gtest.h>

#include "spl/stream/SimpleBufferedStreamProcessor.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/StreamTestSupport.h"

using spl::DefaultClip;
using spl::SimpleBufferedStreamProcessor;
using namespace spl_test;

TEST(SimpleBufferedStreamProcessor, ReleasesCompleteBlocksAtOnceWithoutDelay) {
  RecordingProcessor recorder;
  SimpleBufferedStreamProcessor processor(recorder, 2, 4);
  const Frames input = makeSignal(2, 10);
  processor.write(toClip(input, 2));
  EXPECT_EQ(processor.getAvailable(), 8u);
  EXPECT_EQ(processor.getInputBuffer().getAvailable(), 2u);
  ASSERT_EQ(recorder.blocks.size(), 2u);
  DefaultClip clip(2, 0);
  processor.read(clip, 100);
  Frames output;
  append(output, clip);
  EXPECT_EQ(output, Frames(input.begin(), input.begin() + 8));
}

TEST(SimpleBufferedStreamProcessor, ZeroWidthIsRejected) {
  IdentityProcessor identity;
  EXPECT_SPL_FAILURE_AT(SimpleBufferedStreamProcessor(identity, 2, 0), "assertion error",
                        "spl/stream/SimpleBufferedStreamProcessor", 9);
}

TEST(SimpleBufferedStreamProcessor, OutputDoesNotDependOnHowTheStreamIsCut) {
  const unsigned width = 12;
  const Frames input = makeSignal(1, 500, 9);
  Frames expected;
  for (unsigned begin = 0; begin + width <= input.size(); begin += width) {
    DefaultClip block = toClip(input, 1, begin, width);
    mixPositions(block);
    append(expected, block);
  }
  for (const auto& pieces :
       std::vector<std::vector<unsigned>>{{1}, {500}, {12}, {13, 0, 5}, randomPieces(40, 30, 4)}) {
    RecordingProcessor recorder;
    MixingProcessor mixing;
    SimpleBufferedStreamProcessor shapes(recorder, 1, width);
    SimpleBufferedStreamProcessor processor(mixing, 1, width);
    runInPieces(shapes, input, 1, pieces);
    EXPECT_EQ(runInPieces(processor, input, 1, pieces), expected) << pieces.front();
    for (const DefaultClip& block : recorder.blocks) {
      ASSERT_EQ(block.getLength(), width);
      ASSERT_EQ(block.getNumChannels(), 1u);
    }
  }
}
