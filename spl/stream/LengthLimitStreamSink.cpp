#include "spl/stream/LengthLimitStreamSink.h"

#include <algorithm>

#include "spl/clip/RangedClip.h"

namespace spl {

void LengthLimitStreamSink::write(const Clip& clip) {
  // An empty clip has nothing to pass on, and a range cannot even be formed
  // over it. Any other clip reaches the wrapped sink, once the limit is reached
  // as a write of no frames, so that the sink still sees every write.
  if (clip.getLength() == 0) return;
  const unsigned frames = std::min(clip.getLength(), _limit - _total);
  // The view only reads: the wrapped sink takes it as a read-only clip.
  _sink.write(RangedClip(const_cast<Clip&>(clip), 0, frames));
  _total += frames;
}

}  // namespace spl
