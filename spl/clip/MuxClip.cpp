#include "spl/clip/MuxClip.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/clip/MuxClip";
}

MuxClip::MuxClip(const Clip& a, const Clip& b) : _a(&a), _b(&b) {
  SPL_REQUIRE(a.getLength() == b.getLength(), "a.getLength() != b.getLength()", kSource);
  SPL_REQUIRE(a.getNumChannels() == b.getNumChannels(), "a.getNumChannels() != b.getNumChannels()",
              kSource);
}

double MuxClip::get(unsigned channel, unsigned position) const {
  switch (channel) {
    case 0:
      return _a->get(0, position);
    case 1:
      return _b->get(0, position);
    default:
      SPL_FAIL("NO arrival", kSource);
  }
}

}  // namespace spl
