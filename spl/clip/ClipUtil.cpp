#include "spl/clip/ClipUtil.h"

#include "spl/util/Failure.h"

namespace spl {
namespace ClipUtil {

namespace {
constexpr const char* kSource = "spl/clip/ClipUtil";
}

void copyChannelToVector(const Clip& clip, std::vector<double>& vector, unsigned channel) {
  vector.resize(clip.getLength(), 0.0);
  for (unsigned i = 0; i < clip.getLength(); ++i) vector[i] = clip.get(channel, i);
}

void copyVectorToChannel(const std::vector<double>& vector, Clip& clip, unsigned channel) {
  SPL_REQUIRE(clip.getLength() == vector.size(), "clip.getLength() != vector.size()", kSource);
  for (unsigned i = 0; i < clip.getLength(); ++i) clip.set(channel, i, vector[i]);
}

void interleave(const Clip& clip, std::vector<double>& vector) {
  vector.clear();
  for (unsigned p = 0; p < clip.getLength(); ++p) {
    for (unsigned c = 0; c < clip.getNumChannels(); ++c) vector.push_back(clip.get(c, p));
  }
}

void deinterleave(const std::vector<double>& vector, Clip& clip) {
  const unsigned channels = clip.getNumChannels();
  // A clip without channels has no frames to take.
  clip.setLength(channels == 0 ? 0 : static_cast<unsigned>(vector.size() / channels));
  std::size_t i = 0;
  for (unsigned p = 0; p < clip.getLength(); ++p) {
    for (unsigned c = 0; c < clip.getNumChannels(); ++c) clip.set(c, p, vector[i++]);
  }
}

void add(const Clip& a, const Clip& b, Clip& clip) {
  SPL_REQUIRE(a.getLength() == b.getLength(), "a.getLength() != b.getLength()", kSource);
  SPL_REQUIRE(a.getNumChannels() == b.getNumChannels(), "a.getNumChannels() != b.getNumChannels()",
              kSource);
  SPL_REQUIRE(a.getNumChannels() == clip.getNumChannels(),
              "a.getNumChannels() != clip.getNumChannels()", kSource);
  clip.setLength(a.getLength());
  for (unsigned p = 0; p < clip.getLength(); ++p) {
    for (unsigned c = 0; c < clip.getNumChannels(); ++c) clip.set(c, p, a.get(c, p) + b.get(c, p));
  }
}

RangedClip split(Clip& clip, unsigned numParts, unsigned index) {
  // Zero parts would divide by zero.
  SPL_REQUIRE(numParts != 0, "assertion error", kSource);
  const unsigned part = clip.getLength() / numParts;
  // An index far beyond the parts must not wrap around into the clip: such a
  // begin is past the end and the view refuses it with "begin".
  const unsigned long long begin = static_cast<unsigned long long>(index) * part;
  const unsigned length = clip.getLength();
  return RangedClip(clip, begin < length ? static_cast<unsigned>(begin) : length, part);
}

}  // namespace ClipUtil
}  // namespace spl
