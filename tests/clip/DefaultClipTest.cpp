#include <gtest/gtest.h>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/RangedClip.h"
#include "spl/clip/ZeroClip.h"
#include "tests/support/FailureCheck.h"

namespace {

using spl::DefaultClip;
using spl::ZeroClip;

constexpr const char* kSource = "spl/clip/DefaultClip";

// A clip that counts how often its virtual get and set are called.
class CountingClip : public DefaultClip {
 public:
  using DefaultClip::DefaultClip;
  double get(unsigned channel, unsigned position) const override {
    ++gets;
    return DefaultClip::get(channel, position);
  }
  void set(unsigned channel, unsigned position, const double& value) override {
    ++sets;
    DefaultClip::set(channel, position, value);
  }
  mutable unsigned gets = 0;
  unsigned sets = 0;
};

// Sample (c, p) = 100 c + p + 1, distinct everywhere and never 0.
void fillRamp(spl::Clip& clip) {
  for (unsigned p = 0; p < clip.getLength(); ++p)
    for (unsigned c = 0; c < clip.getNumChannels(); ++c) clip.set(c, p, 100.0 * c + p + 1);
}

void expectRamp(const spl::Clip& clip) {
  for (unsigned p = 0; p < clip.getLength(); ++p)
    for (unsigned c = 0; c < clip.getNumChannels(); ++c)
      EXPECT_EQ(clip.get(c, p), 100.0 * c + p + 1) << c << "," << p;
}

TEST(DefaultClip, SizedClipStartsSilentAndKeepsWhatIsSet) {
  DefaultClip clip(2, 1024);
  EXPECT_EQ(clip.getNumChannels(), 2u);
  EXPECT_EQ(clip.getLength(), 1024u);
  EXPECT_EQ(clip.toString(), "Clip [channels=2, length=1024]");
  EXPECT_EQ(clip.get(1, 1023), 0.0);
  fillRamp(clip);
  expectRamp(clip);
  // Channel after channel in one array.
  EXPECT_EQ(clip.channelData(1)[5], 106.0);
}

TEST(DefaultClip, RangeFailuresNameWhatIsWrongAndChangeNothing) {
  DefaultClip empty(2, 0);
  EXPECT_EQ(empty.getLength(), 0u);
  EXPECT_EQ(empty.toString(), "Clip [channels=2, length=0]");
  EXPECT_SPL_FAILURE(empty.get(0, 0), "assertion error", kSource);

  DefaultClip clip(2, 8);
  fillRamp(clip);
  EXPECT_SPL_FAILURE(clip.get(2, 0), "assertion error", kSource);
  EXPECT_SPL_FAILURE(clip.get(0, 8), "assertion error", kSource);
  EXPECT_SPL_FAILURE(clip.set(2, 0, 9.0), "channel", kSource);
  EXPECT_SPL_FAILURE(clip.set(0, 8, 9.0), "position", kSource);
  // The channel is tested before the position.
  EXPECT_SPL_FAILURE(clip.set(5, 100, 9.0), "channel", kSource);
  EXPECT_SPL_FAILURE(clip.setLength(DefaultClip::MAX_LENGTH + 1), "length", kSource);
  EXPECT_EQ(clip.getLength(), 8u);
  expectRamp(clip);
}

TEST(DefaultClip, SetLengthClearsEverySample) {
  DefaultClip clip(2, 8);
  clip.set(0, 3, 1.5);
  clip.setLength(clip.getLength());
  EXPECT_EQ(clip.get(0, 3), 0.0);

  fillRamp(clip);
  clip.setLength(4);
  EXPECT_EQ(clip.getNumChannels(), 2u);
  EXPECT_EQ(clip.getLength(), 4u);
  for (unsigned p = 0; p < 4; ++p) EXPECT_EQ(clip.get(1, p), 0.0);

  clip.setLength(DefaultClip::MAX_LENGTH);
  EXPECT_EQ(clip.getLength(), DefaultClip::MAX_LENGTH);
  EXPECT_EQ(clip.get(1, DefaultClip::MAX_LENGTH - 1), 0.0);
}

TEST(DefaultClipDeathTest, SizedConstructorStopsTheProcessOnBadSizes) {
  // The assertion stays active in every build type, Release included.
  // The pattern avoids brackets: Windows builds of GoogleTest match simple expressions only.
  EXPECT_DEATH(DefaultClip(0, 4), "DefaultClip\\.cpp:.+: .*1 <= channel");
  EXPECT_DEATH(DefaultClip(3, 4), "channel <= MAX_CHANNEL");
  EXPECT_DEATH(DefaultClip(1, DefaultClip::MAX_LENGTH + 1), "length <= MAX_LENGTH");
}

TEST(DefaultClip, AssignCopiesThroughTheSourcesVirtualGet) {
  CountingClip source(2, 5);
  fillRamp(source);
  DefaultClip copy(1, 1);
  copy.assign(source);
  EXPECT_EQ(source.gets, 10u);
  EXPECT_EQ(copy.getNumChannels(), 2u);
  EXPECT_EQ(copy.getLength(), 5u);
  expectRamp(copy);

  // The copy constructor takes the same road.
  source.gets = 0;
  const DefaultClip constructed(source);
  EXPECT_EQ(source.gets, 10u);
  expectRamp(constructed);

  // ...and stores through the target's own virtual set.
  CountingClip target(1, 3);
  target.assign(source);
  EXPECT_EQ(target.sets, 10u);
  expectRamp(target);
}

TEST(DefaultClip, AssignTakesAnyClipWithChannels) {
  // A view source: only the window is copied.
  DefaultClip whole(2, 10);
  fillRamp(whole);
  spl::RangedClip window(whole, 2, 3);
  DefaultClip part(window);
  ASSERT_EQ(part.getLength(), 3u);
  EXPECT_EQ(part.get(1, 0), 103.0);

  // Silence of any size, and more channels than the sized constructor allows.
  const DefaultClip silent(ZeroClip(2, 16));
  EXPECT_EQ(silent.toString(), "Clip [channels=2, length=16]");
  EXPECT_EQ(silent.get(1, 15), 0.0);
  DefaultClip wide(1, 1);
  wide.assign(ZeroClip(3, 4));
  EXPECT_EQ(wide.getNumChannels(), 3u);
  EXPECT_EQ(wide.getLength(), 4u);

  // Assigning a clip to itself keeps it.
  whole.assign(whole);
  expectRamp(whole);
}

TEST(DefaultClip, AssignFromAClipWithoutChannelsIsRejected) {
  DefaultClip clip(2, 6);
  fillRamp(clip);
  EXPECT_SPL_FAILURE(clip.assign(ZeroClip(0, 5)), "channel", kSource);
  EXPECT_EQ(clip.getNumChannels(), 2u);
  EXPECT_EQ(clip.getLength(), 6u);
  expectRamp(clip);
}

}  // namespace
