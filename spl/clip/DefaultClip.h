#pragma once

#include <vector>

#include "spl/clip/Clip.h"

namespace spl {

// The owning clip: every sample in one contiguous array, channel after channel
// (sample (c, p) is element p + c * length). Allocates only in its constructors,
// setLength and assign; get and set never allocate. setLength to a length whose
// storage fits the capacity already held reuses it, so a clip kept as a member
// and resized to the same lengths stays allocation-free on the audio path.
class DefaultClip : public Clip {
 public:
  static constexpr unsigned MAX_CHANNEL = 2;
  static constexpr unsigned MAX_LENGTH = 1048576;

  // `channel` channels of `length` samples, all 0.0. Stops the process (in every
  // build type) when channel is 0 or above MAX_CHANNEL, or length is above MAX_LENGTH.
  DefaultClip(unsigned channel, unsigned length);
  // A copy of any clip, read through its virtual get. No limit is tested.
  explicit DefaultClip(const Clip& source);
  DefaultClip(const DefaultClip& source);
  DefaultClip& operator=(const DefaultClip& source);
  ~DefaultClip() override = default;

  void assign(const Clip& source) override;
  unsigned getNumChannels() const override { return _numChannels; }
  unsigned getLength() const override { return _length; }
  double get(unsigned channel, unsigned position) const override;
  void set(unsigned channel, unsigned position, const double& value) override;
  // Takes the new length and clears every sample, also when the length is unchanged.
  void setLength(unsigned length) override;
  std::string toString() const override;

  // Direct access to one channel's samples, for code that moves whole channels.
  double* channelData(unsigned channel) { return _data.data() + std::size_t(channel) * _length; }
  const double* channelData(unsigned channel) const {
    return _data.data() + std::size_t(channel) * _length;
  }
  // Reserves storage for `frames` frames so later setLength calls up to it do not allocate.
  void reserve(unsigned frames) { _data.reserve(std::size_t(frames) * _numChannels); }

 private:
  void remake(std::size_t numSamples);

  unsigned _numChannels = 0;
  unsigned _length = 0;
  std::vector<double> _data;
};

}  // namespace spl
