#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "spl/stream/LengthLimitStreamSink.h"
#include "spl/stream/VectorBuffer.h"
#include "tests/support/StreamTestSupport.h"
#include "tests/support/TestClips.h"

using spl::DefaultClip;
using namespace spl_test;
using spl_test::count;

TEST(LengthLimitStreamSink, PassesOnAtMostTheLimit) {
  spl::VectorBuffer target = monoBuffer();
  spl::LengthLimitStreamSink sink(target, 5);
  sink.write(DefaultClip(1, 0));  // empty: nothing, no failure
  sink.write(count(3, 0));
  EXPECT_FALSE(sink.isFinished());
  sink.write(count(3, 10));
  EXPECT_TRUE(sink.isFinished());
  EXPECT_EQ(sink.getTotal(), 5u);
  EXPECT_EQ(sink.getLimit(), 5u);
  sink.write(count(4, 20));  // beyond the limit: dropped, no failure
  sink.write(DefaultClip(1, 0));
  EXPECT_EQ(sink.getTotal(), 5u);

  DefaultClip clip(1, 0);
  target.read(clip, 100);
  Frames passed;
  append(passed, clip);
  EXPECT_EQ(passed, (Frames{{0}, {1}, {2}, {10}, {11}}));
}

// Records the length of every write it receives.
class WriteRecorder : public spl::StreamSink {
 public:
  void write(const spl::Clip& clip) override { lengths.push_back(clip.getLength()); }
  std::vector<unsigned> lengths;
};

TEST(LengthLimitStreamSink, AfterTheLimitAClipStillReachesTheSinkAsAnEmptyWrite) {
  WriteRecorder recorder;
  spl::LengthLimitStreamSink sink(recorder, 2);
  sink.write(DefaultClip(1, 0));  // an empty clip's own write: no write at all
  sink.write(count(3, 0));
  sink.write(count(4, 10));
  EXPECT_EQ(recorder.lengths, (std::vector<unsigned>{2, 0}));
  EXPECT_EQ(sink.getTotal(), 2u);
}
