#include "spl/clip/AddClip.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/clip/AddClip";
}

AddClip::AddClip(const Clip& a, const Clip& b) : _a(&a), _b(&b) {
  SPL_REQUIRE(a.getLength() == b.getLength(), "assertion error", kSource);
  SPL_REQUIRE(a.getNumChannels() == b.getNumChannels(), "assertion error", kSource);
}

double AddClip::get(unsigned channel, unsigned position) const {
  SPL_REQUIRE(channel < _a->getNumChannels(), "assertion error", kSource);
  SPL_REQUIRE(position < _a->getLength(), "assertion error", kSource);
  return _a->get(channel, position) + _b->get(channel, position);
}

}  // namespace spl
