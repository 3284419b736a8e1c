#pragma once

#include "spl/stream/StreamProcessor.h"
#include "spl/stream/VectorBuffer.h"

namespace spl {

// A stream processor with an input buffer that gathers written frames and an
// output buffer that holds processed frames until they are read. This class
// only passes frames from write to the input; subclasses process them.
class BufferedStreamProcessor : public StreamProcessor {
 public:
  // 0 channels fails with "assertion error" (from the buffers).
  explicit BufferedStreamProcessor(unsigned numChannels);
  ~BufferedStreamProcessor() override = default;

  BufferedStreamProcessor(const BufferedStreamProcessor&) = delete;
  BufferedStreamProcessor& operator=(const BufferedStreamProcessor&) = delete;

  // Appends the clip to the input buffer.
  void write(const Clip& clip) override;
  // Frames waiting in the output buffer.
  virtual unsigned getAvailable() const { return _outputBuffer.getAvailable(); }
  // Takes up to `length` frames from the output buffer (see VectorBuffer::read).
  void read(Clip& clip, unsigned length) override { _outputBuffer.read(clip, length); }

  VectorBuffer& getInputBuffer() { return _inputBuffer; }
  const VectorBuffer& getInputBuffer() const { return _inputBuffer; }
  VectorBuffer& getOutputBuffer() { return _outputBuffer; }
  const VectorBuffer& getOutputBuffer() const { return _outputBuffer; }

 private:
  VectorBuffer _inputBuffer;
  VectorBuffer _outputBuffer;
};

}  // namespace spl
