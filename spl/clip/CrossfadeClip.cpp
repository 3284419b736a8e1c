#include "spl/clip/CrossfadeClip.h"

#include <cmath>

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/clip/CrossfadeClip";
constexpr double kPi = 3.141592653589793;
}  // namespace

CrossfadeClip::CrossfadeClip(const Clip& a, const Clip& b) : _a(&a), _b(&b) {
  SPL_REQUIRE(!(a.getLength() < 1 || b.getLength() < 1), "a.getLength() < 1 || b.getLength() < 1",
              kSource);
  SPL_REQUIRE(a.getLength() == b.getLength(), "a.getLength() != b.getLength()", kSource);
  SPL_REQUIRE(a.getNumChannels() == b.getNumChannels(), "a.getNumChannels() != b.getNumChannels()",
              kSource);
}

double CrossfadeClip::get(unsigned channel, unsigned position) const {
  const double x = static_cast<double>(position) / static_cast<double>(getLength());
  const double fadeOut = 0.5 * (1.0 + std::cos(kPi * x));
  const double fadeIn = 0.5 * (1.0 + std::cos(kPi * (1.0 - x)));
  return fadeOut * _a->get(channel, position) + fadeIn * _b->get(channel, position);
}

}  // namespace spl
