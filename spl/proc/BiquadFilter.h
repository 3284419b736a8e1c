#pragma once

#include "spl/proc/SampleProcessor.h"

namespace spl {

// Second-order recursive filter in direct form I. A new filter has all
// feed-forward coefficients at zero and so outputs silence until
// setCoefficient is called.
class BiquadFilter : public SampleProcessor {
 public:
  // The six coefficients of the transfer function
  // (b0 + b1 z^-1 + b2 z^-2) / (a0 + a1 z^-1 + a2 z^-2); a0 normalises the rest.
  class Coefficient {
   public:
    Coefficient() = default;
    Coefficient(double a0_, double a1_, double a2_, double b0_, double b1_, double b2_)
        : a0(a0_), a1(a1_), a2(a2_), b0(b0_), b1(b1_), b2(b2_) {}
    virtual ~Coefficient() = default;
    Coefficient(const Coefficient&) = default;
    Coefficient& operator=(const Coefficient&) = default;

    double a0 = 1.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double b0 = 0.0;
    double b1 = 0.0;
    double b2 = 0.0;
  };

  double process(double x) override;
  // Takes new coefficients; the histories carry over, so a filter can be
  // retuned while it runs.
  void setCoefficient(const Coefficient& coefficient) { _coefficient = coefficient; }
  const Coefficient& getCoefficient() const { return _coefficient; }

 private:
  Coefficient _coefficient;
  double _x[3] = {0.0, 0.0, 0.0};  // x[n], x[n-1], x[n-2]
  double _y[3] = {0.0, 0.0, 0.0};  // y[n], y[n-1], y[n-2]
};

}  // namespace spl
