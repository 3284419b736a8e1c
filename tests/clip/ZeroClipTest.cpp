#include <gtest/gtest.h>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"

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

TEST(ZeroClip, IsSilenceThatOnlyChangesItsLength) {
  ZeroClip zero(2, 4);
  zero.set(0, 0, 1.0);
  EXPECT_EQ(zero.get(0, 0), 0.0);
  EXPECT_EQ(zero.get(7, 1000), 0.0);
  DefaultClip other(1, 9);
  zero.assign(other);
  EXPECT_EQ(zero.getNumChannels(), 2u);
  EXPECT_EQ(zero.getLength(), 4u);
  zero.setLength(10);
  EXPECT_EQ(zero.getLength(), 10u);
  EXPECT_EQ(zero.toString(), "ZeroClip");
}

}  // namespace
