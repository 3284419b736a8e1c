#include "spl/util/DistributionCounter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/util/DistributionCounter";
}

double DistributionCounter::getQuartile(unsigned q) {
  SPL_REQUIRE(!_values.empty(), "assertion error", kSource);
  SPL_REQUIRE(q <= 4, "quartile", kSource);
  const auto m = static_cast<std::uint32_t>(_values.size() - 1);
  return valueAt(double(m) * double(q) * 0.25);
}

double DistributionCounter::getPercentile(double f) {
  SPL_REQUIRE(!_values.empty(), "assertion error", kSource);
  SPL_REQUIRE(f >= 0.0 && f <= 1.0, "fraction", kSource);
  const auto m = static_cast<std::uint32_t>(_values.size() - 1);
  return valueAt(double(m) * f);
}

double DistributionCounter::valueAt(double t) {
  if (!_sorted) {
    // NaN compares with nothing; ordering it after every number keeps the
    // sort's ordering strict, which std::sort needs to stay inside the array.
    std::sort(_values.begin(), _values.end(),
              [](double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); });
    _sorted = true;
  }
  const double lo = std::floor(t);
  if (lo == t) return _values[static_cast<std::size_t>(t)];
  // t lies strictly inside [0, m] here, so hi never passes the last index.
  const double hi = std::ceil(t);
  return (hi - t) * _values[static_cast<std::size_t>(lo)] +
         (t - lo) * _values[static_cast<std::size_t>(hi)];
}

}  // namespace spl
