#include "spl/block/GaussianAdjustWindow.h"

#include <cmath>

namespace spl {

void GaussianAdjustWindow::fillTable(unsigned length) {
  const double sigma2 = _sigma * _sigma;
  const unsigned half = length / 2;  // for odd lengths the middle entry is in the second half
  for (unsigned i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(length);
    const double neighbour = i < half ? t : t - 1.0;
    _table[i] = 1.0 / (std::exp(-((t - 0.5) * (t - 0.5)) / sigma2) +
                       std::exp(-(neighbour * neighbour) / sigma2));
  }
}

}  // namespace spl
