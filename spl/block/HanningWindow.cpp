#include "spl/block/HanningWindow.h"

#include <cmath>

namespace spl {

void HanningWindow::process(Clip& clip) {
  const double twoPi = 6.283185307179586;
  for (unsigned p = 0; p < clip.getLength(); ++p) {
    const double w =
        0.5 -
        0.5 * std::cos((static_cast<double>(p) / static_cast<double>(clip.getLength())) * twoPi);
    for (unsigned c = 0; c < clip.getNumChannels(); ++c) clip.set(c, p, clip.get(c, p) * w);
  }
}

}  // namespace spl
