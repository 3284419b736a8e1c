#pragma once

namespace spl {

// Sum and mean of a sequence of values, one value at a time. Asking for either
// before the first value stops the process (a caller's error).
class AverageCounter {
 public:
  AverageCounter() = default;
  virtual ~AverageCounter() = default;

  void add(double x) {
    _sum += x;
    _num += 1.0;
  }
  double getAverage() const;
  double getSum() const;

 private:
  double _sum = 0.0;
  double _num = 0.0;
};

}  // namespace spl
