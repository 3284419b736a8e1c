#include "spl/block/Gainer.h"

namespace spl {

void Gainer::process(Clip& clip) {
  for (unsigned p = 0; p < clip.getLength(); ++p) {
    for (unsigned c = 0; c < clip.getNumChannels(); ++c) clip.set(c, p, clip.get(c, p) * _gain);
  }
}

}  // namespace spl
