#pragma once

namespace spl {

// The largest of a sequence of values; -1e38 before the first value.
class PeakCounter {
 public:
  static constexpr double INITIAL_PEAK = -1.0e38;

  PeakCounter() = default;
  virtual ~PeakCounter() = default;

  void add(double x) {
    if (x > _peak) _peak = x;
  }
  double getPeak() const { return _peak; }

 private:
  double _peak = INITIAL_PEAK;
};

}  // namespace spl
