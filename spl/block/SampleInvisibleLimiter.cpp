#include "spl/block/SampleInvisibleLimiter.h"

#include <algorithm>
#include <cmath>

#include "spl/util/Util.h"

namespace spl {

SampleInvisibleLimiter::SampleInvisibleLimiter(unsigned delay, std::uint32_t seed) : _random(seed) {
  _inputFactor = decibelToLinear(_inputGain);
  // The two queues together never hold more than delay + 1 samples.
  _pending.reserve(std::size_t(delay) + 2);
  _output.reserve(std::size_t(delay) + 2);
  for (unsigned i = 0; i < delay; ++i) _output.add(noise());
}

double SampleInvisibleLimiter::noise() { return _random.next() / 32767.0 * 1e-10; }

double SampleInvisibleLimiter::process(double x) {
  const double y = _inputFactor * x + noise();
  const double p1 = _previousSample;
  const double p2 = _sampleBefore;
  if ((y - p1) * (p1 - p2) < 0.0 && p1 * (p1 - p2) > 0.0) {
    const double level = linearToDecibel(std::fabs(p1));
    const double gainFrom = std::min(0.0, _threshold - _lastPeakLevel);
    const double gainTo = std::min(0.0, _threshold - level);
    const std::size_t count = _pending.getCount();
    for (std::size_t i = 0; i < count; ++i) {
      const double h = double(i) / double(count);
      _output.add(decibelToLinear(gainFrom * (1.0 - h) + gainTo * h) * _pending.take());
    }
    _lastPeakLevel = level;
  }
  _pending.add(p1);
  _sampleBefore = p1;
  _previousSample = y;
  // Peaks further apart than the delay: the oldest sample must leave before
  // its gain is known, and leaves as it is.
  if (_output.isEmpty()) _output.add(_pending.take());
  return _output.take();
}

}  // namespace spl
