#include "spl/clip/MiddleSideClip.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/clip/MiddleSideClip";
constexpr double kSqrt2 = 1.4142135623730951;
}  // namespace

MiddleSideClip::MiddleSideClip(const Clip& a) : _a(&a) {
  SPL_REQUIRE(_a->getNumChannels() == 2, "_a->getNumChannels() != 2", kSource);
}

double MiddleSideClip::get(unsigned channel, unsigned position) const {
  const double l = _a->get(0, position);
  const double r = _a->get(1, position);
  switch (channel) {
    case 0:
      return (l + r) / kSqrt2;
    case 1:
      return (l - r) / kSqrt2;
    default:
      SPL_FAIL("no arrival", kSource);
  }
}

}  // namespace spl
