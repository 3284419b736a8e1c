#include "spl/stream/RMSProbe.h"

#include <cmath>

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/stream/RMSProbe";
}

RMSProbe::RMSProbe(unsigned numChannels) : _sums(numChannels, 0.0), _counts(numChannels, 0.0) {}

void RMSProbe::write(const Clip& clip) {
  // The sums exist only for the probe's channels; a wider clip would be
  // accumulated outside them.
  SPL_REQUIRE(clip.getNumChannels() <= _sums.size(), "channel", kSource);
  for (unsigned i = 0; i < clip.getLength(); ++i) {
    for (unsigned c = 0; c < clip.getNumChannels(); ++c) {
      const double x = clip.get(c, i);
      _sums[c] += x * x;
      _counts[c] += 1.0;
    }
  }
}

double RMSProbe::getRMS(unsigned channel) const {
  SPL_REQUIRE(channel < _sums.size(), "channel", kSource);
  return std::sqrt(_sums[channel] / _counts[channel]);
}

}  // namespace spl
