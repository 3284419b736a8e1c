#include "spl/clip/ConcatClip.h"

#include "spl/util/Failure.h"

namespace spl {

ConcatClip::ConcatClip(Clip& a, Clip& b) : _a(&a), _b(&b) {
  SPL_REQUIRE(a.getNumChannels() == b.getNumChannels(), "a.getNumChannels() != b.getNumChannels()",
              "spl/clip/ConcatClip");
}

}  // namespace spl
