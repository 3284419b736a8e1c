#include "spl/clip/DemuxClip.h"

#include "spl/util/Failure.h"

namespace spl {

DemuxClip::DemuxClip(const Clip& a, unsigned channel) : _a(&a), _channel(channel) {
  SPL_REQUIRE(_a->getNumChannels() == 2, "_a->getNumChannels() != 2", "spl/clip/DemuxClip");
}

}  // namespace spl
