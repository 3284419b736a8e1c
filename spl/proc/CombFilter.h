#pragma once

#include "spl/block/RealValueBuffer.h"
#include "spl/proc/SampleProcessor.h"

namespace spl {

// Delayed difference y[t] = x[t] - x[t-D] (not recursive; inputs before the
// first are 0). D >= 1 samples.
class CombFilter : public SampleProcessor {
 public:
  // Allocates the delay line of `delay` values.
  explicit CombFilter(unsigned delay);
  double process(double x) override;

 private:
  RealValueBuffer _delayLine;
};

}  // namespace spl
