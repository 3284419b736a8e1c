#include "spl/proc/BasicComb.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/proc/BasicComb";
constexpr unsigned kLineBefore = 6;
constexpr unsigned kLineAfter = 11;
constexpr unsigned kLineDelay = 12;
}  // namespace

BasicComb::BasicComb(unsigned delay) : _delay(delay) {
  SPL_REQUIRE_AT(delay != 0, "assertion error", kSource, kLineDelay);
  _delayLine.reserve(delay);
  for (unsigned i = 0; i < delay; ++i) _delayLine.add(0.0);
}

double BasicComb::process(double x) {
  SPL_REQUIRE_AT(_delayLine.getCount() == _delay, "assertion error", kSource, kLineBefore);
  const double y = x - _delayLine.take();
  _delayLine.add(x);
  SPL_REQUIRE_AT(_delayLine.getCount() == _delay, "assertion error", kSource, kLineAfter);
  return y;
}

}  // namespace spl
