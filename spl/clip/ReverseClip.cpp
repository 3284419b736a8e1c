#include "spl/clip/ReverseClip.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/clip/ReverseClip";
}

double ReverseClip::get(unsigned channel, unsigned position) const {
  const unsigned length = _clip->getLength();
  SPL_REQUIRE(position < length, "position", kSource);
  return _clip->get(channel, length - position - 1);
}

void ReverseClip::set(unsigned channel, unsigned position, const double& value) {
  const unsigned length = _clip->getLength();
  SPL_REQUIRE(position < length, "position", kSource);
  _clip->set(channel, length - position - 1, value);
}

}  // namespace spl
