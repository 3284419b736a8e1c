#include "spl/clip/InterpolationClip.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/clip/InterpolationClip";
}

InterpolationClip::InterpolationClip(const Clip& clip, unsigned factor)
    : _clip(&clip), _factor(factor) {
  SPL_REQUIRE(factor != 0, "factor", kSource);
}

void InterpolationClip::assign(const Clip&) { SPL_FAIL("unsupported", kSource); }

double InterpolationClip::get(unsigned channel, unsigned position) const {
  if (position % _factor != 0) return 0.0;
  return _clip->get(channel, position / _factor);
}

void InterpolationClip::set(unsigned, unsigned, const double&) { SPL_FAIL("unsupported", kSource); }

void InterpolationClip::setLength(unsigned) { SPL_FAIL("unsupported", kSource); }

}  // namespace spl
