#pragma once

#include "spl/proc/SampleProcessor.h"

namespace spl {

// Running sum, the integrating stage of a cascaded integrator-comb chain:
// y[t] = y[t-1] + x[t], starting from 0.
class BasicIntegrator : public SampleProcessor {
 public:
  double process(double x) override {
    _sum += x;
    return _sum;
  }

 private:
  double _sum = 0.0;
};

}  // namespace spl
