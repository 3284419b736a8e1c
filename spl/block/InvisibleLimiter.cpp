#include "spl/block/InvisibleLimiter.h"

#include <algorithm>
#include <cmath>

#include "spl/clip/RangedClip.h"
#include "spl/clip/ZeroClip.h"
#include "spl/util/Failure.h"
#include "spl/util/Util.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/block/InvisibleLimiter";
// Lines reported by the construction and block-length checks.
constexpr unsigned kLineChannels = 22;
constexpr unsigned kLineMinLength = 23;
constexpr unsigned kLinePowerOfTwo = 24;
constexpr unsigned kLineBlockLength = 66;

// p1 is a peak when the slope changes sign at it and the signal moved away
// from zero into it: the extreme sample of a half-wave.
bool isPeak(double p2, double p1, double x) {
  return (x - p1) * (p1 - p2) < 0.0 && p1 * (p1 - p2) > 0.0;
}
}  // namespace

unsigned InvisibleLimiter::checkedChannels(unsigned numChannels, unsigned blockLength) {
  SPL_REQUIRE_AT(numChannels != 0, "assertion error", kSource, kLineChannels);
  SPL_REQUIRE_AT(blockLength >= 2, "assertion error", kSource, kLineMinLength);
  SPL_REQUIRE_AT(isPowerOfTwo(blockLength), "assertion error", kSource, kLinePowerOfTwo);
  // The work clip is an owning clip, which holds at most MAX_CHANNEL channels.
  SPL_REQUIRE(numChannels <= DefaultClip::MAX_CHANNEL, "assertion error", kSource);
  return numChannels;
}

InvisibleLimiter::InvisibleLimiter(unsigned numChannels, unsigned blockLength)
    : _numChannels(checkedChannels(numChannels, blockLength)),
      _blockLength(blockLength),
      _previousSample(numChannels, 0.0),
      _sampleBefore(numChannels, 0.0),
      _scanStart(numChannels, 0),
      _work(numChannels, 0) {
  _lookAhead.setNumChannels(numChannels);
  _work.reserve(2 * blockLength);
  // A half-wave holds at least one sample, so a scan of 2B samples finds at most 2B peaks.
  _peaks.reserve(2 * std::size_t(blockLength));
  reset();
}

void InvisibleLimiter::reset() {
  _lookAhead.clear();
  _lookAhead.reserve(2 * _blockLength);
  _lookAhead.write(ZeroClip(_numChannels, _blockLength));
  std::fill(_scanStart.begin(), _scanStart.end(), 0u);
}

void InvisibleLimiter::process(Clip& clip) {
  SPL_REQUIRE_AT(clip.getLength() == _blockLength, "assertion error", kSource, kLineBlockLength);
  // Another channel count would shift the interleaved frames of the look-ahead buffer.
  SPL_REQUIRE(clip.getNumChannels() == _numChannels, "channel", kSource);

  const double inputGain = decibelToLinear(_inputGain);
  for (unsigned p = 0; p < _blockLength; ++p) {
    for (unsigned c = 0; c < _numChannels; ++c) clip.set(c, p, clip.get(c, p) * inputGain);
  }

  _lookAhead.write(clip);
  _lookAhead.read(_work, 2 * _blockLength);

  for (unsigned c = 0; c < _numChannels; ++c) limitChannel(c);

  for (unsigned p = 0; p < _blockLength; ++p) {
    for (unsigned c = 0; c < _numChannels; ++c) clip.set(c, p, _work.get(c, p));
  }
  // The second half is this block, already limited up to its last peak; the
  // next call scans it again together with the next block.
  _lookAhead.unread(RangedClip(_work, _blockLength, _blockLength));

  if (_hardClip) {
    const double limit = decibelToLinear(_threshold);
    for (unsigned p = 0; p < _blockLength; ++p) {
      for (unsigned c = 0; c < _numChannels; ++c) {
        clip.set(c, p, std::max(std::min(clip.get(c, p), limit), -limit));
      }
    }
  }
}

void InvisibleLimiter::limitChannel(unsigned c) {
  const unsigned length = _work.getLength();
  double* samples = _work.channelData(c);
  double p2 = _sampleBefore[c];
  double p1 = _previousSample[c];
  const unsigned start = _scanStart[c];
  if (start >= 2) {
    p2 = samples[start - 2];
    p1 = samples[start - 1];
  }
  _peaks.clear();
  for (unsigned j = start; j < length; ++j) {
    const double x = samples[j];
    // At j = 0 the candidate lies before the work clip; its position wraps to
    // the largest unsigned value and the pairing below skips it.
    if (isPeak(p2, p1, x)) _peaks.push_back({j - 1, linearToDecibel(std::fabs(p1))});
    p2 = p1;
    p1 = x;
  }

  for (std::size_t i = 1; i < _peaks.size(); ++i) {
    const Peak& from = _peaks[i - 1];
    const Peak& to = _peaks[i];
    if (!(from.position < to.position)) continue;
    const double a = decibelToLinear(std::min(0.0, _threshold - from.level));
    const double b = decibelToLinear(std::min(0.0, _threshold - to.level));
    const double span = to.position - from.position;
    for (unsigned j = from.position; j < to.position; ++j) {
      samples[j] *= a + (j - from.position) / span * (b - a);
    }
  }

  // The next scan starts again at the first position of its work clip, which
  // is this call's second half. Its true neighbours are the last two samples
  // of this call's first half, as they leave (limited); keeping those, rather
  // than the end of this scan, stops the next scan from seeing a peak that is
  // not in the signal where the two blocks meet.
  _sampleBefore[c] = samples[_blockLength - 2];
  _previousSample[c] = samples[_blockLength - 1];
}

}  // namespace spl
