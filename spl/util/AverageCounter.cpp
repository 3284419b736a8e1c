#include "spl/util/AverageCounter.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/util/AverageCounter";
constexpr unsigned kLineAverage = 13;
constexpr unsigned kLineSum = 18;
}  // namespace

double AverageCounter::getAverage() const {
  SPL_ASSERT_AT(1.0 <= _num, kSource, kLineAverage);
  return _sum / _num;
}

double AverageCounter::getSum() const {
  SPL_ASSERT_AT(1.0 <= _num, kSource, kLineSum);
  return _sum;
}

}  // namespace spl
