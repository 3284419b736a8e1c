#include "spl/block/VorbisWindow.h"

#include <cmath>

namespace spl {

void VorbisWindow::fillTable(unsigned length) {
  const double pi = 3.141592653589793;
  const double halfPi = 1.5707963267948966;
  for (unsigned i = 0; i < length; ++i) {
    const double x = (static_cast<double>(i) / static_cast<double>(length)) * pi;
    const double s = std::sin(x);
    _table[i] = std::sin(s * (halfPi * s));
  }
}

}  // namespace spl
