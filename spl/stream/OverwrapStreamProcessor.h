#pragma once

#include "spl/block/BlockProcessor.h"
#include "spl/clip/DefaultClip.h"
#include "spl/stream/BufferedStreamProcessor.h"

namespace spl {

// Runs a block processor on windows of `width` frames that overlap by half and
// overlap-adds the processed halves, so that clips of any length go in and
// come out. The input starts with one window of silence: output frame t is
// built from input frame t - width (latency exactly `width` frames), and a
// caller that reads after each write as many frames as it wrote always gets
// them all. No window or scaling of its own: an identity block processor
// doubles the level. The block processor is borrowed and must outlive this
// object; it sees a clip of exactly `width` frames and the processor's
// channel count, and must keep both.
//
// Audio thread: after reserve(maxBlockLength) (or the constructor argument),
// a write of at most that many frames followed by a read of as many frames
// makes no heap allocation (apart from whatever the block processor does).
// Construction and reserve may allocate: call them off the audio thread, or
// accept one allocation when a larger host block first appears.
class OverwrapStreamProcessor : public BufferedStreamProcessor {
 public:
  // `width` (frames) must be even and at least 2, else "width"; 0 channels
  // fails with "assertion error". `maxBlockLength` (frames) is passed to reserve().
  OverwrapStreamProcessor(BlockProcessor& processor, unsigned numChannels, unsigned width,
                          unsigned maxBlockLength = 0);
  ~OverwrapStreamProcessor() override = default;

  // Appends the clip to the input and processes every window that is complete.
  void write(const Clip& clip) override;

  // Makes room for writes of up to `maxBlockLength` frames, each followed by a
  // read of as many, so that they never allocate. Only grows; may allocate.
  void reserve(unsigned maxBlockLength);

  // Back to the state after construction: one window of silence in the input,
  // nothing carried, nothing waiting to be read. Keeps every reservation, so
  // it does not allocate.
  void reset();

  unsigned getWidth() const { return _width; }

 private:
  unsigned _width;
  BlockProcessor& _processor;
  DefaultClip _carryClip;  // processed second half of the previous window
  // Kept between calls so that the audio path reuses their storage.
  DefaultClip _workClip;  // the window being processed, `width` frames
  DefaultClip _sumClip;   // first half of the window plus the carry
};

}  // namespace spl
