#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/RangedClip.h"
#include "spl/clip/ZeroClip.h"
#include "spl/stream/VectorBuffer.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/StreamTestSupport.h"

using spl::DefaultClip;
using spl::VectorBuffer;

namespace {

VectorBuffer makeBuffer(unsigned numChannels) {
  VectorBuffer buffer;
  buffer.setNumChannels(numChannels);
  return buffer;
}

// Channel 0 = base + 0, base + 1, ...; channel 1 = the same plus 100.
DefaultClip ramp(unsigned length, double base) {
  DefaultClip clip(2, length);
  for (unsigned p = 0; p < length; ++p) {
    clip.set(0, p, base + p);
    clip.set(1, p, base + p + 100);
  }
  return clip;
}

}  // namespace

TEST(VectorBuffer, ReadsFramesInWriteOrderAndNeverPads) {
  VectorBuffer buffer = makeBuffer(2);
  buffer.write(ramp(3, 0));
  EXPECT_EQ(buffer.getAvailable(), 3u);

  DefaultClip clip(2, 0);
  buffer.read(clip, 2);
  ASSERT_EQ(clip.getLength(), 2u);
  EXPECT_EQ(clip.get(0, 0), 0);
  EXPECT_EQ(clip.get(1, 0), 100);
  EXPECT_EQ(clip.get(0, 1), 1);
  EXPECT_EQ(clip.get(1, 1), 101);
  EXPECT_EQ(buffer.getAvailable(), 1u);

  buffer.read(clip, 10);
  ASSERT_EQ(clip.getLength(), 1u);
  EXPECT_EQ(clip.get(1, 0), 102);
  buffer.read(clip, 10);
  EXPECT_EQ(clip.getLength(), 0u);
}

TEST(VectorBuffer, UnreadFramesComeBackFirstInTheirOrder) {
  VectorBuffer buffer = makeBuffer(2);
  buffer.write(ramp(2, 10));
  buffer.unread(ramp(2, 50));
  EXPECT_EQ(buffer.getAvailable(), 4u);
  DefaultClip clip(2, 0);
  buffer.read(clip, 3);
  ASSERT_EQ(clip.getLength(), 3u);
  EXPECT_EQ(clip.get(0, 0), 50);
  EXPECT_EQ(clip.get(0, 1), 51);
  EXPECT_EQ(clip.get(0, 2), 10);
  EXPECT_EQ(clip.get(1, 2), 110);
}

TEST(VectorBuffer, EmptyWritesAndClear) {
  VectorBuffer buffer = makeBuffer(2);
  buffer.write(DefaultClip(2, 0));
  buffer.unread(DefaultClip(2, 0));
  EXPECT_EQ(buffer.getAvailable(), 0u);
  buffer.write(ramp(5, 0));
  EXPECT_EQ(buffer.clear(), 0u);
  EXPECT_EQ(buffer.getAvailable(), 0u);
  buffer.write(ramp(1, 7));
  DefaultClip clip(2, 0);
  buffer.read(clip, 4);
  ASSERT_EQ(clip.getLength(), 1u);
  EXPECT_EQ(clip.get(0, 0), 7);
}

TEST(VectorBuffer, ZeroChannelsIsRejected) {
  VectorBuffer buffer = makeBuffer(2);
  EXPECT_SPL_FAILURE_AT(buffer.setNumChannels(0), "assertion error", "spl/stream/VectorBuffer", 21);
  EXPECT_EQ(buffer.getNumChannels(), 2u);
}

TEST(VectorBuffer, ClipOfAnotherWidthIsRejectedBeforeAnyFrameMoves) {
  VectorBuffer buffer = makeBuffer(2);
  buffer.write(ramp(3, 0));
  DefaultClip mono(1, 4);
  DefaultClip monoTarget(1, 0);
  for (auto action : std::vector<std::function<void()>>{
           [&] { buffer.write(mono); }, [&] { buffer.unread(mono); },
           [&] { buffer.read(monoTarget, 2); }, [&] { buffer.write(DefaultClip(1, 0)); }}) {
    EXPECT_SPL_FAILURE(action(), "number of channels", "spl/stream/VectorBuffer");
  }
  EXPECT_EQ(monoTarget.getLength(), 0u);
  DefaultClip clip(2, 0);
  buffer.read(clip, 10);
  ASSERT_EQ(clip.getLength(), 3u);
  EXPECT_EQ(clip.get(0, 2), 2);
}

TEST(VectorBuffer, FailingTargetOrSourceClipLeavesTheFrames) {
  VectorBuffer buffer = makeBuffer(2);
  buffer.write(ramp(3, 0));
  DefaultClip backing(2, 4);
  spl::RangedClip view(backing, 0, 4);
  EXPECT_SPL_FAILURE(buffer.read(view, 2), "unsupported", "spl/clip/ClipAdapter");
  EXPECT_EQ(buffer.getAvailable(), 3u);

  // A view whose wrapped clip shrank fails half-way through the copy.
  DefaultClip shrinking = ramp(4, 20);
  spl::RangedClip stale(shrinking, 0, 4);
  shrinking.setLength(2);
  EXPECT_SPL_FAILURE(buffer.write(stale), "assertion error", "spl/clip/RangedClip");
  EXPECT_SPL_FAILURE(buffer.unread(stale), "assertion error", "spl/clip/RangedClip");
  EXPECT_EQ(buffer.getAvailable(), 3u);
  DefaultClip clip(2, 0);
  buffer.read(clip, 10);
  ASSERT_EQ(clip.getLength(), 3u);
  EXPECT_EQ(clip.get(0, 0), 0);
  EXPECT_EQ(clip.get(1, 2), 102);
}

// Random writes (owning clips, silence and views), unreads, reads and peeks
// against a plain double-ended queue, long enough that the ring wraps around
// and grows many times, at both widths an owning clip can have.
TEST(VectorBuffer, BehavesAsAQueueOfFramesUnderWrapAroundAndGrowth) {
  for (unsigned width : {1u, 2u}) {
    SCOPED_TRACE(width);
    VectorBuffer buffer = makeBuffer(width);
    std::deque<std::vector<double>> model;
    std::mt19937 random(7);
    std::uniform_int_distribution<unsigned> operation(0, 5);
    std::uniform_int_distribution<unsigned> length(0, 300);
    double next = 0;
    // Frame p of a clip made at `base`: channel c holds base + p + 1000 c.
    const auto frames = [&](unsigned n, double base) {
      DefaultClip clip(width, n);
      for (unsigned p = 0; p < n; ++p)
        for (unsigned c = 0; c < width; ++c) clip.set(c, p, base + p + 1000.0 * c);
      return clip;
    };
    const auto frameOf = [&](double base, unsigned p) {
      std::vector<double> frame(width);
      for (unsigned c = 0; c < width; ++c) frame[c] = base + p + 1000.0 * c;
      return frame;
    };
    DefaultClip clip(width, 0);
    for (int step = 0; step < 3000; ++step) {
      const unsigned n = length(random);
      switch (operation(random)) {
        case 0: {
          buffer.write(frames(n, next));
          for (unsigned p = 0; p < n; ++p) model.push_back(frameOf(next, p));
          next += n;
          break;
        }
        case 1: {
          buffer.write(spl::ZeroClip(width, n / 8));
          for (unsigned p = 0; p < n / 8; ++p) model.push_back(std::vector<double>(width, 0.0));
          break;
        }
        case 2: {
          // A view goes through the clip's own accessors.
          DefaultClip whole = frames(n + 2, next);
          buffer.write(spl::RangedClip(whole, 1, n));
          for (unsigned p = 0; p < n; ++p) model.push_back(frameOf(next, p + 1));
          next += n + 2;
          break;
        }
        case 3: {
          const unsigned small = n / 4;
          buffer.unread(frames(small, next));
          for (unsigned p = small; p-- > 0;) model.push_front(frameOf(next, p));
          next += small;
          break;
        }
        default: {
          const bool keep = step % 2 == 0;
          const unsigned got =
              keep ? buffer.peek(clip, n) : (buffer.read(clip, n), clip.getLength());
          const unsigned expected = std::min<std::size_t>(n, model.size());
          ASSERT_EQ(clip.getLength(), expected);
          ASSERT_EQ(got, expected);
          for (unsigned p = 0; p < expected; ++p)
            for (unsigned c = 0; c < width; ++c) ASSERT_EQ(clip.get(c, p), model[p][c]);
          if (keep) buffer.discard(n / 2);
          const unsigned taken = keep ? std::min<std::size_t>(n / 2, model.size()) : expected;
          model.erase(model.begin(), model.begin() + taken);
        }
      }
      ASSERT_EQ(buffer.getAvailable(), model.size());
    }
  }
}

TEST(VectorBuffer, ReservedCapacityIsKeptAndZeroClipsCountAsSilence) {
  VectorBuffer buffer = makeBuffer(2);
  buffer.reserve(1000);
  EXPECT_GE(buffer.getCapacity(), 1000u);
  buffer.write(spl::ZeroClip(2, 5));
  DefaultClip clip = ramp(5, 1);
  buffer.read(clip, 5);
  ASSERT_EQ(clip.getLength(), 5u);
  EXPECT_EQ(clip.get(1, 4), 0.0);
}
