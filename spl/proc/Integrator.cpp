#include "spl/proc/Integrator.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/proc/Integrator";
constexpr unsigned kLineDelay = 7;
}  // namespace

Integrator::Integrator(unsigned delay) {
  SPL_REQUIRE_AT(delay != 0, "assertion error", kSource, kLineDelay);
  _delayLine.reserve(delay);
  for (unsigned i = 0; i < delay; ++i) _delayLine.add(0.0);
}

double Integrator::process(double x) {
  const double y = x + _delayLine.take();
  _delayLine.add(x);
  return y;
}

}  // namespace spl
