#include "spl/clip/DefaultClip.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/clip/DefaultClip";
}

DefaultClip::DefaultClip(unsigned channel, unsigned length) {
  // The parameter is named `channel` so that a failed assertion names it the
  // way callers read the limits: "1 <= channel", "channel <= MAX_CHANNEL".
  SPL_ASSERT(1 <= channel);
  SPL_ASSERT(channel <= MAX_CHANNEL);
  SPL_ASSERT(length <= MAX_LENGTH);
  _numChannels = channel;
  remake(std::size_t(channel) * length);
}

DefaultClip::DefaultClip(const Clip& source) { assign(source); }

DefaultClip::DefaultClip(const DefaultClip& source) : Clip() { assign(source); }

DefaultClip& DefaultClip::operator=(const DefaultClip& source) {
  assign(source);
  return *this;
}

void DefaultClip::remake(std::size_t numSamples) {
  // Empty first: if the allocation below fails, the clip is left empty and
  // consistent rather than with a length its storage does not cover.
  _length = 0;
  // assign() keeps the capacity, so remaking a clip of a size it already had
  // clears it without touching the heap.
  _data.assign(numSamples, 0.0);
  const unsigned channels = getNumChannels();
  _length = channels == 0 ? 0 : static_cast<unsigned>(numSamples / channels);
}

void DefaultClip::assign(const Clip& source) {
  // Copying a clip onto itself would clear it before reading it.
  if (&source == this) return;
  // A clip without channels cannot hold a length; refusing it keeps this clip
  // intact instead of dividing by zero.
  SPL_REQUIRE(source.getNumChannels() != 0, "channel", kSource);
  _numChannels = source.getNumChannels();
  remake(std::size_t(source.getLength()) * source.getNumChannels());
  for (unsigned p = 0; p < source.getLength(); ++p) {
    for (unsigned c = 0; c < source.getNumChannels(); ++c) {
      set(c, p, source.get(c, p));
    }
  }
}

double DefaultClip::get(unsigned channel, unsigned position) const {
  SPL_REQUIRE(channel < _numChannels, "assertion error", kSource);
  SPL_REQUIRE(position < _length, "assertion error", kSource);
  return _data[position + std::size_t(channel) * _length];
}

void DefaultClip::set(unsigned channel, unsigned position, const double& value) {
  SPL_REQUIRE(channel < _numChannels, "channel", kSource);
  SPL_REQUIRE(position < _length, "position", kSource);
  _data[position + std::size_t(channel) * _length] = value;
}

void DefaultClip::setLength(unsigned length) {
  SPL_REQUIRE(length <= MAX_LENGTH, "length", kSource);
  remake(std::size_t(length) * _numChannels);
}

std::string DefaultClip::toString() const {
  return "Clip [channels=" + std::to_string(_numChannels) + ", length=" + std::to_string(_length) +
         "]";
}

}  // namespace spl
