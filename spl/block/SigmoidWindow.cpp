#include "spl/block/SigmoidWindow.h"

#include <cmath>

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/block/SigmoidWindow";
constexpr unsigned kLineGain = 13;
}  // namespace

SigmoidWindow::SigmoidWindow(double gain) : _gain(gain) {
  // A slope of 0 or below would flatten or invert the window; NaN is refused
  // too, as it would fill the table with NaN.
  SPL_REQUIRE_AT(gain > 0, "gain <= 0", kSource, kLineGain);
}

void SigmoidWindow::fillTable(unsigned length) {
  for (unsigned i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(length);
    // Rises around t = 0.25, falls around t = 0.75, largest at t = 0.5.
    const double u = t < 0.5 ? (t - 0.25) * 4.0 : (t - 0.75) * (-4.0);
    _table[i] = 1.0 / (1.0 + std::exp(-(_gain * u)));
  }
}

}  // namespace spl
