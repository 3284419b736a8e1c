#include "spl/stream/SmoothingStreamProcessor.h"

#include "spl/clip/CrossfadeClip.h"
#include "spl/clip/RangedClip.h"
#include "spl/clip/ZeroClip.h"
#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/stream/SmoothingStreamProcessor";

// A block must hold a head and a tail of F frames each that do not overlap,
// and a fade needs at least one frame. Refused here, before the first block
// could fail half-way through a write.
unsigned checkedFadeLength(unsigned width, unsigned fadeLength) {
  if (fadeLength < 1 || width < 2ull * fadeLength) {
    SPL_FAIL("fadeLength < 1 || width < 2 * fadeLength", kSource);
  }
  return fadeLength;
}
}  // namespace

SmoothingStreamProcessor::SmoothingStreamProcessor(BlockProcessor& processor, unsigned numChannels,
                                                   unsigned width, unsigned fadeLength)
    : BufferedStreamProcessor(numChannels),
      _width(width),
      _fadeLength(checkedFadeLength(width, fadeLength)),
      _processor(processor),
      _tailClip(numChannels, fadeLength),
      _workClip(numChannels, 0) {
  getInputBuffer().write(ZeroClip(numChannels, fadeLength));
}

void SmoothingStreamProcessor::write(const Clip& clip) {
  VectorBuffer& input = getInputBuffer();
  VectorBuffer& output = getOutputBuffer();
  const unsigned fade = _fadeLength;
  input.write(clip);
  while (input.getAvailable() >= _width) {
    input.read(_workClip, _width);
    // The next block starts F frames before this one ends: the hop is width - F.
    input.unread(RangedClip(_workClip, _width - fade, fade));
    _processor.process(_workClip);
    const RangedClip head(_workClip, 0, fade);
    const RangedClip middle(_workClip, fade, _width - 2 * fade);
    const RangedClip tail(_workClip, _width - fade, fade);
    if (!_firstBlock) output.write(CrossfadeClip(_tailClip, head));
    _firstBlock = false;
    output.write(middle);
    _tailClip.assign(tail);
  }
}

}  // namespace spl
