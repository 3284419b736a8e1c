#include "spl/util/Util.h"

#include <cmath>

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/util/Util";
constexpr unsigned kLinePositive = 53;
constexpr unsigned kLineIndexNegative = 201;
constexpr unsigned kLineIndexAboveOne = 202;
constexpr unsigned kLineIndexNoSteps = 203;
constexpr unsigned kLineNormalizedNoSteps = 208;
constexpr unsigned kLineNormalizedIndex = 210;

// 10^n from exact products of ten (exact up to 10^22) and, for negative n, one
// correctly rounded division. Some C runtimes' pow is an ulp off for these, and
// rounded display values must come out the same on every platform.
double powerOfTen(int n) {
  double power = 1.0;
  for (int k = n < 0 ? -n : n; k > 0; --k) power *= 10.0;
  return n < 0 ? 1.0 / power : power;
}
}  // namespace

double decibelToLinear(double decibel) { return std::pow(10.0, decibel / 20.0); }

double linearToDecibel(double linear) {
  SPL_REQUIRE_AT(!(linear < 0.0), "value must be positive.", kSource, kLinePositive);
  if (linear == 0.0) linear = 1e-10;
  return 20.0 * std::log10(linear);
}

bool isPowerOfTwo(unsigned value) { return value >= 2 && (value & (value - 1)) == 0; }

unsigned normalizedToIndex(double normalized, unsigned count) {
  SPL_REQUIRE_AT(normalized >= 0.0, "assertion error", kSource, kLineIndexNegative);
  SPL_REQUIRE_AT(!(normalized > 1.0), "assertion error", kSource, kLineIndexAboveOne);
  SPL_REQUIRE_AT(count != 0, "assertion error", kSource, kLineIndexNoSteps);
  const double index = std::fmin(std::floor(normalized * count), static_cast<double>(count - 1));
  return static_cast<unsigned>(index);
}

double indexToNormalized(unsigned index, unsigned count) {
  SPL_REQUIRE_AT(count != 0, "assertion error", kSource, kLineNormalizedNoSteps);
  SPL_REQUIRE_AT(index < count, "assertion error", kSource, kLineNormalizedIndex);
  return (index + 0.5) / count;
}

double roundToSignificant(double x, unsigned digits) {
  if (std::fabs(x) == 0.0) return 0.0;
  // Dividing an infinity by ten never brings it into range.
  if (!std::isfinite(x)) return x;
  const double hi = powerOfTen(static_cast<int>(digits));
  const double lo = powerOfTen(static_cast<int>(digits) - 1);
  double f = std::fabs(x);
  int e = 0;
  while (f > hi) {
    f /= 10.0;
    ++e;
  }
  while (f < lo) {
    f *= 10.0;
    --e;
  }
  return (x / std::fabs(x)) * powerOfTen(e) * std::floor(f + 0.5);
}

}  // namespace spl
