#include "spl/proc/LeastSquare.h"

namespace spl {

void LeastSquare::fit(const double* x, const double* y, unsigned count) {
  // The sums run in extended precision so that long runs of points lose less
  // to rounding; the results are then taken as doubles.
  long double sx = 0.0L, sy = 0.0L, sxy = 0.0L, sxx = 0.0L;
  for (unsigned i = 0; i < count; ++i) {
    const long double xi = x[i];
    const long double yi = y[i];
    sx += xi;
    sy += yi;
    sxy += xi * yi;
    sxx += xi * xi;
  }
  const double Sx = static_cast<double>(sx);
  const double Sy = static_cast<double>(sy);
  const double Sxy = static_cast<double>(sxy);
  const double Sxx = static_cast<double>(sxx);
  const double n = count;
  const double d = n * Sxx - Sx * Sx;
  _slope = (n * Sxy - Sx * Sy) / d;
  _intercept = (Sy * Sxx - Sx * Sxy) / d;
}

}  // namespace spl
