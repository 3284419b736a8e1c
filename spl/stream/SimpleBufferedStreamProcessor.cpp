#include "spl/stream/SimpleBufferedStreamProcessor.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/stream/SimpleBufferedStreamProcessor";
constexpr unsigned kLineWidth = 9;

unsigned checkedWidth(unsigned width) {
  SPL_REQUIRE_AT(width != 0, "assertion error", kSource, kLineWidth);
  return width;
}
}  // namespace

SimpleBufferedStreamProcessor::SimpleBufferedStreamProcessor(BlockProcessor& processor,
                                                             unsigned numChannels, unsigned width)
    : BufferedStreamProcessor(numChannels),
      _processor(processor),
      _width(checkedWidth(width)),
      _workClip(numChannels, 0) {}

void SimpleBufferedStreamProcessor::write(const Clip& clip) {
  VectorBuffer& input = getInputBuffer();
  input.write(clip);
  while (input.getAvailable() >= _width) {
    input.read(_workClip, _width);
    _processor.process(_workClip);
    getOutputBuffer().write(_workClip);
  }
}

}  // namespace spl
