#include "spl/block/InvisibleLimiter2.h"

#include "spl/util/Failure.h"

namespace spl {

InvisibleLimiter2::InvisibleLimiter2(unsigned numChannels) {
  _limiters.reserve(numChannels);
  // A seed per channel keeps the channels' noise uncorrelated.
  for (unsigned c = 0; c < numChannels; ++c) _limiters.emplace_back(DELAY, c + 1);
}

void InvisibleLimiter2::process(Clip& clip) {
  // A channel without its own limiter would index past the list.
  SPL_REQUIRE(clip.getNumChannels() <= _limiters.size(), "channel", "spl/block/InvisibleLimiter2");
  const unsigned channels = clip.getNumChannels();
  for (unsigned p = 0; p < clip.getLength(); ++p) {
    for (unsigned c = 0; c < channels; ++c) clip.set(c, p, _limiters[c].process(clip.get(c, p)));
  }
}

}  // namespace spl
