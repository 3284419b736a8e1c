#include "spl/proc/BiquadFilter.h"

namespace spl {

double BiquadFilter::process(double x) {
  _x[2] = _x[1];
  _x[1] = _x[0];
  _x[0] = x;
  _y[2] = _y[1];
  _y[1] = _y[0];
  const Coefficient& c = _coefficient;
  const double y = (c.b0 / c.a0) * _x[0] + (c.b1 / c.a0) * _x[1] + (c.b2 / c.a0) * _x[2] -
                   (c.a1 / c.a0) * _y[1] - (c.a2 / c.a0) * _y[2];
  _y[0] = y;
  return y;
}

}  // namespace spl
