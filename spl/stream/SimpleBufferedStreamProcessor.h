#pragma once

#include "spl/block/BlockProcessor.h"
#include "spl/clip/DefaultClip.h"
#include "spl/stream/BufferedStreamProcessor.h"

namespace spl {

// Runs a block processor on consecutive blocks of `width` frames, without
// overlap and without delay: output frame k is frame k of the processed
// stream, released once its block is complete. The block processor is
// borrowed and must outlive this object.
class SimpleBufferedStreamProcessor : public BufferedStreamProcessor {
 public:
  // `width` (frames) 0 fails with "assertion error".
  SimpleBufferedStreamProcessor(BlockProcessor& processor, unsigned numChannels, unsigned width);
  ~SimpleBufferedStreamProcessor() override = default;

  // Appends the clip to the input and processes every complete block.
  void write(const Clip& clip) override;

 private:
  BlockProcessor& _processor;
  unsigned _width;
  DefaultClip _workClip;  // kept between calls to reuse its storage
};

}  // namespace spl
