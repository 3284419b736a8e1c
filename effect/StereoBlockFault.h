#pragma once

#include <cstdint>

// What keeps a stereo effect from processing the block a host hands it, in
// any plug-in format: a negative frame count, no list of input or output
// channels, or a missing input or output channel. Each format checks the
// host's block with stereoBlockFault before any sample is read or written,
// and answers a fault its own way.
enum class StereoBlockFault { none, length, channelLists, inputChannel, outputChannel };

// The first fault of the block, in the order of the enumeration; only the first
// two channels of each list are looked at.
template <typename Sample>
StereoBlockFault stereoBlockFault(const Sample* const* inputs, const Sample* const* outputs,
                                  std::int64_t frames) {
  if (frames < 0) return StereoBlockFault::length;
  if (inputs == nullptr || outputs == nullptr) return StereoBlockFault::channelLists;
  if (inputs[0] == nullptr || inputs[1] == nullptr) return StereoBlockFault::inputChannel;
  if (outputs[0] == nullptr || outputs[1] == nullptr) return StereoBlockFault::outputChannel;
  return StereoBlockFault::none;
}
