#include "spl/proc/BasicComb.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/proc/BasicComb";
// Fixed lines: they are part of the error texts.
constexpr unsigned kBeforeLine = 6;
constexpr unsigned kAfterLine = 11;
constexpr unsigned kDelayLine = 12;
}  // namespace

BasicComb::BasicComb(unsigned delay) : _delay(delay) {
  if (delay == 0) fail("assertion error", kSource, kDelayLine);
  _delayLine.reserve(delay);
  for (unsigned i = 0; i < delay; ++i) _delayLine.add(0.0);
}

double BasicComb::process(double x) {
  if (_delayLine.getCount() != _delay) fail("assertion error", kSource, kBeforeLine);
  const double y = x - _delayLine.take();
  _delayLine.add(x);
  if (_delayLine.getCount() != _delay) fail("assertion error", kSource, kAfterLine);
  return y;
}

}  // namespace spl
