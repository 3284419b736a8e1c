#include "spl/clip/MDCTFoldClip.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/clip/MDCTFoldClip";

// The wrapped clip, once its length is known to split into four equal quarters.
Clip& quartered(const Clip& clip) {
  SPL_REQUIRE(clip.getLength() % 4 == 0, "length", kSource);
  // The quarters are only ever read.
  return const_cast<Clip&>(clip);
}
}  // namespace

MDCTFoldClip::MDCTFoldClip(const Clip& clip)
    : DelegationClip(clip),
      _q0(quartered(clip), 0, clip.getLength() / 4),
      _q1(*_clip, clip.getLength() / 4, clip.getLength() / 4),
      _q2(*_clip, 2 * (clip.getLength() / 4), clip.getLength() / 4),
      _q3(*_clip, 3 * (clip.getLength() / 4), clip.getLength() / 4),
      _q1r(_q1),
      _q2r(_q2) {}

double MDCTFoldClip::get(unsigned channel, unsigned position) const {
  const unsigned long long n = getLength();
  // Positions past the end have no half to come from; n below 2 can only
  // mean the wrapped clip has shrunk, and would divide by zero below.
  SPL_REQUIRE(n >= 2 && position < n, "no arrive", kSource);
  const unsigned m = static_cast<unsigned>(position % (n / 2));
  if (2ULL * position / n == 0) return -_q2r.get(channel, m) - _q3.get(channel, m);
  return _q0.get(channel, m) - _q1r.get(channel, m);
}

}  // namespace spl
