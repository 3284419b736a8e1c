#pragma once

#include <cstddef>
#include <vector>

namespace spl {

// Keeps every value of a sequence to answer quartiles and percentiles, linearly
// interpolated between neighbouring sorted values. Values are sorted on the
// first query after new ones arrived. Queries on an empty counter, quartiles
// above 4 and fractions outside 0..1 fail with the library's error.
class DistributionCounter {
 public:
  DistributionCounter() = default;
  virtual ~DistributionCounter() = default;

  void add(double x) {
    _values.push_back(x);
    _sorted = false;
  }
  // q = 0 the smallest, 2 the median, 4 the largest.
  double getQuartile(unsigned q);
  // f in 0..1: 0 the smallest, 1 the largest.
  double getPercentile(double f);

  std::size_t getNumValues() const { return _values.size(); }

 private:
  double valueAt(double t);

  std::vector<double> _values;
  bool _sorted = false;
};

}  // namespace spl
