#include "spl/stream/OverwrapStreamProcessor.h"

#include <algorithm>

#include "spl/clip/ClipUtil.h"
#include "spl/clip/RangedClip.h"
#include "spl/clip/ZeroClip.h"
#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/stream/OverwrapStreamProcessor";
constexpr unsigned kLineWidth = 12;

// Checked before any member that depends on the width is built.
unsigned checkedWidth(unsigned width) {
  SPL_REQUIRE_AT(width >= 2 && width % 2 == 0, "width", kSource, kLineWidth);
  return width;
}
}  // namespace

OverwrapStreamProcessor::OverwrapStreamProcessor(BlockProcessor& processor, unsigned numChannels,
                                                 unsigned width, unsigned maxBlockLength)
    : BufferedStreamProcessor(numChannels),
      _width(checkedWidth(width)),
      _processor(processor),
      _carryClip(numChannels, width / 2),
      _workClip(numChannels, 0),
      _sumClip(numChannels, width / 2) {
  _workClip.reserve(width);
  reserve(maxBlockLength);
  getInputBuffer().write(ZeroClip(numChannels, width));
}

void OverwrapStreamProcessor::reserve(unsigned maxBlockLength) {
  // Before a write the input holds less than one window (exactly one before
  // the first write) and the output at most half a window, when the caller
  // reads what it writes; a write adds maxBlockLength frames to the input and
  // at most maxBlockLength + half a window to the output.
  const unsigned frames = maxBlockLength + _width;
  if (getInputBuffer().getCapacity() < frames) getInputBuffer().reserve(frames);
  if (getOutputBuffer().getCapacity() < frames) getOutputBuffer().reserve(frames);
}

void OverwrapStreamProcessor::reset() {
  getInputBuffer().discardAll();
  getOutputBuffer().discardAll();
  for (unsigned c = 0; c < _carryClip.getNumChannels(); ++c) {
    std::fill_n(_carryClip.channelData(c), _carryClip.getLength(), 0.0);
  }
  getInputBuffer().write(ZeroClip(getInputBuffer().getNumChannels(), _width));
}

void OverwrapStreamProcessor::write(const Clip& clip) {
  VectorBuffer& input = getInputBuffer();
  VectorBuffer& output = getOutputBuffer();
  const unsigned hop = _width / 2;
  input.write(clip);
  while (input.getAvailable() >= _width) {
    // The next window starts one hop later: its first half is this one's
    // second, so only the first half is taken.
    input.peek(_workClip, _width);
    input.discard(hop);
    _processor.process(_workClip);
    if (_workClip.getLength() == _width &&
        _workClip.getNumChannels() == _sumClip.getNumChannels()) {
      // All three are this object's own clips: add and keep channel by channel.
      for (unsigned c = 0; c < _sumClip.getNumChannels(); ++c) {
        const double* work = _workClip.channelData(c);
        double* carry = _carryClip.channelData(c);
        double* sum = _sumClip.channelData(c);
        for (unsigned p = 0; p < hop; ++p) sum[p] = work[p] + carry[p];
        std::copy(work + hop, work + 2 * hop, carry);
      }
    } else {
      // A processor that broke its contract: the views report what is wrong.
      ClipUtil::add(RangedClip(_workClip, 0, hop), _carryClip, _sumClip);
      _carryClip.assign(RangedClip(_workClip, hop, hop));
    }
    output.write(_sumClip);
  }
}

}  // namespace spl
