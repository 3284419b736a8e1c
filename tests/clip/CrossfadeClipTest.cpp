#include "spl/clip/CrossfadeClip.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"
#include "spl/util/Failure.h"

namespace {

using spl::CrossfadeClip;
using spl::DefaultClip;

DefaultClip filled(unsigned channels, unsigned length, double value) {
  DefaultClip clip(channels, length);
  for (unsigned p = 0; p < length; ++p)
    for (unsigned c = 0; c < channels; ++c) clip.set(c, p, value);
  return clip;
}

std::string messageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "<no failure>";
}

TEST(CrossfadeClip, WeightsOfBothClipsAtLengthFour) {
  const DefaultClip ones = filled(2, 4, 1.0);
  const spl::ZeroClip zeros(2, 4);
  const CrossfadeClip fadeOut(ones, zeros);
  const CrossfadeClip fadeIn(zeros, ones);
  const double weightA[] = {1.0, 0.8535533906, 0.5, 0.1464466094};
  ASSERT_EQ(fadeOut.getLength(), 4u);
  ASSERT_EQ(fadeOut.getNumChannels(), 2u);
  for (unsigned p = 0; p < 4; ++p) {
    for (unsigned c = 0; c < 2; ++c) {
      EXPECT_NEAR(fadeOut.get(c, p), weightA[p], 1e-10) << p;
      EXPECT_NEAR(fadeIn.get(c, p), 1.0 - weightA[p], 1e-10) << p;
    }
  }
  // The two weights are complementary, so equal inputs pass through unchanged.
  const DefaultClip twos = filled(2, 4, 2.0);
  const CrossfadeClip same(twos, twos);
  for (unsigned p = 0; p < 4; ++p) EXPECT_NEAR(same.get(1, p), 2.0, 1e-15);
  EXPECT_EQ(fadeOut.toString(), "CrossfadeClip");
}

TEST(CrossfadeClip, ConstructorRejectsEmptyOrMismatchedClips) {
  const DefaultClip a(2, 4);
  const DefaultClip empty(2, 0);
  const DefaultClip shorter(2, 3);
  const DefaultClip mono(1, 4);
  const std::string at = " (at spl/clip/CrossfadeClip, ";
  EXPECT_EQ(messageOf([&] { CrossfadeClip(empty, empty); }).rfind(
                "a.getLength() < 1 || b.getLength() < 1" + at, 0),
            0u);
  EXPECT_EQ(messageOf([&] { CrossfadeClip(a, empty); }).rfind(
                "a.getLength() < 1 || b.getLength() < 1" + at, 0),
            0u);
  EXPECT_EQ(messageOf([&] { CrossfadeClip(a, shorter); }).rfind("a.getLength() != b.getLength()" + at, 0),
            0u);
  EXPECT_EQ(messageOf([&] { CrossfadeClip(a, mono); })
                .rfind("a.getNumChannels() != b.getNumChannels()" + at, 0),
            0u);
}

TEST(CrossfadeClip, WriteOperationsAreUnsupported) {
  DefaultClip a(1, 2);
  CrossfadeClip view(a, a);
  EXPECT_THROW(view.set(0, 0, 1.0), std::runtime_error);
  EXPECT_THROW(view.setLength(1), std::runtime_error);
  EXPECT_THROW(view.assign(a), std::runtime_error);
  // Range failures come from the wrapped clips.
  EXPECT_THROW(view.get(0, 2), std::runtime_error);
}

}  // namespace
