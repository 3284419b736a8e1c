#pragma once

#include "spl/block/RealValueBuffer.h"
#include "spl/proc/SampleProcessor.h"

namespace spl {

// The comb stage of a cascaded integrator-comb chain, y[t] = x[t] - x[t-D],
// which also checks that its delay line keeps exactly D values.
class BasicComb : public SampleProcessor {
 public:
  // Allocates the delay line of `delay` values; delay >= 1.
  explicit BasicComb(unsigned delay);
  double process(double x) override;
  unsigned getDelay() const { return _delay; }

 private:
  RealValueBuffer _delayLine;
  unsigned _delay;
};

}  // namespace spl
