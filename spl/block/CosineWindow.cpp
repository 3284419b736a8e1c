#include "spl/block/CosineWindow.h"

#include <cmath>

namespace spl {

void CosineWindow::fillTable(unsigned length) {
  const double twoPi = 6.283185307179586;
  for (unsigned i = 0; i < length; ++i) {
    _table[i] = std::cos(twoPi * (static_cast<double>(i) / static_cast<double>(length)));
  }
}

}  // namespace spl
