#include "spl/clip/RangedClip.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/clip/RangedClip";
}

RangedClip::RangedClip(Clip& clip, unsigned begin, unsigned length) : DelegationClip(&clip) {
  SPL_REQUIRE(begin < clip.getLength(), "begin", kSource);
  // Compared in 64 bits so that a huge length cannot wrap around.
  SPL_REQUIRE(static_cast<unsigned long long>(begin) + length <= clip.getLength(), "length",
              kSource);
  _begin = begin;
  _length = length;
}

double RangedClip::get(unsigned channel, unsigned position) const {
  SPL_REQUIRE(static_cast<unsigned long long>(_begin) + position < _clip->getLength(),
              "assertion error", kSource);
  return _clip->get(channel, _begin + position);
}

void RangedClip::set(unsigned channel, unsigned position, const double& value) {
  SPL_REQUIRE(static_cast<unsigned long long>(_begin) + position < _clip->getLength(),
              "assertion error", kSource);
  _clip->set(channel, _begin + position, value);
}

}  // namespace spl
