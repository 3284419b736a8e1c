#include "spl/util/AverageCounter.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
// The source and lines the two assertions have always reported.
constexpr const char* kSource = "spl/util/AverageCounter";
constexpr unsigned kAverageLine = 13;
constexpr unsigned kSumLine = 18;
}  // namespace

double AverageCounter::getAverage() const {
  if (!(1.0 <= _num)) assertionFailed("1.0 <= _num", kSource, kAverageLine, __func__);
  return _sum / _num;
}

double AverageCounter::getSum() const {
  if (!(1.0 <= _num)) assertionFailed("1.0 <= _num", kSource, kSumLine, __func__);
  return _sum;
}

}  // namespace spl
