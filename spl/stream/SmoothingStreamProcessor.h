#pragma once

#include "spl/block/BlockProcessor.h"
#include "spl/clip/DefaultClip.h"
#include "spl/stream/BufferedStreamProcessor.h"

namespace spl {

// Runs a block processor on blocks of `width` frames that overlap by a short
// fade of F frames and joins neighbouring blocks with a raised-cosine
// crossfade over the overlap. The input starts with F frames of silence
// whose processed version is never written, so output frame k belongs to
// input frame k (no delay in content). Each block releases width - F frames
// (the first width - 2F); the last F frames of a block wait for the next
// block's head. The block processor is borrowed and must outlive this object.
class SmoothingStreamProcessor : public BufferedStreamProcessor {
 public:
  // The fade length F (frames) must be at least 1 and at most width / 2, else
  // the constructor fails; 0 channels fails with "assertion error".
  SmoothingStreamProcessor(BlockProcessor& processor, unsigned numChannels, unsigned width,
                           unsigned fadeLength);
  ~SmoothingStreamProcessor() override = default;

  // Appends the clip to the input and processes every complete block.
  void write(const Clip& clip) override;
  // Makes the next block write its crossfade too; before the first block that
  // is its processed head faded in from silence.
  void clearFirstBlock() { _firstBlock = false; }

 private:
  unsigned _width;
  unsigned _fadeLength;
  BlockProcessor& _processor;
  DefaultClip _tailClip;  // processed last F frames of the previous block
  bool _firstBlock = true;
  DefaultClip _workClip;  // kept between calls to reuse its storage
};

}  // namespace spl
