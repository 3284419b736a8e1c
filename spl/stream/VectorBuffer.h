#pragma once

#include <cstddef>
#include <vector>

#include "spl/stream/Buffer.h"

namespace spl {

// The library's frame FIFO: interleaved samples (frame after frame, each frame
// its channels in order) in a ring that grows only when a write or unread
// exceeds its capacity. Once reserve() has made room for the largest fill the
// owner expects, write, unread and read never touch the heap, so an audio
// thread may call them. Every clip passed in must have the buffer's channel
// count. One owner, one thread at a time.
class VectorBuffer : public Buffer {
 public:
  // The owner sets the channel count right after construction.
  VectorBuffer() = default;
  ~VectorBuffer() override = default;

  // Appends the clip's frames at the back. Allocates only when the ring must grow.
  void write(const Clip& clip) override;
  // Moves up to `length` frames from the front into the clip, whose length
  // becomes the number moved (0 when empty). Never waits, never pads.
  void read(Clip& clip, unsigned length) override;
  void unread(const Clip& clip) override;
  // Copies up to `length` frames from the front into the clip, whose length
  // becomes the number copied, and keeps them in the buffer. Returns that number.
  unsigned peek(Clip& clip, unsigned length) const;
  // Drops up to `frames` frames from the front.
  void discard(unsigned frames);
  unsigned getAvailable() const override { return _numFrames; }
  // Drops all frames and frees the ring (may free memory: not for the audio thread).
  unsigned clear() override;
  // Drops all frames and keeps the ring, so that refilling it does not allocate.
  void discardAll();
  unsigned getNumChannels() const override { return _numChannels; }
  // 0 fails with "assertion error". Does not recount the held frames.
  void setNumChannels(unsigned numChannels) override;

  // Makes room for `frames` frames of the current channel count, so that
  // filling the buffer up to that many frames does not allocate.
  // May allocate: call it where allocation is allowed.
  void reserve(unsigned frames);
  // Frames the ring holds without growing.
  std::size_t getCapacity() const { return _numChannels == 0 ? 0 : _ring.size() / _numChannels; }

 private:
  void requireChannels(const Clip& clip) const;
  // Copies the clip's frames into the ring from ring index `to` on, interleaved.
  void copyIn(const Clip& clip, std::size_t to);
  // Grows the ring (keeping the held samples in order) to hold at least `samples`,
  // in whole frames.
  void ensureCapacity(std::size_t samples);
  // Whether the ring holds whole frames, so that no frame straddles its end
  // (only a width changed while samples were held breaks this).
  bool framesAligned() const { return _ring.size() % _numChannels == 0; }
  // Calls stretch(ring index, first frame, frames) for the runs of `frames`
  // whole frames from ring index `at` on that lie contiguous in the ring: one,
  // or two where the ring wraps around. Requires framesAligned().
  template <typename Stretch>
  void forEachStretch(std::size_t at, unsigned frames, Stretch&& stretch) const;
  std::size_t wrap(std::size_t index) const {
    return index >= _ring.size() ? index - _ring.size() : index;
  }
  void recount() { _numFrames = _numChannels == 0 ? 0 : unsigned(_numSamples / _numChannels); }

  std::vector<double> _ring;    // capacity in samples = size
  std::size_t _head = 0;        // ring index of the oldest sample
  std::size_t _numSamples = 0;  // samples held
  unsigned _numChannels = 0;
  unsigned _numFrames = 0;  // whole frames held: _numSamples / _numChannels
};

}  // namespace spl
