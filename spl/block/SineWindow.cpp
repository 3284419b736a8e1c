#include "spl/block/SineWindow.h"

#include <cmath>

namespace spl {

void SineWindow::fillTable(unsigned length) {
  const double twoPi = 6.283185307179586;
  for (unsigned i = 0; i < length; ++i) {
    _table[i] = std::sin(twoPi * (static_cast<double>(i) / static_cast<double>(length)));
  }
}

}  // namespace spl
