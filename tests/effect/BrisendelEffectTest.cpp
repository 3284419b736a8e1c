// The effect without a host: plain values, blocks longer than any reservation,
// and reset. Names, texts and the sound through a host are HostTest's.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "effect/BrisendelEffect.h"
#include "spl/util/Util.h"

namespace {

struct Stereo {
  explicit Stereo(std::size_t frames, unsigned seed = 7) : left(frames), right(frames) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> uniform(-0.5, 0.5);
    for (std::size_t i = 0; i < frames; ++i) {
      left[i] = uniform(generator);
      right[i] = 0.3 * left[i] + uniform(generator);
    }
  }
  // Processes frames [from, from + frames) in place, or into `into`.
  void process(BrisendelEffect& effect, std::size_t from, unsigned frames, Stereo* into = nullptr) {
    Stereo& out = into != nullptr ? *into : *this;
    const double* in[2] = {left.data() + from, right.data() + from};
    double* channels[2] = {out.left.data() + from, out.right.data() + from};
    effect.process(in, channels, frames);
  }
  std::vector<double> left, right;
};

TEST(BrisendelEffect, PlainValuesSelectTheNearestStepWithinRange) {
  BrisendelEffect effect;
  effect.setPlainValue(BrisendelEffect::kCenter, 49.6);
  EXPECT_EQ(effect.getNormalized(BrisendelEffect::kCenter), spl::indexToNormalized(50, 201));
  EXPECT_EQ(effect.displayText(BrisendelEffect::kCenter), "50");
  effect.setPlainValue(BrisendelEffect::kSide, 250.0);
  EXPECT_EQ(effect.getPlainValue(BrisendelEffect::kSide), 200.0);
  effect.setPlainValue(BrisendelEffect::kSide, -3.0);
  EXPECT_EQ(effect.displayText(BrisendelEffect::kSide), "0");

  effect.setPlainValue(BrisendelEffect::kQuality, 0.0);
  EXPECT_EQ(effect.getPlainValue(BrisendelEffect::kQuality), 1.0);
  effect.setPlainValue(BrisendelEffect::kQuality, 9.4);
  EXPECT_EQ(effect.displayText(BrisendelEffect::kQuality), "9");
  effect.setPlainValue(BrisendelEffect::kQuality, 5.0);
  EXPECT_EQ(effect.getNormalized(BrisendelEffect::kQuality), 4.5 / 9.0);
  effect.setPlainValue(BrisendelEffect::kAutoGain, 0.0);
  EXPECT_EQ(effect.displayText(BrisendelEffect::kAutoGain), "Disabled");
  effect.setPlainValue(BrisendelEffect::kWindow, 0.2);
  EXPECT_EQ(effect.displayText(BrisendelEffect::kWindow), "A");

  effect.setPlainValue(BrisendelEffect::kWindow, std::nan(""));
  effect.setPlainValue(7, 1.0);
  EXPECT_EQ(effect.getPlainValue(BrisendelEffect::kWindow), 0.0);
  EXPECT_EQ(effect.getPlainValue(7), 0.0);
  EXPECT_EQ(effect.displayText(-1), "");
}

// A block past the reservation, even past the largest one, comes out as the
// same stream as many small blocks, in place or not; reserving an absurd
// length is capped.
TEST(BrisendelEffect, BlocksLongerThanTheReservationGiveTheSameStream) {
  constexpr unsigned kFrames = BrisendelEffect::MAX_RESERVED_FRAMES + 5000;
  Stereo input(kFrames);
  Stereo small = input, whole(kFrames), capped = input;

  BrisendelEffect reference;
  for (std::size_t at = 0; at < kFrames; at += 1000) {
    small.process(reference, at, static_cast<unsigned>(std::min<std::size_t>(1000, kFrames - at)));
  }
  BrisendelEffect unannounced;
  input.process(unannounced, 0, kFrames, &whole);
  EXPECT_EQ(unannounced.getReservedFrames(), BrisendelEffect::RESERVED_FRAMES);
  BrisendelEffect announced;
  announced.reserve(1u << 30);
  EXPECT_EQ(announced.getReservedFrames(), BrisendelEffect::MAX_RESERVED_FRAMES);
  capped.process(announced, 0, kFrames);

  EXPECT_EQ(whole.left, small.left);
  EXPECT_EQ(whole.right, small.right);
  EXPECT_EQ(capped.left, small.left);
  EXPECT_EQ(capped.right, small.right);
}

TEST(BrisendelEffect, ResetMakesItSoundLikeAFreshOne) {
  constexpr unsigned kFrames = 3 * BrisendelEffect::WINDOW_LENGTH + 123;
  Stereo history(kFrames, 1), afterReset(kFrames, 2);
  Stereo fresh = afterReset;
  BrisendelEffect used;
  used.setPlainValue(BrisendelEffect::kCenter, 40.0);
  BrisendelEffect reference;
  reference.setPlainValue(BrisendelEffect::kCenter, 40.0);
  history.process(used, 0, kFrames);
  used.reset();
  afterReset.process(used, 0, kFrames);
  fresh.process(reference, 0, kFrames);
  EXPECT_EQ(afterReset.left, fresh.left);
  EXPECT_EQ(afterReset.right, fresh.right);
}

}  // namespace
