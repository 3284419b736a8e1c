#include "spl/stream/BufferedStreamProcessor.h"

namespace spl {

BufferedStreamProcessor::BufferedStreamProcessor(unsigned numChannels) {
  _inputBuffer.setNumChannels(numChannels);
  _outputBuffer.setNumChannels(numChannels);
}

void BufferedStreamProcessor::write(const Clip& clip) { _inputBuffer.write(clip); }

}  // namespace spl
