#pragma once

namespace spl {

// Least-squares straight line y = slope * x + intercept through n points.
class LeastSquare {
 public:
  virtual ~LeastSquare() = default;
  // Fits the `count` pairs (x[i], y[i]). With fewer than two distinct x values
  // the line is undetermined and both results come out not finite.
  void fit(const double* x, const double* y, unsigned count);
  double getSlope() const { return _slope; }
  double getIntercept() const { return _intercept; }

 private:
  double _slope = 0.0;
  double _intercept = 0.0;
};

}  // namespace spl
