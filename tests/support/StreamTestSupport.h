#pragma once

// Helpers shared by the stream tests: test signals, block processors that
// record or transform what they see, and a driver that cuts a stream into writes.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "spl/block/BlockProcessor.h"
#include "spl/clip/DefaultClip.h"
#include "spl/stream/StreamProcessor.h"
#include "spl/stream/VectorBuffer.h"

namespace spl_test {

// Frames as [frame][channel].
using Frames = std::vector<std::vector<double>>;

// A deterministic test signal, different on every channel and frame.
inline Frames makeSignal(unsigned numChannels, unsigned length, unsigned seed = 1) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  Frames frames(length, std::vector<double>(numChannels));
  for (auto& frame : frames) {
    for (auto& sample : frame) sample = value(random);
  }
  return frames;
}

inline spl::DefaultClip toClip(const Frames& frames, unsigned numChannels, unsigned begin = 0,
                               unsigned length = ~0u) {
  if (length == ~0u) length = static_cast<unsigned>(frames.size()) - begin;
  spl::DefaultClip clip(numChannels, length);
  for (unsigned p = 0; p < length; ++p) {
    for (unsigned c = 0; c < numChannels; ++c) clip.set(c, p, frames[begin + p][c]);
  }
  return clip;
}

inline void append(Frames& frames, const spl::Clip& clip) {
  for (unsigned p = 0; p < clip.getLength(); ++p) {
    std::vector<double> frame(clip.getNumChannels());
    for (unsigned c = 0; c < clip.getNumChannels(); ++c) frame[c] = clip.get(c, p);
    frames.push_back(frame);
  }
}

// An empty buffer of one channel.
inline spl::VectorBuffer monoBuffer() {
  spl::VectorBuffer buffer;
  buffer.setNumChannels(1);
  return buffer;
}

// Returns its block unchanged.
class IdentityProcessor : public spl::BlockProcessor {
 public:
  void process(spl::Clip&) override {}
};

// A transform that depends on the position within the block and mixes
// positions, so that any misplaced window boundary changes the result.
inline void mixPositions(spl::Clip& clip) {
  const unsigned length = clip.getLength();
  spl::DefaultClip copy(clip);
  for (unsigned c = 0; c < clip.getNumChannels(); ++c) {
    for (unsigned p = 0; p < length; ++p) {
      clip.set(c, p, copy.get(c, p) * (1.0 + p) + 0.5 * copy.get(c, length - 1 - p) + c);
    }
  }
}

class MixingProcessor : public spl::BlockProcessor {
 public:
  void process(spl::Clip& clip) override { mixPositions(clip); }
};

// Keeps a copy of every block it is given and passes it on unchanged.
class RecordingProcessor : public spl::BlockProcessor {
 public:
  void process(spl::Clip& clip) override { blocks.emplace_back(clip); }
  std::vector<spl::DefaultClip> blocks;
};

// Writes `input` into the processor in pieces of the given lengths (cycled),
// reading everything available after each write; returns all frames read.
inline Frames runInPieces(spl::StreamProcessor& processor, const Frames& input,
                          unsigned numChannels, const std::vector<unsigned>& pieces) {
  Frames output;
  spl::DefaultClip readClip(numChannels, 0);
  unsigned position = 0;
  std::size_t piece = 0;
  const unsigned total = static_cast<unsigned>(input.size());
  while (position < total) {
    const unsigned length = std::min(pieces[piece++ % pieces.size()], total - position);
    processor.write(toClip(input, numChannels, position, length));
    position += length;
    processor.read(readClip, ~0u);
    append(output, readClip);
  }
  return output;
}

inline std::vector<unsigned> randomPieces(unsigned count, unsigned maxLength, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<unsigned> length(0, maxLength);
  std::vector<unsigned> pieces(count);
  for (auto& piece : pieces) piece = length(random);
  pieces.push_back(1);  // so that the cycle always makes progress
  return pieces;
}

}  // namespace spl_test
