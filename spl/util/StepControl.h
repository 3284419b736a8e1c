#pragma once

#include <string>
#include <vector>

#include "spl/util/Failure.h"
#include "spl/util/Util.h"

namespace spl {

// A host parameter with a finite list of typed steps. It keeps the host's
// normalized value (0..1) exactly as set, so the host reads back what it
// wrote, and derives the step index and value from it on demand. Used with
// double, unsigned int and std::string. No locks: the owner decides which
// thread calls it. addValue allocates; the other operations do not, except
// getValue of the text variant, which returns a new string.
template <typename T>
class StepControl {
 public:
  StepControl() = default;
  virtual ~StepControl() = default;

  // Stores x (0..1) unchanged; a value outside fails and keeps the old one.
  virtual void setNormalized(double x) {
    SPL_REQUIRE_AT(x >= 0.0, "assertion error", kSource, kLineSetBelowZero);
    SPL_REQUIRE_AT(!(x > 1.0), "assertion error", kSource, kLineSetAboveOne);
    _normalized = x;
  }

  virtual double getNormalized() const {
    SPL_REQUIRE_AT(_normalized >= 0.0, "assertion error", kSource, kLineGetBelowZero);
    SPL_REQUIRE_AT(!(_normalized > 1.0), "assertion error", kSource, kLineGetAboveOne);
    return _normalized;
  }

  // The step value that the normalized value selects.
  virtual T getValue() const {
    SPL_REQUIRE_AT(!_values.empty(), "assertion error", kSource, kLineNoSteps);
    return _values[getIndex()];
  }

  virtual unsigned getIndex() const {
    return normalizedToIndex(_normalized, static_cast<unsigned>(_values.size()));
  }

  // Moves to the centre of step `index`'s share of 0..1.
  virtual void setIndex(unsigned index) {
    SPL_REQUIRE_AT(index < _values.size(), "assertion error", kSource, kLineIndex);
    setNormalized(indexToNormalized(index, static_cast<unsigned>(_values.size())));
  }

  // Appends a step; duplicates and any order are accepted.
  virtual void addValue(const T& value) { _values.push_back(value); }

 private:
  static constexpr const char* kSource = "spl/util/StepControl";
  static constexpr unsigned kLineSetBelowZero = 39;
  static constexpr unsigned kLineSetAboveOne = 40;
  static constexpr unsigned kLineGetBelowZero = 45;
  static constexpr unsigned kLineGetAboveOne = 46;
  static constexpr unsigned kLineNoSteps = 52;
  static constexpr unsigned kLineIndex = 66;

  std::vector<T> _values;
  double _normalized = 0.0;
};

}  // namespace spl
