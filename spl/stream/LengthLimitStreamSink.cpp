#include "spl/stream/LengthLimitStreamSink.h"

#include <algorithm>

#include "spl/clip/RangedClip.h"

namespace spl {

void LengthLimitStreamSink::write(const Clip& clip) {
  const unsigned frames = std::min(clip.getLength(), _limit - _total);
  // Nothing to pass on; a range of no frames cannot even be formed over an
  // empty clip.
  if (frames == 0) return;
  // The view only reads: the wrapped sink takes it as a read-only clip.
  _sink.write(RangedClip(const_cast<Clip&>(clip), 0, frames));
  _total += frames;
}

}  // namespace spl
