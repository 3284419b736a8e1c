#include <gtest/gtest.h>

#include "spl/stream/OverwrapStreamProcessor.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/StreamTestSupport.h"

using spl::DefaultClip;
using spl::OverwrapStreamProcessor;
using namespace spl_test;

namespace {

// The overlap-add of the block transform, evaluated straight from its
// definition: the stream gets `width` zero frames in front, window j covers
// frames j*hop .. j*hop + width - 1 of it, and output block j is the first half
// of processed window j plus the second half of processed window j - 1.
Frames referenceOverlapAdd(const Frames& input, unsigned numChannels, unsigned width,
                           void (*transform)(spl::Clip&)) {
  const unsigned hop = width / 2;
  Frames padded(width, std::vector<double>(numChannels, 0.0));
  padded.insert(padded.end(), input.begin(), input.end());
  const unsigned numWindows = static_cast<unsigned>(input.size()) / hop + 1;
  Frames output;
  DefaultClip previous(numChannels, width);
  for (unsigned j = 0; j < numWindows; ++j) {
    DefaultClip window = toClip(padded, numChannels, j * hop, width);
    transform(window);
    for (unsigned p = 0; p < hop; ++p) {
      std::vector<double> frame(numChannels);
      for (unsigned c = 0; c < numChannels; ++c) {
        frame[c] = window.get(c, p) + previous.get(c, hop + p);
      }
      output.push_back(frame);
    }
    previous = window;
  }
  return output;
}

}  // namespace

TEST(OverwrapStreamProcessor, WidthMustBeEvenAndAtLeastTwo) {
  IdentityProcessor identity;
  for (unsigned width : {0u, 1u, 3u, 4097u}) {
    EXPECT_SPL_FAILURE_AT(OverwrapStreamProcessor(identity, 2, width), "width",
                          "spl/stream/OverwrapStreamProcessor", 12)
        << width;
  }
  OverwrapStreamProcessor smallest(identity, 2, 2);
  smallest.write(DefaultClip(2, 0));
  EXPECT_EQ(smallest.getAvailable(), 1u);
  // Zero channels is refused by the buffers before the width is looked at.
  EXPECT_SPL_FAILURE_AT(OverwrapStreamProcessor(identity, 0, 3), "assertion error",
                        "spl/stream/VectorBuffer", 21);
}

TEST(OverwrapStreamProcessor, FirstEmptyWriteProcessesOneSilentWindow) {
  RecordingProcessor recorder;
  OverwrapStreamProcessor processor(recorder, 2, 8);
  EXPECT_EQ(processor.getInputBuffer().getAvailable(), 8u);
  EXPECT_TRUE(recorder.blocks.empty());
  processor.write(DefaultClip(2, 0));
  ASSERT_EQ(recorder.blocks.size(), 1u);
  EXPECT_EQ(processor.getAvailable(), 4u);
  EXPECT_EQ(processor.getInputBuffer().getAvailable(), 4u);
  DefaultClip clip(2, 0);
  processor.read(clip, 10);
  ASSERT_EQ(clip.getLength(), 4u);  // a longer request is served short
  for (unsigned p = 0; p < 4; ++p) EXPECT_EQ(clip.get(1, p), 0.0);
}

// Width 8, blocks of 4 written and 4 read: the windows each write processes,
// the exact window contents, and the output frame by frame.
TEST(OverwrapStreamProcessor, TimelineOfWidthEight) {
  RecordingProcessor recorder;
  OverwrapStreamProcessor processor(recorder, 2, 8);
  // x[m] = m + 1 on channel 0 and -(m + 1) on channel 1.
  Frames input;
  for (unsigned m = 0; m < 16; ++m) input.push_back({m + 1.0, -(m + 1.0)});
  auto s = [&](int i) { return i < 8 ? 0.0 : input[i - 8][0]; };

  const std::vector<std::size_t> windowsAfterWrite = {2, 3, 4, 5};
  Frames output;
  DefaultClip clip(2, 0);
  for (unsigned step = 0; step < 4; ++step) {
    processor.write(toClip(input, 2, step * 4, 4));
    ASSERT_EQ(recorder.blocks.size(), windowsAfterWrite[step]);
    EXPECT_EQ(processor.getInputBuffer().getAvailable(), 4u);
    processor.read(clip, 4);
    ASSERT_EQ(clip.getLength(), 4u);
    EXPECT_EQ(processor.getAvailable(), 4u);
    append(output, clip);
  }
  // Window j covers s[4j .. 4j + 7].
  for (unsigned j = 0; j < recorder.blocks.size(); ++j) {
    for (unsigned p = 0; p < 8; ++p) {
      EXPECT_EQ(recorder.blocks[j].get(0, p), s(4 * j + p)) << "window " << j << " frame " << p;
      EXPECT_EQ(recorder.blocks[j].get(1, p), -s(4 * j + p));
    }
  }
  // An unchanged window comes out twice: silent for 8 frames, then 2 x[t - 8].
  for (unsigned t = 0; t < 16; ++t) {
    const double expected = t < 8 ? 0.0 : 2.0 * input[t - 8][0];
    EXPECT_EQ(output[t][0], expected) << t;
    EXPECT_EQ(output[t][1], -expected) << t;
  }
}

TEST(OverwrapStreamProcessor, OneLongWriteProcessesEveryCompleteWindow) {
  IdentityProcessor identity;
  OverwrapStreamProcessor processor(identity, 2, 8);
  const Frames input = makeSignal(2, 20);
  processor.write(toClip(input, 2));
  EXPECT_EQ(processor.getInputBuffer().getAvailable(), 4u);
  EXPECT_EQ(processor.getAvailable(), 24u);  // 6 windows of 4 new frames
  DefaultClip clip(2, 0);
  processor.read(clip, 20);
  EXPECT_EQ(clip.getLength(), 20u);
  EXPECT_EQ(processor.getAvailable(), 4u);
  EXPECT_EQ(clip.get(0, 12), 2.0 * input[4][0]);
}

// floor(N / hop) + 1 windows after N frames, whatever the cut, and the block
// processor always sees exactly one window of the processor's channel count.
TEST(OverwrapStreamProcessor, WindowCountAndBlockShapeForAnyCut) {
  for (unsigned numChannels : {1u, 2u}) {
    RecordingProcessor recorder;
    OverwrapStreamProcessor processor(recorder, numChannels, 16);
    std::mt19937 random(3);
    std::uniform_int_distribution<unsigned> length(0, 40);
    unsigned total = 0;
    DefaultClip clip(numChannels, 0);
    for (int step = 0; step < 200; ++step) {
      const unsigned n = length(random);
      processor.write(DefaultClip(numChannels, n));
      total += n;
      ASSERT_EQ(recorder.blocks.size(), total / 8 + 1);
      processor.read(clip, n);
      ASSERT_EQ(clip.getLength(), n);  // reading what was written is always served in full
      ASSERT_GE(processor.getAvailable(), 1u);
      ASSERT_LE(processor.getAvailable(), 8u);
    }
    for (const DefaultClip& block : recorder.blocks) {
      ASSERT_EQ(block.getLength(), 16u);
      ASSERT_EQ(block.getNumChannels(), numChannels);
    }
  }
}

TEST(OverwrapStreamProcessor, OutputDoesNotDependOnHowTheStreamIsCut) {
  const unsigned width = 16;
  const Frames input = makeSignal(2, 700, 5);
  const Frames expected = referenceOverlapAdd(input, 2, width, mixPositions);
  const std::vector<std::vector<unsigned>> cuts = {
      {1}, {700}, {8}, {16}, {17}, {3, 0, 29, 5}, randomPieces(50, 60, 11)};
  for (const auto& pieces : cuts) {
    MixingProcessor mixing;
    OverwrapStreamProcessor processor(mixing, 2, width);
    const Frames output = runInPieces(processor, input, 2, pieces);
    ASSERT_EQ(output.size(), (700 / 8 + 1) * 8u);
    // Same sums in the same order: equal to the last bit.
    EXPECT_EQ(output, expected) << "first piece " << pieces.front();
  }
}

TEST(OverwrapStreamProcessor, WriteOfAnotherWidthChangesNothing) {
  RecordingProcessor recorder;
  OverwrapStreamProcessor processor(recorder, 2, 8);
  EXPECT_SPL_FAILURE(processor.write(DefaultClip(1, 20)), "number of channels",
                     "spl/stream/VectorBuffer");
  EXPECT_TRUE(recorder.blocks.empty());
  EXPECT_EQ(processor.getInputBuffer().getAvailable(), 8u);
  EXPECT_EQ(processor.getAvailable(), 0u);
}
