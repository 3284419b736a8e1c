#pragma once

#include "spl/proc/SampleProcessor.h"

namespace spl {

// First difference: y[t] = x[t] - x[t-1], with x[-1] = 0.
class Derivation : public SampleProcessor {
 public:
  double process(double x) override {
    const double y = x - _previous;
    _previous = x;
    return y;
  }

 private:
  double _previous = 0.0;
};

}  // namespace spl
