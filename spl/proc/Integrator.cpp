#include "spl/proc/Integrator.h"

#include "spl/util/Failure.h"

namespace spl {

Integrator::Integrator(unsigned delay) {
  if (delay == 0) fail("assertion error", "spl/proc/Integrator", 7);
  _delayLine.reserve(delay);
  for (unsigned i = 0; i < delay; ++i) _delayLine.add(0.0);
}

double Integrator::process(double x) {
  const double y = x + _delayLine.take();
  _delayLine.add(x);
  return y;
}

}  // namespace spl
