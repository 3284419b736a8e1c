#include "spl/block/GaussianWindow.h"

#include <cmath>

namespace spl {

void GaussianWindow::fillTable(unsigned length) {
  const double sigma2 = _sigma * _sigma;
  for (unsigned i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(length);
    _table[i] = 0.91 * std::exp(-((t - 0.5) * (t - 0.5)) / sigma2);
  }
}

}  // namespace spl
