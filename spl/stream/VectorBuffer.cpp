#include "spl/stream/VectorBuffer.h"

#include <algorithm>
#include <typeinfo>

#include "spl/clip/DefaultClip.h"
#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/stream/VectorBuffer";
constexpr unsigned kLineNoChannels = 21;
// The first growth makes room for this many samples at least, so that a
// buffer fed in small clips does not grow in tiny steps.
constexpr std::size_t kMinimumCapacity = 256;
}  // namespace

void VectorBuffer::setNumChannels(unsigned numChannels) {
  // A buffer without channels could not count its frames (the frames held are
  // the samples held divided by the width) nor cut a clip into frames.
  // Checked before the width changes, so that a refused width leaves the
  // buffer as it was.
  SPL_REQUIRE_AT(numChannels != 0, "assertion error", kSource, kLineNoChannels);
  _numChannels = numChannels;
}

void VectorBuffer::requireChannels(const Clip& clip) const {
  // Frames of another width would be cut at the wrong places and mix the
  // channels of neighbouring frames; the check runs before any sample is
  // copied, so a refused clip changes nothing.
  SPL_REQUIRE(clip.getNumChannels() == _numChannels, "number of channels", kSource);
}

void VectorBuffer::ensureCapacity(std::size_t samples) {
  if (samples <= _ring.size()) return;
  const std::size_t capacity = std::max({samples, 2 * _ring.size(), kMinimumCapacity});
  std::vector<double> grown(capacity, 0.0);
  std::size_t from = _head;
  for (std::size_t i = 0; i < _numSamples; ++i) {
    grown[i] = _ring[from];
    from = wrap(from + 1);
  }
  _ring.swap(grown);
  _head = 0;
}

void VectorBuffer::reserve(unsigned frames) { ensureCapacity(std::size_t(frames) * _numChannels); }

void VectorBuffer::write(const Clip& clip) {
  requireChannels(clip);
  const std::size_t added = std::size_t(clip.getLength()) * _numChannels;
  ensureCapacity(_numSamples + added);
  // Fill the free space behind the newest sample; the held count moves only
  // once every sample has been read from the clip, so a clip that fails
  // half-way leaves the buffer as it was.
  std::size_t to = _ring.empty() ? 0 : wrap(_head + _numSamples);
  copyIn(clip, to);
  _numSamples += added;
  recount();
}

void VectorBuffer::copyIn(const Clip& clip, std::size_t to) {
  const unsigned length = clip.getLength();
  if (typeid(clip) == typeid(DefaultClip)) {
    // The owning clip's samples lie channel after channel: read them directly
    // rather than through a virtual call each. (Only the class itself: a
    // subclass may give get a meaning of its own.)
    const double* samples = static_cast<const DefaultClip&>(clip).channelData(0);
    for (unsigned p = 0; p < length; ++p) {
      for (unsigned c = 0; c < _numChannels; ++c) {
        _ring[to] = samples[std::size_t(c) * length + p];
        to = wrap(to + 1);
      }
    }
    return;
  }
  for (unsigned p = 0; p < length; ++p) {
    for (unsigned c = 0; c < _numChannels; ++c) {
      _ring[to] = clip.get(c, p);
      to = wrap(to + 1);
    }
  }
}

void VectorBuffer::unread(const Clip& clip) {
  requireChannels(clip);
  const std::size_t added = std::size_t(clip.getLength()) * _numChannels;
  ensureCapacity(_numSamples + added);
  if (added == 0) {
    recount();
    return;
  }
  // The frames go into the free space in front of the oldest sample.
  const std::size_t begin = wrap(_head + _ring.size() - added);
  copyIn(clip, begin);
  _head = begin;
  _numSamples += added;
  recount();
}

void VectorBuffer::read(Clip& clip, unsigned length) {
  requireChannels(clip);
  const unsigned frames = std::min(_numFrames, length);
  clip.setLength(frames);
  // Copy first, consume after: a clip that refuses a sample leaves every
  // frame in the buffer.
  std::size_t from = _head;
  if (typeid(clip) == typeid(DefaultClip)) {
    double* samples = static_cast<DefaultClip&>(clip).channelData(0);
    for (unsigned p = 0; p < frames; ++p) {
      for (unsigned c = 0; c < _numChannels; ++c) {
        samples[std::size_t(c) * frames + p] = _ring[from];
        from = wrap(from + 1);
      }
    }
  } else {
    for (unsigned p = 0; p < frames; ++p) {
      for (unsigned c = 0; c < _numChannels; ++c) {
        clip.set(c, p, _ring[from]);
        from = wrap(from + 1);
      }
    }
  }
  const std::size_t taken = std::size_t(frames) * _numChannels;
  _numSamples -= taken;
  _head = _numSamples == 0 ? 0 : from;
  recount();
}

void VectorBuffer::discardAll() {
  _head = 0;
  _numSamples = 0;
  recount();
}

unsigned VectorBuffer::clear() {
  std::vector<double>().swap(_ring);
  _head = 0;
  _numSamples = 0;
  recount();
  return _numFrames;
}

}  // namespace spl
