#include "spl/stream/VectorBuffer.h"

#include <algorithm>
#include <typeinfo>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"
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
  std::size_t capacity = std::max({samples, 2 * _ring.size(), kMinimumCapacity});
  // Whole frames, so that the copies below run over contiguous frames.
  capacity += (_numChannels - capacity % _numChannels) % _numChannels;
  std::vector<double> grown(capacity, 0.0);
  std::size_t from = _head;
  for (std::size_t i = 0; i < _numSamples; ++i) {
    grown[i] = _ring[from];
    from = wrap(from + 1);
  }
  _ring.swap(grown);
  _head = 0;
}

template <typename Stretch>
void VectorBuffer::forEachStretch(std::size_t at, unsigned frames, Stretch&& stretch) const {
  for (unsigned done = 0; done < frames;) {
    const std::size_t room = (_ring.size() - at) / _numChannels;
    const unsigned count = static_cast<unsigned>(std::min<std::size_t>(frames - done, room));
    stretch(at, done, count);
    done += count;
    at = wrap(at + std::size_t(count) * _numChannels);
  }
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
  const std::size_t width = _numChannels;
  // Only the classes themselves: a subclass may give get a meaning of its own.
  if (framesAligned() && typeid(clip) == typeid(ZeroClip)) {
    forEachStretch(to, length, [&](std::size_t at, unsigned, unsigned count) {
      std::fill_n(_ring.data() + at, count * width, 0.0);
    });
    return;
  }
  if (framesAligned() && typeid(clip) == typeid(DefaultClip)) {
    // The owning clip's samples lie channel after channel: read them directly
    // rather than through a virtual call each.
    const double* samples = static_cast<const DefaultClip&>(clip).channelData(0);
    forEachStretch(to, length, [&](std::size_t at, unsigned first, unsigned count) {
      double* ring = _ring.data() + at;
      for (std::size_t c = 0; c < width; ++c) {
        const double* in = samples + c * length + first;
        for (unsigned i = 0; i < count; ++i) ring[i * width + c] = in[i];
      }
    });
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

unsigned VectorBuffer::peek(Clip& clip, unsigned length) const {
  requireChannels(clip);
  const unsigned frames = std::min(_numFrames, length);
  const std::size_t width = _numChannels;
  if (framesAligned() && typeid(clip) == typeid(DefaultClip)) {
    // Every sample is written below: clearing them first, as setLength does,
    // would be a second pass over the window for nothing.
    if (clip.getLength() != frames) clip.setLength(frames);
    double* samples = static_cast<DefaultClip&>(clip).channelData(0);
    forEachStretch(_head, frames, [&](std::size_t at, unsigned first, unsigned count) {
      const double* ring = _ring.data() + at;
      for (std::size_t c = 0; c < width; ++c) {
        double* out = samples + c * frames + first;
        for (unsigned i = 0; i < count; ++i) out[i] = ring[i * width + c];
      }
    });
    return frames;
  }
  clip.setLength(frames);
  std::size_t from = _head;
  for (unsigned p = 0; p < frames; ++p) {
    for (unsigned c = 0; c < _numChannels; ++c) {
      clip.set(c, p, _ring[from]);
      from = wrap(from + 1);
    }
  }
  return frames;
}

void VectorBuffer::discard(unsigned frames) {
  const std::size_t taken = std::size_t(std::min(_numFrames, frames)) * _numChannels;
  _numSamples -= taken;
  _head = _numSamples == 0 ? 0 : wrap(_head + taken);
  recount();
}

void VectorBuffer::read(Clip& clip, unsigned length) {
  // Copy first, consume after: a clip that refuses a sample leaves every
  // frame in the buffer.
  discard(peek(clip, length));
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
